#!/usr/bin/env bash
# Builds the Debian package of Tolvi into dist/ (dist/tolvi_VERSION-1_ARCH.deb):
#
#   scripts/package.sh [--check] [--build-dir DIR]
#
# It installs what is missing, builds a Release tree (build-package/ unless
# DIR names an existing one, such as the test command's build-release/),
# packs it with CPack and runs lintian, which must report no errors.
# --check also unpacks the package into a scratch root, validates its desktop
# entry and AppStream file, and starts the unpacked program on a virtual X
# display until its main window shows, then ends it with SIGTERM.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

check=0
build=build-package
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1 ;;
    --build-dir) build=$2; shift ;;
    *) echo "usage: scripts/package.sh [--check] [--build-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done

# The packaging and checking tools come on top of the build's packages.
scripts/install-deps.sh lintian dpkg-dev desktop-file-utils appstream

# An existing tree keeps its own options; only what the package needs is set.
options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTOLVI_BUILD_GUI=ON)
[ -f "$build/CMakeCache.txt" ] || options+=(-DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF)
echo "== package build ($build) =="
scripts/build.sh "$build" "${options[@]}"

work=$(mktemp -d)
pids=()
finish() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "package: FAILED: $*" >&2
  [ -f "$work/tolvi.log" ] && sed 's/^/  tolvi: /' "$work/tolvi.log" >&2
  exit 1
}

echo "== cpack =="
cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
mkdir -p dist
deb=$(find "$work/cpack" -maxdepth 1 -name 'tolvi_*.deb' | head -n1)
[ -n "$deb" ] || fail "cpack made no tolvi_*.deb"
rm -f dist/tolvi_*.deb
cp "$deb" dist/
deb=dist/$(basename "$deb")
echo "package: $root/$deb ($(du -k "$deb" | cut -f1) KiB)"

echo "== lintian =="
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"
echo "lintian: no errors"

[ "$check" -eq 1 ] || exit 0

echo "== package check =="
unpacked=$work/root
dpkg -x "$deb" "$unpacked"
for file in usr/bin/tolvi usr/share/tolvi/Text.txt usr/share/tolvi/ReadMe.htm \
    usr/share/applications/tolvi.desktop usr/share/metainfo/org.drovik.tolvi.metainfo.xml \
    usr/share/man/man1/tolvi.1.gz usr/share/doc/tolvi/copyright \
    usr/share/doc/tolvi/changelog.Debian.gz usr/share/icons/hicolor/scalable/apps/tolvi.svg; do
  [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done
[ ! -e "$unpacked/usr/bin/tolvi-sim" ] || fail "the package holds tolvi-sim"
dpkg-deb -f "$deb" Depends | grep -q 'gstreamer1.0-plugins-good' || fail "Depends lacks GStreamer"
desktop-file-validate "$unpacked/usr/share/applications/tolvi.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.drovik.tolvi.metainfo.xml" ||
  fail "appstreamcli validate"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/tolvi" --version) ||
  fail "tolvi --version failed"
[ "$version" = "Tolvi 1.91" ] || fail "tolvi --version said '$version'"

. "$root/scripts/lib/virtual_display.sh"
windows() { xdotool search --onlyvisible --name '^Tolvi 1\.91$' 2>/dev/null; }
window_shown() { [ -n "$(windows)" ]; }
width_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
main_window_shown() {
  local w
  for w in $(windows); do [ "$(width_of "$w")" = 420 ] && return 0; done
  return 1
}

start_virtual_display "$work" || fail "Xvfb did not start"
pids+=("$display_pid")
mkdir -m 700 "$work/runtime" "$work/home"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
"$unpacked/usr/bin/tolvi" --data-dir "$work/data" >"$work/tolvi.log" 2>&1 &
tolvi=$!
pids+=("$tolvi")
# The first start asks its welcome question (a narrower "Tolvi 1.91"): "OK".
wait_for 30 window_shown || fail "no window appeared"
if ! main_window_shown; then
  question=$(windows | head -n1)
  xdotool windowfocus --sync "$question" key --window "$question" Tab
  sleep 0.3
  xdotool key --window "$question" space
fi
wait_for 30 main_window_shown || fail "the main window did not appear"
# The phrases come from the package's share/tolvi.
wait_for 10 test -s "$work/data/Text.txt" || fail "the program did not find Text.txt"
kill -TERM "$tolvi"
status=0
wait "$tolvi" || status=$?
[ "$status" -eq 0 ] || fail "tolvi ended with status $status after SIGTERM"
[ -f "$work/data/dTolvi.dat" ] || fail "no dTolvi.dat after SIGTERM"
echo "package check: passed"
