#!/usr/bin/env bash
# Builds Corvana and runs every benchmark in bench/, printing their figures.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
corvana_install_deps
corvana_build
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
echo "cores: $(nproc)"
for bench in "$CORVANA_BUILD_DIR"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
