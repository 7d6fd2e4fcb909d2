#!/usr/bin/env bash
# Shared setup of the end-to-end tests: a private Xvfb screen with openbox drawing
# window frames, the real editor binary, xdotool for the user's hands and xclip for
# the system clipboard. A script sources this with the binary as its first argument.
# Exit code 77 marks a test as skipped (the machine lacks a tool), never as passed.
set -euo pipefail

CORVANA_BIN="$(realpath -m -- "${1:-}")"   # absolute: a test may change folders
shift || true

for tool in Xvfb xdotool xclip openbox xprop xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

E2E_WORK="$(mktemp -d)"
E2E_PIDS=()
E2E_DIRS=()   # more scratch folders to remove at the end
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
    # What a print server of start_print_server printed, and its output folder where
    # the test made it.
    if [ -n "${PRINT_SINCE:-}" ]; then
        find "$PRINT_OUT_DIR" -maxdepth 1 -name 'Corvana*.pdf' -newer "$PRINT_SINCE" -delete 2>/dev/null || true
        [ -n "${PRINT_OUT_DIR_WAS_THERE:-}" ] || rmdir "$PRINT_OUT_DIR" 2>/dev/null || true
    fi
    rm -rf "$E2E_WORK" "${E2E_DIRS[@]}"
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

# Starts the editor with the given arguments without waiting for its main window (a
# message box may come first); sets EDITOR_PID.
launch_editor() {
    "$CORVANA_BIN" "$@" >"$E2E_WORK/editor.log" 2>&1 &
    EDITOR_PID=$!
    E2E_PIDS+=($EDITOR_PID)
}

# Ends the editor this script started, without asking it anything.
stop_editor() {
    kill "$EDITOR_PID" 2>/dev/null || true
    wait "$EDITOR_PID" 2>/dev/null || true
}

# Whether the outer geometry of window $1 is "$2" ("x y width height").
geometry_is() { [ "$(frame_geometry "$1")" = "$2" ]; }

# Whether the clipboard (or the primary selection) holds exactly $1; what it holds is
# left in $E2E_WORK/clip for a message.
clipboard_is() {
    xclip -o -selection clipboard >"$E2E_WORK/clip" 2>/dev/null && printf '%s' "$1" | cmp -s - "$E2E_WORK/clip"
}
primary_is() {
    xclip -o -selection primary >"$E2E_WORK/clip" 2>/dev/null && printf '%s' "$1" | cmp -s - "$E2E_WORK/clip"
}
expect_clipboard() {
    wait_for "${2:-10}" clipboard_is "$1" ||
        fail "the clipboard holds '$(cat "$E2E_WORK/clip" 2>/dev/null)', expected '$1'"
}

# Whether a visible window titled $1 exists.
window_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# The accessibility tree, where the machine has it: a private session bus on which the
# accessibility bus starts on demand, and the editor's bridge always on. Returns 1
# (and the tests that need it say so) where it cannot be had.
start_atspi() {
    command -v dbus-daemon >/dev/null 2>&1 && [ -x /usr/bin/python3 ] &&
        /usr/bin/python3 -c 'import dbus' 2>/dev/null &&
        [ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] || return 1
    dbus-daemon --session --nofork --print-address=1 >"$E2E_WORK/bus" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_WORK/bus" || return 1
    export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$E2E_WORK/bus")"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    E2E_ATSPI=1
}

# Asks the editor's accessibility tree about one of its objects (see atspi_query.py);
# the bridge may need a moment to put a new window in the tree.
atspi_query() {
    [ -n "${E2E_ATSPI:-}" ] || return 1
    local tries=0
    until /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_query.py" "$EDITOR_PID" "$@" 2>"$E2E_WORK/atspi.err"; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || return 1
        sleep 0.25
    done
}

# The names of the children of the editor's accessible object named $1, one a line.
accessible_children() { atspi_query children "$1"; }

# Clicks the middle of the editor's accessible object named $1 (of role $2, if given),
# where a screen reader says it is on the screen.
click_accessible() {
    local extents x y w h
    extents="$(atspi_query extents "$@")" || return 1
    read -r x y w h <<<"$extents"
    [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || return 1
    xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click 1
}

# Types a full path into the file dialog titled $1 and accepts it. The name field has
# the focus when the dialog opens; a second Enter takes over from the completer's list.
choose_file() {
    local title="$1" path="$2" dialog
    dialog="$(wait_window "^$title\$")" || fail "the $title dialog did not open"
    focus_window "$dialog"
    press ctrl+a BackSpace
    type_text "$path"
    sleep 0.3
    press Return
    if ! wait_window_gone "^$title\$" 3; then
        press Return
        wait_window_gone "^$title\$" 10 || fail "the $title dialog did not take $path"
    fi
}

# A print server of the test's own (its own folder and socket, so the machine's printers
# are left alone) whose default printer is a PDF queue. Sets CUPS_SERVER for the editor
# and PRINT_OUT_DIR, where each job arrives as Corvana*.pdf. Returns 1 where this
# machine can't have one (no print server or PDF driver, or not root, which the PDF
# driver needs).
start_print_server() {
    export PATH="$PATH:/usr/sbin"
    local tool
    for tool in cupsd lpadmin lpstat; do
        command -v "$tool" >/dev/null 2>&1 || return 1
    done
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
    [ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] && [ "$(id -u)" -eq 0 ] || return 1
    # Where the PDF driver puts a job: its Out setting, for the user who prints.
    local user home
    user="$(id -un)"
    home="$(getent passwd "$user" | cut -d: -f6)"
    PRINT_OUT_DIR="$(awk '$1 == "Out" {print $2}' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n1)"
    [ -n "$PRINT_OUT_DIR" ] || PRINT_OUT_DIR='${HOME}/PDF'
    PRINT_OUT_DIR="$(printf '%s' "$PRINT_OUT_DIR" | sed -e "s|\${HOME}|$home|g" -e "s|\${USER}|$user|g")"
    PRINT_OUT_DIR_WAS_THERE=""
    [ -d "$PRINT_OUT_DIR" ] && PRINT_OUT_DIR_WAS_THERE=1
    # A socket's path must stay short, and the server's filters must reach the spool.
    local dir
    dir="$(mktemp -d /tmp/corvana-cups.XXXXXX)"
    E2E_DIRS+=("$dir")
    mkdir -p "$dir"/{conf/ppd,spool/tmp,cache,state,log}
    cat >"$dir/conf/cupsd.conf" <<CONF
LogLevel info
Listen $dir/socket
Browsing No
WebInterface No
DefaultAuthType None
IdleExitTimeout 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup root
CONF
    chmod -R go-w "$dir"
    chmod 755 "$dir"
    export CUPS_SERVER="$dir/socket"
    cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 20 sh -c 'lpstat -r | grep -q "is running"' || return 1
    lpadmin -p CorvanaPDF -v cups-pdf:/ -P "$ppd" -E 2>/dev/null &&
        lpadmin -p CorvanaPDF -o Label-default=2 && lpadmin -d CorvanaPDF || return 1
    touch "$dir/before"
    PRINT_SINCE="$dir/before"
}

# The PDF of a job printed since start_print_server, once it has arrived whole.
printed_pdf() {
    find "$PRINT_OUT_DIR" -maxdepth 1 -name 'Corvana*.pdf' -newer "$PRINT_SINCE" 2>/dev/null | head -n1 | grep .
}
