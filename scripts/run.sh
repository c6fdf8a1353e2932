#!/usr/bin/env bash
# Installs what is missing, builds Tolvi and starts the desktop program:
#
#   scripts/run.sh [--data-dir DIR]
#
# With no display (a server, a container: neither DISPLAY nor
# WAYLAND_DISPLAY is set) it starts Tolvi on a virtual X display (Xvfb, with
# a tray from trayer), answers the first start's welcome question, saves a
# screenshot a few seconds after the start and says where; Ctrl+C ends
# Tolvi (which saves its data) and the virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
# A build directory of its own, so the test command's builds stay as they are.
# The built program keeps its data where an installed one does (the build
# puts "DefSet.txt" beside it): ~/.local/share/Drovik/Tolvi/.
build=build-run
scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVI_BUILD_TESTS=OFF \
  -DTOLVI_BUILD_BENCH=OFF

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/tolvi" "$@"
fi

echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set):"
echo "starting Tolvi on a virtual X display (Xvfb) so you can still see it run."

work=$(mktemp -d)
helpers=()
tolvi_pid=
finish() {
  trap - INT TERM EXIT
  # Tolvi saves its data when it is asked to end.
  if [ -n "$tolvi_pid" ] && kill -0 "$tolvi_pid" 2>/dev/null; then
    kill -TERM "$tolvi_pid"
    for _ in $(seq 150); do kill -0 "$tolvi_pid" 2>/dev/null || break; sleep 0.1; done
  fi
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish INT TERM EXIT

# The display and the tray get sessions of their own, so Ctrl+C reaches only
# Tolvi and this script and the display outlives Tolvi's save.
. "$root/scripts/lib/virtual_display.sh"
export VIRTUAL_DISPLAY_OWN_SESSION=1
start_virtual_display "$work" || { echo "Xvfb did not start (see $work/xvfb.log)" >&2; exit 1; }
helpers+=("$display_pid")
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
start_tray "$work"
helpers+=("$tray_pid")

"$build/tolvi" "$@" &
tolvi_pid=$!

# Nobody can answer the first start's welcome question on a virtual
# display: "OK" is chosen for you (its window is narrower than the main one).
mkdir -p out
sleep 3
for window in $(xdotool search --onlyvisible --name '^Tolvi 1\.91$' 2>/dev/null); do
  if ! xdotool getwindowgeometry "$window" | grep -q 'Geometry: 420x'; then
    import -window root out/tolvi-welcome.png
    echo "The welcome question (answered \"OK\"): $root/out/tolvi-welcome.png"
    xdotool windowfocus --sync "$window" key --window "$window" Tab
    sleep 0.3
    xdotool key --window "$window" space
  fi
done
sleep 8
import -window root out/tolvi-screenshot.png
echo "Screenshot of Tolvi running: $root/out/tolvi-screenshot.png"
echo "Tolvi runs on display $DISPLAY (pid $tolvi_pid). Press Ctrl+C to end it."
wait "$tolvi_pid" || true
tolvi_pid=
