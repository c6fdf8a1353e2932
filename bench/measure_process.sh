#!/usr/bin/env bash
# Whole-process figures of the desktop program idling under Xvfb:
#
#   bench/measure_process.sh [TOLVI] [MINUTES]
#
# TOLVI defaults to build/tolvi, MINUTES (the idle measure) to 3. The
# script starts its own Xvfb with trayer as the tray, prepares a data
# directory (a first start, its welcome answered), then times a second
# start to the main window and lets the program idle. It prints:
#   - launch to main window: from exec to the 420-pixel window being mapped;
#   - RSS and PSS after the idle time (/proc/PID/smaps_rollup);
#   - CPU seconds per hour: user + system time over the idle time, scaled;
#   - wake-ups per minute: voluntary context switches of all its threads
#     over the idle time (a thread that went to sleep and was woken);
#     preemptions by other processes are shown apart, as they depend on the
#     machine's load rather than on the program.
# A session bus of its own runs beside it (as on a desktop), so the
# program's bus interface is part of the figures; set TOLVI_MEASURE_NO_BUS=1
# to measure without one.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tolvi=${1:-$root/build/tolvi}
minutes=${2:-3}
[ -x "$tolvi" ] || { echo "no program at $tolvi (build it first)" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 1
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 9 -screen 0 1280x800x24 -noreset -nolisten tcp 9>"$work/display" \
  >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
mkdir -p "$HOME"
if [ -z "${TOLVI_MEASURE_NO_BUS:-}" ]; then
  dbus-daemon --session --nofork --nopidfile --print-address=9 9>"$work/bus" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS
fi
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1

main_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Tolvi 1\.91$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" | grep -q 'Geometry: 420x' && return 0
  done
  return 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# First start: the welcome question, then a clean end that writes the files.
"$tolvi" --data-dir "$work/data" >/dev/null 2>&1 &
pid=$!
pids+=("$pid")
for _ in $(seq 100); do
  w=$(xdotool search --onlyvisible --name '^Tolvi 1\.91$' 2>/dev/null | head -n1 || true)
  [ -n "$w" ] && break
  sleep 0.2
done
xdotool windowfocus --sync "$w" key --window "$w" Tab
sleep 0.3
xdotool key --window "$w" space
for _ in $(seq 100); do main_window && break; sleep 0.2; done
kill -TERM "$pid"
while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done

# The measured start.
start=$(now_ms)
"$tolvi" --data-dir "$work/data" >/dev/null 2>&1 &
pid=$!
pids+=("$pid")
until main_window; do sleep 0.01; done
launch_ms=$(($(now_ms) - start))
sleep 10  # past the start-up work

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
switches() {  # voluntary and nonvoluntary, over all threads
  cat /proc/"$pid"/task/*/status 2>/dev/null |
    awk '/^voluntary_ctxt_switches/ {v += $2} /^nonvoluntary_ctxt_switches/ {n += $2}
         END {print v, n}'
}
cpu_before=$(cpu_ticks)
read -r woken_before preempted_before < <(switches)
seconds=$((minutes * 60))
sleep "$seconds"
cpu_after=$(cpu_ticks)
read -r woken_after preempted_after < <(switches)
rss_kb=$(awk '/^Rss:/ {print $2}' "/proc/$pid/smaps_rollup")
pss_kb=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup")
threads=$(ls "/proc/$pid/task" | wc -l)

awk -v launch="$launch_ms" -v rss="$rss_kb" -v pss="$pss_kb" -v threads="$threads" \
  -v cpu=$((cpu_after - cpu_before)) -v hz="$ticks_per_second" -v secs="$seconds" \
  -v woken=$((woken_after - woken_before)) -v preempted=$((preempted_after - preempted_before)) \
  'BEGIN {
    printf "launch to main window   %d ms\n", launch
    printf "resident memory (RSS)   %.1f MiB\n", rss / 1024
    printf "proportional (PSS)      %.1f MiB\n", pss / 1024
    printf "threads                 %d\n", threads
    printf "CPU per hour idle       %.2f s  (%.2f s in %d s)\n", cpu / hz * 3600 / secs, cpu / hz, secs
    printf "wake-ups per minute     %.0f  (preempted %.0f times a minute besides)\n", woken * 60 / secs, preempted * 60 / secs
  }'
