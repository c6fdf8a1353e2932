#!/usr/bin/env bash
# Cross-builds Tolvi for 64-bit Windows with MinGW-w64: the core, the Windows
# ports, tolvi-sim.exe and the test program tolvi_tests.exe.
#   build-windows.sh [DIR [cmake options...]]   (DIR defaults to build-windows)
# Installs the cross compiler, Wine, Xvfb, NSIS and the GoogleTest sources first
# when they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build-windows}
[ $# -gt 0 ] && shift
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac

packages=(cmake make g++-mingw-w64-x86-64-posix wine64 wine nsis googletest xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTOLVI_WERROR=ON -DTOLVI_BUILD_GUI=OFF -DTOLVI_BUILD_BENCH=OFF \
  "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target tolvi_tests tolvi-sim tolvi_dialog_smoke
