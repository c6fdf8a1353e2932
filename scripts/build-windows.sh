#!/usr/bin/env bash
# Cross-builds Tolvi for 64-bit Windows with MinGW-w64: the program
# tolvi.exe, tolvi-sim.exe and the test program tolvi_tests.exe; then packs
# dist/Tolvi-1.91-win64.zip (tolvi.exe, Text.txt, ReadMe.htm: a portable
# copy that keeps its data beside itself) and the installer
# dist/Tolvi-1.91-setup.exe (NSIS, packaging/windows/tolvi.nsi).
#   build-windows.sh [DIR [cmake options...]]   (DIR defaults to build-windows)
# Installs the cross compiler, Wine, Xvfb, NSIS, zip and the GoogleTest
# sources (and what the end-to-end test uses) first when they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build-windows}
[ $# -gt 0 ] && shift
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac

packages=(cmake make g++-mingw-w64-x86-64-posix wine64 wine nsis googletest zip)
# The end-to-end and dialog tests' display, input and screenshots
# (scripts/test-windows.sh).
packages+=(xvfb xauth xdotool imagemagick)
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
cmake --build "$dir" -j"$(nproc)" --target tolvi tolvi_tests tolvi-sim tolvi_dialog_smoke

version=1.91
dist="$root/dist"
mkdir -p "$dist"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
x86_64-w64-mingw32-strip -o "$stage/tolvi.exe" "$dir/tolvi.exe"
cp "$root/resources/Text.txt" "$root/resources/ReadMe.htm" "$stage/"
rm -f "$dist/Tolvi-$version-win64.zip"
(cd "$stage" && zip -q -X "$dist/Tolvi-$version-win64.zip" tolvi.exe Text.txt ReadMe.htm)
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$dist/Tolvi-$version-setup.exe" \
  "$root/packaging/windows/tolvi.nsi"
echo "Built $dist/Tolvi-$version-win64.zip and $dist/Tolvi-$version-setup.exe"
