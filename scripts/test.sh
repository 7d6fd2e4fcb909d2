#!/usr/bin/env bash
# Builds Corvana and runs every test (unit, command and end-to-end) through CTest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
corvana_install_deps
corvana_build
cd "$CORVANA_BUILD_DIR"
ctest --output-on-failure "$@"
