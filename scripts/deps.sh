#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Corvana need.
# Sourced by run.sh, test.sh and bench.sh; does nothing when everything is there.
corvana_packages=(
  build-essential cmake ccache
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  fonts-dejavu-core
  xvfb xauth xdotool xclip x11-utils openbox imagemagick
  poppler-utils cups cups-client cups-bsd printer-driver-cups-pdf python3
  dbus at-spi2-core python3-dbus
)

corvana_install_deps() {
  local missing=()
  local pkg
  for pkg in "${corvana_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Corvana needs these packages; install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures and builds into build/ (or $CORVANA_BUILD_DIR).
corvana_build() {
  local top
  top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  CORVANA_BUILD_DIR="${CORVANA_BUILD_DIR:-$top/build}"
  export CCACHE_BASEDIR="$top"
  cmake -S "$top" -B "$CORVANA_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$CORVANA_BUILD_DIR" -j"$(nproc)" "$@"
}
