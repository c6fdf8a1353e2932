#!/usr/bin/env bash
# Installs what is missing, builds Tolvi and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF
exec build/tolvi "$@"
