#!/usr/bin/env bash
# Builds Corvana and starts it; an optional FILE is loaded at start-up.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/deps.sh"
corvana_install_deps
corvana_build --target corvana
exec "$CORVANA_BUILD_DIR/corvana" "$@"
