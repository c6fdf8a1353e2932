#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Tolvi needs to build, run and test,
# and any further packages named as arguments (scripts/package.sh names its
# tools). Does nothing when they are all present already.
set -euo pipefail

packages=(
  cmake g++ clang libclang-rt-14-dev make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev libxss-dev libx11-dev libcanberra-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  xvfb xauth xdotool x11-utils imagemagick trayer dunst dbus fonts-liberation2
)
# tools/screenshots.sh embeds its pictures into the user guide with python3.
packages+=(python3)
# Opens the user guide, the work log and folders (Help, "View Log").
packages+=(xdg-utils)
# Wayland: the idle protocols (client and fake-compositor code from
# wayland-scanner), Qt's Wayland platform, and a headless sway with wtype
# as keyboard for the end-to-end test.
packages+=(libwayland-dev wayland-protocols plasma-wayland-protocols qt6-wayland sway wtype)
# The Windows build: MinGW-w64 (posix threads), Wine to run its tests, NSIS
# for the installer, GoogleTest's sources to build it with the cross compiler.
packages+=(g++-mingw-w64-x86-64-posix wine64 wine nsis googletest)
# The Windows program's zip, and its end-to-end test under Wine (Xvfb,
# xdotool and ImageMagick are listed above).
packages+=(zip)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  -o DPkg::Lock::Timeout=600 "${missing[@]}"
