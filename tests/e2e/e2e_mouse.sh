#!/usr/bin/env bash
# The mouse in the editing area, through the real window system: a double click selects
# a word and offers it as the primary selection, dragging that word drops it elsewhere
# in the document (and takes it from where it was), and a triple click selects a line.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_x
start_atspi || { echo "SKIP: no accessibility bus to find the editing area on the screen"; exit 77; }
start_editor
focus_window "$MAIN_WINDOW"
type_text 'alpha beta gamma'
press Return
type_text 'second line'

# Where the text starts on the screen: the editing area's corner, its frame and margin.
extents="$(atspi_query extents Document)" || fail "the editing area is not in the accessibility tree"
read -r ax ay aw ah <<<"$extents"
[ "$aw" -gt 100 ] && [ "$ah" -gt 60 ] || fail "the editing area is only $aw x $ah"
line_height=17
first=$((ay + 6 + line_height / 2))
second=$((first + line_height))

xdotool mousemove --sync $((ax + 14)) "$first" click --repeat 2 --delay 80 1
wait_for 10 primary_is 'alpha' || fail "a double click selected '$(cat "$E2E_WORK/clip")', expected 'alpha'"

# Carry the word to the end of the second line, in small steps as a hand would (after
# a pause: a press straight after a double click would be a triple click).
sleep 1
xdotool mousemove --sync $((ax + 16)) "$first" mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --sync $((ax + 16 + step * (aw - 80) / 10)) $((first + step * line_height / 10))
    sleep 0.05
done
sleep 0.2
xdotool mouseup 1
sleep 0.3

focus_window "$MAIN_WINDOW"
press ctrl+a ctrl+c
expect_clipboard $' beta gamma\nsecond linealpha'

# A triple click on the second line selects all of it.
xdotool mousemove --sync $((ax + 30)) "$second" click --repeat 3 --delay 80 1
wait_for 10 primary_is 'second linealpha' ||
    fail "a triple click selected '$(cat "$E2E_WORK/clip")', expected the second line"
