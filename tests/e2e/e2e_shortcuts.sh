#!/usr/bin/env bash
# The menus' shortcuts reach their commands through real key events while the editing
# area has the focus: Ctrl+C and Ctrl+X to the system clipboard, Shift+Insert from it,
# F3 to Find Again after a search in the find dialog; Alt+F opens the File menu.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

expect_document() {
    focus_window "$MAIN_WINDOW"
    press ctrl+Home ctrl+shift+End
    wait_for 5 primary_is "$1" || fail "the document reads '$(cat "$E2E_WORK/clip" 2>/dev/null)', expected '$1'"
}

start_x
printf 'cat dog cat bird' >"$E2E_WORK/pets.txt"
start_editor "$E2E_WORK/pets.txt"
focus_window "$MAIN_WINDOW"

# Ctrl+C: "dog" onto the clipboard, the text as it was.
press ctrl+Home Right Right Right Right shift+Right shift+Right shift+Right ctrl+c
expect_clipboard "dog"
expect_document "cat dog cat bird"

# Ctrl+X: "bird" moves to the clipboard.
press ctrl+End shift+Left shift+Left shift+Left shift+Left ctrl+x
expect_clipboard "bird"
expect_document "cat dog cat "

# Shift+Insert: the clipboard's text at the caret.
press ctrl+Home shift+Insert
expect_document "birdcat dog cat "

# Find through the Search menu and the find dialog, then F3 finds the next one.
press ctrl+Home alt+f
file_menu_open() { xdotool search --onlyvisible --class corvana 2>/dev/null | grep -vx "$MAIN_WINDOW" | grep -q .; }
wait_for 5 file_menu_open || fail "Alt+F did not open the File menu"
press Right Right Return
find_box="$(wait_window '^Find$')" || fail "the find dialog did not open from the Search menu"
focus_window "$find_box"
type_text "cat"
# No default button: Tab to OK and press it.
press Tab Tab Tab space
wait_window_gone '^Find$' 10 || fail "the find dialog did not close on OK"
focus_window "$MAIN_WINDOW"
press F3
type_text "X"
expect_document "birdcat dog X "

echo "PASS"
