#!/usr/bin/env bash
# Opening and saving through the real file dialogs: a file opened with File, Open is
# edited and saved under a new name with File, Save As. The new file holds the text with
# CR LF line ends and one CR LF more, the old file is untouched, and the status bar
# names the new file with its size.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Whether the whole document, copied to the clipboard, is exactly $1.
document_is() {
    focus_window "$MAIN_WINDOW"
    press ctrl+a ctrl+c
    wait_for 5 sh -c 'xclip -o -selection clipboard >"$0" 2>/dev/null && printf "%s" "$1" | cmp -s - "$0"' \
        "$E2E_WORK/clip" "$1"
}

# The status bar's panels as the accessibility tree shows them, one a line; nothing
# where that tree can't be read on this machine.
status_panels() {
    [ -n "${E2E_ATSPI:-}" ] || return 1
    local tries=0
    # The bridge may need a moment to put the window in the tree.
    until /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_panels.py" "$EDITOR_PID" 2>"$E2E_WORK/atspi.err"; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || return 1
        sleep 0.25
    done
}

# The accessibility tree, where the machine has it: a private session bus, on which the
# accessibility bus starts on demand, and the editor's accessibility bridge always on.
if command -v dbus-daemon >/dev/null 2>&1 && [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import dbus' 2>/dev/null &&
    [ -f /usr/share/dbus-1/services/org.a11y.Bus.service ]; then
    dbus-daemon --session --nofork --print-address=1 >"$E2E_WORK/bus" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 10 test -s "$E2E_WORK/bus" || fail "no session bus"
    export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$E2E_WORK/bus")"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    E2E_ATSPI=1
fi

# The three panels name the file, its time on disk in the locale's form (C here: the
# short date, a blank, the time with seconds) and its size.
expect_panels() {
    local file="$E2E_WORK/$1" size="$2" panels when
    panels="$(status_panels)" || {
        echo "note: the status panels were not read (no accessibility tree here)"
        return 0
    }
    when="$(date -r "$file" '+%-d %b %Y %H:%M:%S')"
    when="${when% 00:00:00}"
    [ "$(sed -n 1p <<<"$panels")" = "$file" ] || fail "panel 1 shows '$(sed -n 1p <<<"$panels")', not $file"
    [ "$(sed -n 2p <<<"$panels")" = "$when" ] || fail "panel 2 shows '$(sed -n 2p <<<"$panels")', not '$when'"
    [ "$(sed -n 3p <<<"$panels")" = "$size" ] || fail "panel 3 shows '$(sed -n 3p <<<"$panels")', not '$size'"
}

start_x
printf 'hello\r\nworld\r\n' >"$E2E_WORK/in.txt"
start_editor
focus_window "$MAIN_WINDOW"

# File, Open (the menu's access keys), the real open dialog, a typed path.
press alt+f
sleep 0.3
press o
choose_file Open "$E2E_WORK/in.txt"
document_is $'hello\nworld\n' || fail "the opened document reads '$(cat "$E2E_WORK/clip")'"
expect_panels in.txt "14 Bytes"

# An edit at the end, then File, Save As (fourth item of the menu) under a new name.
focus_window "$MAIN_WINDOW"
press ctrl+End
type_text "more"
press alt+f
sleep 0.3
press Down Down Down Return
choose_file 'Save As' "$E2E_WORK/out.txt"
wait_for 10 test -s "$E2E_WORK/out.txt" || fail "nothing was saved"
printf 'hello\r\nworld\r\nmore\r\n' | cmp - "$E2E_WORK/out.txt" ||
    fail "the saved file holds: $(od -c "$E2E_WORK/out.txt" | head -5)"
printf 'hello\r\nworld\r\n' | cmp -s - "$E2E_WORK/in.txt" || fail "the opened file changed"

expect_panels out.txt "20 Bytes"

# Saved: closing asks nothing and the editor ends.
focus_window "$MAIN_WINDOW"
press alt+f
sleep 0.3
press x
wait_editor_exit 20 || fail "the editor did not end after Exit with nothing to save"
echo "PASS"
