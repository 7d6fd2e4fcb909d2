#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a desktop finds the editor
# there: the program, its launcher entry with the file types it opens, and its icon.
# Arguments: the cmake program and the build folder.
set -euo pipefail
CMAKE="$1"
BUILD="$2"
PREFIX="$(mktemp -d)"
trap 'rm -rf "$PREFIX"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$CMAKE" --install "$BUILD" --prefix "$PREFIX" >"$PREFIX/install.log" 2>&1 || {
    cat "$PREFIX/install.log" >&2
    fail "cmake --install failed"
}

[ -x "$PREFIX/bin/corvana" ] || fail "no executable bin/corvana"

desktop="$PREFIX/share/applications/corvana.desktop"
[ -f "$desktop" ] || fail "no share/applications/corvana.desktop"
# The value of a key in the [Desktop Entry] group.
entry() {
    awk -F= -v key="$1" '/^\[/ {group = $0} group == "[Desktop Entry]" && $1 == key {print substr($0, length(key) + 2); exit}' "$desktop"
}
[ "$(entry Type)" = "Application" ] || fail "Type is '$(entry Type)'"
[ "$(entry Name)" = "Corvana" ] || fail "Name is '$(entry Name)'"
[ "$(entry Exec)" = "corvana %f" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry MimeType)" = "text/plain;text/rtf;" ] || fail "MimeType is '$(entry MimeType)'"
[ "$(entry Terminal)" = "false" ] || fail "Terminal is '$(entry Terminal)'"
icon="$(entry Icon)"
[ "$icon" = "corvana" ] || fail "Icon is '$icon'"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
fi

# The icon theme's standard places, each PNG as large as its folder says.
for size in 16 32 48 64 128; do
    png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no icon $png"
    header="$(od -An -tx1 -N8 "$png" | tr -d ' \n')"
    [ "$header" = "89504e470d0a1a0a" ] || fail "$png is no PNG"
    # Width and height stand big-endian at bytes 16 to 23 of the IHDR chunk.
    dims="$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')"
    [ "$dims" = "$size $size" ] || fail "$png is $dims, not $size $size"
done
echo "installed: $(cd "$PREFIX" && find . -type f | sort | tr '\n' ' ')"
