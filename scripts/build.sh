#!/usr/bin/env bash
# Configures and builds one build directory: build.sh DIR [cmake options...]
# (DIR relative to the repository, or absolute).
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
case "$dir" in /*) ;; *) dir=$root/$dir ;; esac
cmake -S "$root" -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
