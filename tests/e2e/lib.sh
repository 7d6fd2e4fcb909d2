#!/usr/bin/env bash
# Shared setup of the end-to-end tests: a private Xvfb screen with openbox drawing
# window frames, the real editor binary, xdotool for the user's hands and xclip for
# the system clipboard. A script sources this with the binary as its first argument.
# Exit code 77 marks a test as skipped (the machine lacks a tool), never as passed.
set -euo pipefail

CORVANA_BIN="$1"
shift || true

for tool in Xvfb xdotool xclip openbox xprop xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

E2E_WORK="$(mktemp -d)"
E2E_PIDS=()
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export HOME="$E2E_WORK/home"
mkdir -p "$HOME"
export LC_ALL=C.UTF-8

e2e_cleanup() {
    local pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid="${E2E_PIDS[$i]}"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "${CORVANA_ARTEFACTS:-}" ]; then
        mkdir -p "$CORVANA_ARTEFACTS"
        screenshot "$CORVANA_ARTEFACTS/$(basename "$0" .sh)-failure.png" || true
    fi
    exit 1
}

# Waits until a command succeeds, for at most $1 seconds.
wait_for() {
    local limit="$1"
    shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

# Starts Xvfb on a free display (1600 x 1200 unless given) and openbox on it.
start_x() {
    local geometry="${1:-1600x1200x24}"
    exec 3>"$E2E_WORK/display"
    Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    exec 3>&-
    wait_for 20 test -s "$E2E_WORK/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$E2E_WORK/display")"
    openbox >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
}

# Starts the editor with the given arguments and waits for its main window.
start_editor() {
    "$CORVANA_BIN" "$@" >"$E2E_WORK/editor.log" 2>&1 &
    EDITOR_PID=$!
    E2E_PIDS+=($EDITOR_PID)
    MAIN_WINDOW="$(wait_window '^Corvana$')" || fail "the main window did not appear"
}

# Prints the id of the first visible window whose title matches the pattern.
wait_window() {
    local pattern="$1" limit="${2:-20}" id=""
    local end=$((SECONDS + limit))
    while [ $SECONDS -lt $end ]; do
        id="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits until no visible window's title matches the pattern.
wait_window_gone() {
    wait_for "${2:-20}" sh -c "! xdotool search --onlyvisible --name '$1' >/dev/null 2>&1"
}

# Gives a window the keyboard focus, then types or presses keys into it.
focus_window() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.2
}
type_text() { xdotool type --delay 20 -- "$1"; }
press() { xdotool key --delay 50 "$@"; }

# Outer geometry of a client window, frame included: prints "x y width height".
frame_geometry() {
    local id="$1" frame
    frame="$(xwininfo -id "$id" -children 2>/dev/null | awk '/Parent window id/ {print $4}')"
    # Openbox reparents the client into its frame; the frame is a child of the root.
    while [ -n "$frame" ] && ! xwininfo -id "$frame" -children | grep -q 'Parent window id: .* (the root window)'; do
        frame="$(xwininfo -id "$frame" -children | awk '/Parent window id/ {print $4}')"
    done
    [ -n "$frame" ] || frame="$id"
    xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

screenshot() {
    command -v import >/dev/null 2>&1 || return 0
    import -window root "$1"
}

# Waits for the editor to end, for at most $1 seconds.
wait_editor_exit() {
    wait_for "${1:-20}" sh -c "! kill -0 $EDITOR_PID 2>/dev/null"
}
