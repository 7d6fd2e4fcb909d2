#!/usr/bin/env bash
# Start-up of the real editor on a 1600 x 1200 screen with a window manager that draws
# frames: the outer frame covers the middle three quarters of the screen, the caption,
# the toolbar's buttons and the empty panels as a screen reader finds them, typed text
# in the editing area; a file given by a path with blanks loads as plain text and closes
# without a question; a name that looks like one of Qt's options loads too; a missing
# file gives the "Error" box first, then the window.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Whether the whole document, selected with the keyboard without typing a character
# (which would mark it changed), is exactly $1.
document_is() {
    press ctrl+Home ctrl+shift+End
    wait_for 5 primary_is "$1"
}

expect_document() {
    focus_window "$MAIN_WINDOW"
    document_is "$1" || fail "the document reads '$(cat "$E2E_WORK/clip" 2>/dev/null)', expected '$1'"
}

expect_started_window() {
    # 18000 x 13500 twips at 3000, 2250: three quarters of 24000 x 18000, an eighth free
    # on each side. The frame is known only once the window manager has framed the
    # window, so give it a moment to settle.
    wait_for 10 geometry_is "$MAIN_WINDOW" "200 150 1200 900" ||
        fail "the outer frame is $(frame_geometry "$MAIN_WINDOW"), expected 200 150 1200 900"
    sleep 1
    geometry_is "$MAIN_WINDOW" "200 150 1200 900" || fail "the frame moved to $(frame_geometry "$MAIN_WINDOW")"
    [ "$(xdotool getwindowname "$MAIN_WINDOW")" = "Corvana" ] || fail "the caption is '$(xdotool getwindowname "$MAIN_WINDOW")'"
}

start_x
start_atspi || echo "note: no accessibility tree on this machine; toolbar and panels are not read"

# No file on the command line.
start_editor
expect_started_window
if [ -n "${E2E_ATSPI:-}" ]; then
    # The toolbar's own hidden parts carry no name.
    buttons="$(accessible_children Toolbar | grep -v '^$')" || fail "the toolbar is not in the accessibility tree"
    [ "$buttons" = "$(printf '%s\n' New Open Save Cut Copy Paste Find Font Print Exit)" ] ||
        fail "the toolbar's buttons are: $(tr '\n' ' ' <<<"$buttons")"
    accessible_children Status >"$E2E_WORK/panels" || fail "the status bar is not in the accessibility tree"
    [ "$(wc -l <"$E2E_WORK/panels")" = 3 ] && ! grep -q . "$E2E_WORK/panels" ||
        fail "the status panels are not three empty ones: $(cat -A "$E2E_WORK/panels")"
    # The layout rule works from the outer size the frame gives: 18000 - 75 twips wide.
    read -r _ _ width _ <<<"$(atspi_query extents Document text)" || fail "the editing area is not in the tree"
    [ "$width" = 1195 ] || fail "the editing area is $width pixels wide, not 1195"
fi
focus_window "$MAIN_WINDOW"
type_text "Typed at start"
expect_document "Typed at start"
# Ctrl+C reaches the Copy command while the editing area has the focus.
press ctrl+c
expect_clipboard "Typed at start"
stop_editor

# A path with blanks, given as one argument and as the shell splits it: rich-text markup
# shows as characters, and closing at once asks nothing (loading is not typing).
mkdir -p "$E2E_WORK/my notes"
printf '{\\rtf1\\ansi {\\b not bold}}\r\nsecond line\r\n' >"$E2E_WORK/my notes/a b.txt"
for way in one split; do
    if [ $way = one ]; then
        start_editor "$E2E_WORK/my notes/a b.txt"
    else
        start_editor "$E2E_WORK/my" "notes/a" "b.txt"
    fi
    window_shown '^Error$' && fail "an error box came for an existing file ($way)"
    expect_started_window
    expect_document $'{\\rtf1\\ansi {\\b not bold}}\nsecond line\n'
    press alt+F4
    wait_editor_exit 10 || fail "the window did not close at once after a load ($way)"
done

# A relative path that looks like one of Qt's own options is a path all the same.
printf 'named like an option' >"$E2E_WORK/-reverse"
pushd "$E2E_WORK" >/dev/null
start_editor -reverse
popd >/dev/null
window_shown '^Error$' && fail "an error box came for ./-reverse"
expect_document 'named like an option'
stop_editor

# A missing file: the error box comes first, alone, with its exact text.
launch_editor "$E2E_WORK/no such file.txt"
box="$(wait_window '^Error$')" || fail "no box titled Error appeared"
window_shown '^Corvana$' && fail "the main window showed before the error box was answered"
focus_window "$box"
press ctrl+c
expect_clipboard $'Error #  53\nFile not found'
press Return
MAIN_WINDOW="$(wait_window '^Corvana$')" || fail "the main window did not appear after the error box"
window_shown '^Error$' && fail "the error box is still there"
expect_started_window
focus_window "$MAIN_WINDOW"
type_text "x"
expect_document "x"
stop_editor

echo "PASS"
