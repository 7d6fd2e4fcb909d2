#!/usr/bin/env bash
# Printing from the real editor through a real print server: a print server of the
# test's own (its own folder and socket, so the machine's printers are left alone)
# with a PDF queue as the default printer. A 3-page document is printed with the
# toolbar's Print button, and the PDF that arrives has 3 pages and the document's text.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}

for tool in cupsd lpadmin lpstat pdfinfo pdftotext python3; do
    command -v "$tool" >/dev/null 2>&1 || PATH="$PATH:/usr/sbin" command -v "$tool" >/dev/null 2>&1 ||
        skip "$tool is not installed"
done
export PATH="$PATH:/usr/sbin"
BACKEND=/usr/lib/cups/backend/cups-pdf
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
[ -x "$BACKEND" ] && [ -f "$PPD" ] || skip "the cups-pdf printer driver is not installed"
# The print server runs the PDF backend only as root.
[ "$(id -u)" -eq 0 ] || skip "a print server with the cups-pdf backend needs root; running as $(id -un)"

# The private print server with its PDF queue as the default printer.
start_print_server || skip "the print server could not run on this machine"
lpstat -d | grep -q CorvanaPDF || fail "the default printer is '$(lpstat -d)'"

# 120 lines: three pages of a one-inch margin on Letter and on A4 alike.
for i in $(seq -w 1 120); do printf 'line %s of the printed document\r\n' "$i"; done >"$E2E_WORK/doc.txt"

start_x
export QT_USE_NATIVE_WINDOWS=1
start_editor "$E2E_WORK/doc.txt"
focus_window "$MAIN_WINDOW"

# The toolbar's Print button, the ninth of its ten. Each widget is a window of its own
# here, so that the buttons' places can be read off the window tree.
print_button_centre() {
    xwininfo -id "$MAIN_WINDOW" -tree | awk '
        function geometry(line,   g) { match(line, /[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+ +\+-?[0-9]+\+-?[0-9]+/); return substr(line, RSTART, RLENGTH) }
        /^ *10 children:/ { toolbar = 1; n = 0; next }
        toolbar && n < 10 && /0x[0-9a-f]+/ {
            g = geometry($0); split(g, p, /[x+ ]+/)
            # p: width height x y absolute-x absolute-y
            x[n] = p[3]; cx[n] = p[5] + int(p[1] / 2); cy[n] = p[6] + int(p[2] / 2); n++
            if (n == 10) {
                for (i = 0; i < 10; i++) { rank = 0; for (j = 0; j < 10; j++) if (x[j] < x[i]) rank++; if (rank == 8) print cx[i], cy[i] }
                exit
            }
        }'
}
centre="$(print_button_centre)"
[ -n "$centre" ] || fail "the toolbar's buttons were not found in the window tree"
xdotool mousemove --sync ${centre% *} ${centre#* } click 1

# The job arrives in cups-pdf's folder as a PDF of its own.
wait_for 60 sh -c 'test -s "$(find "$0" -maxdepth 1 -name "Corvana*.pdf" -newer "$1" | head -n1)"' \
    "$PRINT_OUT_DIR" "$PRINT_SINCE" ||
    fail "no PDF arrived in $PRINT_OUT_DIR; jobs: $(lpstat -W all -o 2>&1)"
OUTPUT="$(printed_pdf)"
# It is complete once the job is.
wait_for 30 sh -c '[ -z "$(lpstat -o CorvanaPDF 2>/dev/null)" ]' || fail "the job did not finish"
pages="$(pdfinfo "$OUTPUT" 2>/dev/null | awk '/^Pages:/ {print $2}')"
[ "$pages" = 3 ] || fail "the printed PDF has ${pages:-no} pages, not 3"
# The print server's PDF is made again from PostScript, and its fonts may no longer say
# which letter each glyph is: the text is read up to a consistent renaming of glyphs.
# Every line is there once, in order, with its own number, and the pages break between
# lines.
pdftotext -layout "$OUTPUT" "$E2E_WORK/printed.txt"
/usr/bin/python3 - "$E2E_WORK/printed.txt" <<'PY' || fail "the printed text is not the document's"
import sys
pages = open(sys.argv[1], encoding="utf-8").read().split("\f")
lines = [line.split() for page in pages for line in page.splitlines() if line.strip()]
if len(lines) != 120:
    sys.exit(f"{len(lines)} lines printed, not 120")
glyph_of = {}
tail = None
for number, words in enumerate(lines, 1):
    if len(words) != 6:
        sys.exit(f"line {number} has {len(words)} words: {words}")
    if tail is None:
        tail = words[2:]
    if words[2:] != tail:
        sys.exit(f"line {number} does not end as the others: {words}")
    digits = f"{number:03d}"
    if len(words[1]) != 3:
        sys.exit(f"line {number}'s number has {len(words[1])} glyphs")
    for digit, glyph in zip(digits, words[1]):
        if glyph_of.setdefault(digit, glyph) != glyph:
            sys.exit(f"line {number} is not line {digits}: {words[1]}")
if len(set(glyph_of.values())) != len(glyph_of):
    sys.exit("two digits print as one glyph")
per_page = [sum(1 for line in page.splitlines() if line.strip()) for page in pages]
print("lines per page:", [n for n in per_page if n])
PY
echo "PASS"
