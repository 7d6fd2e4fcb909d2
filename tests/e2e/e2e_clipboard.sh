#!/usr/bin/env bash
# The clipboard shared with other programs: text that xclip offers pastes into the
# editor with Shift+Insert, whatever its line ends; a selection copied or cut there
# reads back through xclip with LF line ends; a clipboard holding only a picture gives
# "There is no text on the Clipboard." and leaves the document alone.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Offers a file on the clipboard as the given type until another program takes it.
offer() {
    local type="$1" file="$2"
    xclip -quiet -selection clipboard -t "$type" -i "$file" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 sh -c "xclip -o -selection clipboard -t TARGETS | grep -qx '$type'" || fail "xclip did not take the clipboard"
}

# Whether the clipboard's text is exactly $1.
clipboard_is() {
    xclip -o -selection clipboard >"$E2E_WORK/clip" 2>/dev/null && printf '%s' "$1" | cmp -s - "$E2E_WORK/clip"
}

expect_clipboard() {
    wait_for 10 clipboard_is "$1" ||
        fail "the clipboard holds '$(cat "$E2E_WORK/clip" 2>/dev/null)', expected '$1'"
}

# Copies the whole document and checks it.
expect_document() {
    focus_window "$MAIN_WINDOW"
    press ctrl+a ctrl+c
    expect_clipboard "$1"
}

# A visible window titled "Corvana" that is not the main window: a message box.
message_box() {
    xdotool search --onlyvisible --name '^Corvana$' 2>/dev/null | grep -vx "$MAIN_WINDOW" | head -n1 | grep .
}

start_x
start_editor
focus_window "$MAIN_WINDOW"
press ctrl+a Delete

# Text from another program, in its three kinds of line ends and with an accent.
printf 'one\r\ntwo\nthr\xc3\xa9e\rfour' >"$E2E_WORK/text"
offer UTF8_STRING "$E2E_WORK/text"
focus_window "$MAIN_WINDOW"
press shift+Insert
expect_document $'one\ntwo\nthr\xc3\xa9e\nfour'

# A selection made with the keyboard: the last word, then the two before it.
press ctrl+End shift+Left shift+Left shift+Left shift+Left ctrl+c
expect_clipboard 'four'
press Left Left shift+Left shift+Left shift+Left shift+Left shift+Left shift+Left shift+Left shift+Left shift+Left ctrl+x
expect_clipboard $'two\nthr\xc3\xa9e'
expect_document $'one\n\nfour'

# A picture and no text: the message, and the document stays as it was.
base64 -d >"$E2E_WORK/picture.png" <<'PNG'
iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==
PNG
offer image/png "$E2E_WORK/picture.png"
focus_window "$MAIN_WINDOW"
press shift+Insert
wait_for 20 message_box || fail "no message box appeared for a clipboard without text"
box="$(message_box)"
focus_window "$box"
press Return
wait_for 20 sh -c "! xdotool search --onlyvisible --name '^Corvana$' 2>/dev/null | grep -vxq '$MAIN_WINDOW'" ||
    fail "the message box did not close on Enter"
expect_document $'one\n\nfour'

echo "PASS"
