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

# Where cups-pdf puts a job's PDF: its Out setting, for the user who prints.
user="$(id -un)"
user_home="$(getent passwd "$user" | cut -d: -f6)"
out_dir="$(awk '$1 == "Out" {print $2}' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n1)"
[ -n "$out_dir" ] || out_dir='${HOME}/PDF'
out_dir="$(printf '%s' "$out_dir" | sed -e "s|\${HOME}|$user_home|g" -e "s|\${USER}|$user|g")"
out_dir_was_there=""
[ -d "$out_dir" ] && out_dir_was_there=1

# The private print server. A socket path must stay short.
CUPS_DIR="$(mktemp -d /tmp/corvana-cups.XXXXXX)"
mkdir -p "$CUPS_DIR"/{conf/ppd,spool/tmp,cache,state,log}
cat >"$CUPS_DIR/conf/cupsd.conf" <<EOF
LogLevel info
Listen $CUPS_DIR/socket
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
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$CUPS_DIR/conf/cups-files.conf" <<EOF
ServerRoot $CUPS_DIR/conf
RequestRoot $CUPS_DIR/spool
TempDir $CUPS_DIR/spool/tmp
CacheDir $CUPS_DIR/cache
StateDir $CUPS_DIR/state
AccessLog $CUPS_DIR/log/access_log
ErrorLog $CUPS_DIR/log/error_log
PageLog $CUPS_DIR/log/page_log
Printcap $CUPS_DIR/printcap
SystemGroup root
EOF
# The filters run as the server's own user: they must reach the spool.
chmod -R go-w "$CUPS_DIR"
chmod 755 "$CUPS_DIR"
export CUPS_SERVER="$CUPS_DIR/socket"

CUPSD_PID=""
QUEUE_ADDED=""
OUTPUT=""
print_cleanup() {
    if [ -n "$QUEUE_ADDED" ]; then
        lpadmin -x CorvanaPDF 2>/dev/null || true
    fi
    # Ends only the print server this test started.
    if [ -n "$CUPSD_PID" ]; then
        kill "$CUPSD_PID" 2>/dev/null || true
        wait "$CUPSD_PID" 2>/dev/null || true
    fi
    [ -n "$OUTPUT" ] && rm -f "$OUTPUT"
    [ -n "$out_dir_was_there" ] || rmdir "$out_dir" 2>/dev/null || true
    rm -rf "$CUPS_DIR"
    e2e_cleanup
}
trap print_cleanup EXIT

cupsd -f -c "$CUPS_DIR/conf/cupsd.conf" -s "$CUPS_DIR/conf/cups-files.conf" >"$CUPS_DIR/log/cupsd.out" 2>&1 &
CUPSD_PID=$!
if ! wait_for 20 sh -c 'lpstat -r | grep -q "is running"'; then
    echo "cupsd: $(tail -n5 "$CUPS_DIR/log/cupsd.out" "$CUPS_DIR/log/error_log" 2>/dev/null)"
    skip "the print server could not run on this machine"
fi
lpadmin -p CorvanaPDF -v cups-pdf:/ -P "$PPD" -E 2>"$CUPS_DIR/log/lpadmin.err" ||
    fail "the PDF queue could not be added: $(cat "$CUPS_DIR/log/lpadmin.err")"
QUEUE_ADDED=1
# Every job labelled with its number, so that no other PDF of that name is overwritten.
lpadmin -p CorvanaPDF -o Label-default=2 || fail "the queue's label option was not taken"
lpadmin -d CorvanaPDF || fail "the PDF queue could not be made the default"
lpstat -d | grep -q CorvanaPDF || fail "the default printer is '$(lpstat -d)'"

# 120 lines: three pages of a one-inch margin on Letter and on A4 alike.
for i in $(seq -w 1 120); do printf 'line %s of the printed document\r\n' "$i"; done >"$E2E_WORK/doc.txt"

start_x
touch "$CUPS_DIR/before"
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
find_output() {
    OUTPUT="$(find "$out_dir" -maxdepth 1 -name 'Corvana*.pdf' -newer "$CUPS_DIR/before" 2>/dev/null | head -n1)"
    [ -n "$OUTPUT" ] && [ -s "$OUTPUT" ]
}
if ! wait_for 60 find_output; then
    fail "no PDF arrived in $out_dir; jobs: $(lpstat -W all -o 2>&1); log: $(tail -n 15 "$CUPS_DIR/log/error_log")"
fi
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
