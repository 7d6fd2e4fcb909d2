#!/usr/bin/env bash
# One session as a user has it, on the real editor: start with a file on the command
# line, type, find a word with the find dialog and again with F3, cut and paste, give
# the text a font through the real font dialog, save under a new name through the real
# save dialog, open the about box and close it with Enter, print where a default
# printer is set up, and leave with the toolbar's Exit button, answering its question.
# The saved file is checked on disk; a screenshot of the window is kept as an artefact.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

expect_document() {
    focus_window "$MAIN_WINDOW"
    press ctrl+Home ctrl+shift+End
    wait_for 5 primary_is "$1" || fail "the document reads '$(cat "$E2E_WORK/clip" 2>/dev/null)', expected '$1'"
}

click() {
    click_accessible "$@" || fail "no '$1' to click: $(cat "$E2E_WORK/atspi.err" 2>/dev/null)"
}

# A default printer of the test's own, where the machine can have one.
PRINTING=""
start_print_server && PRINTING=1
start_x
# The buttons and the menu bar's About are found where a screen reader finds them.
start_atspi || { echo "SKIP: no accessibility tree on this machine (at-spi2-core, dbus, python3-dbus)"; exit 77; }

printf 'one cat\r\ntwo cat\r\n' >"$E2E_WORK/story.txt"
start_editor "$E2E_WORK/story.txt"
focus_window "$MAIN_WINDOW"

# Type at the end.
press ctrl+End
type_text "three"
expect_document $'one cat\ntwo cat\nthree'

# Find "cat" from the top with the find dialog, then the next one with F3, and type
# over it.
press ctrl+Home
click Find "push button"
find_box="$(wait_window '^Find$')" || fail "the Find button did not open the find dialog"
focus_window "$find_box"
type_text "cat"
press Tab Tab Tab space   # to OK: there is no default button
wait_window_gone '^Find$' 10 || fail "the find dialog did not close on OK"
focus_window "$MAIN_WINDOW"
press F3
type_text "dog"
expect_document $'one cat\ntwo dog\nthree'

# Cut the first line, paste it at the end.
press ctrl+Home shift+End ctrl+x
expect_clipboard "one cat"
press ctrl+End Return shift+Insert ctrl+Home Delete
expect_document $'two dog\nthree\none cat'

# The whole text in another font, through the real font dialog.
click Font "push button"
font_box="$(wait_window '^Select Font$')" || fail "the Font button did not open the font dialog"
focus_window "$font_box"
press alt+f ctrl+a
type_text "DejaVu Serif"
press alt+s ctrl+a
type_text "20"
press Return
wait_window_gone '^Select Font$' 10 || fail "the font dialog did not close"
attributes="$(atspi_query attributes Document 0)" || fail "the document's text attributes cannot be read"
grep -qx 'family-name="DejaVu Serif"' <<<"$attributes" || fail "the text's font is not DejaVu Serif: $attributes"
grep -qx 'size=20' <<<"$attributes" || fail "the text's size is not 20 points: $attributes"

# Save under a new name (File, Save As: the fourth item).
focus_window "$MAIN_WINDOW"
press alt+f
sleep 0.3
press Down Down Down Return
choose_file 'Save As' "$E2E_WORK/saved story.txt"
wait_for 10 test -s "$E2E_WORK/saved story.txt" || fail "nothing was saved"
printf 'two dog\r\nthree\r\none cat\r\n' | cmp -s - "$E2E_WORK/saved story.txt" ||
    fail "the saved file holds: $(od -c "$E2E_WORK/saved story.txt" | head -5)"
printf 'one cat\r\ntwo cat\r\n' | cmp -s - "$E2E_WORK/story.txt" || fail "the file the session started with changed"

# The about box, from the menu bar's About, closes with Enter at once.
click About "menu item"
about="$(wait_window '^About Corvana$')" || fail "About did not open the about box"
# Its client area at 2130, 2670 on the screen, 4980 x 3060 twips.
client_is() {
    [ "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')" = "$2" ]
}
wait_for 5 client_is "$about" "142 178 332 204" ||
    fail "the about box's client area is at $(xwininfo -id "$about" | grep -E 'Absolute|Width|Height' | tr -s ' \n' ' ')"
focus_window "$about"
press Return
wait_window_gone '^About Corvana$' 10 || fail "Enter did not close the about box"

# Print on the default printer: one page arrives.
if [ -n "$PRINTING" ]; then
    click Print "push button"
    wait_for 60 printed_pdf || fail "nothing was printed; jobs: $(lpstat -W all -o 2>&1)"
    pdf="$(printed_pdf)"
    wait_for 30 sh -c '[ -z "$(lpstat -o 2>/dev/null)" ]' || fail "the print job did not finish"
    if command -v pdfinfo >/dev/null 2>&1; then
        pages="$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
        [ "$pages" = 1 ] || fail "the printed PDF has ${pages:-no} pages, not 1"
    fi
    rm -f "$pdf"
else
    echo "note: no print server of our own on this machine; the session does not print"
fi

if [ -n "${CORVANA_ARTEFACTS:-}" ]; then
    mkdir -p "$CORVANA_ARTEFACTS"
    focus_window "$MAIN_WINDOW"
    import -window "$MAIN_WINDOW" "$CORVANA_ARTEFACTS/e2e_session-main-window.png" 2>/dev/null ||
        echo "note: no screenshot taken"
fi

# An edit after the save, then Exit on the toolbar: the question comes; Cancel keeps the
# window, No leaves without saving.
press ctrl+End
type_text "!"
prompt_shown() { xdotool search --onlyvisible --name '^Warning! Text Has Changed$' >/dev/null 2>&1; }
click Exit "push button"
wait_for 10 prompt_shown || fail "Exit with unsaved changes did not ask"
prompt="$(wait_window '^Warning! Text Has Changed$')"
focus_window "$prompt"
press Escape
wait_window_gone '^Warning! Text Has Changed$' 10 || fail "Escape did not answer the question"
kill -0 "$EDITOR_PID" 2>/dev/null || fail "Cancel closed the editor"
click Exit "push button"
prompt="$(wait_window '^Warning! Text Has Changed$')" || fail "Exit did not ask the second time"
focus_window "$prompt"
press alt+n
wait_editor_exit 20 || fail "the editor did not end after No"
printf 'two dog\r\nthree\r\none cat\r\n' | cmp -s - "$E2E_WORK/saved story.txt" || fail "No saved the edit after all"

echo "PASS"
