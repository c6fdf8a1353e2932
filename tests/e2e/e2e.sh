#!/usr/bin/env bash
# End-to-end checks of the built desktop program on a private X server.
#
#   e2e.sh TOLVI ARTIFACT_DIR CASE
#
# Each case starts its own Xvfb (and trayer where a tray is wanted), runs
# tolvi with a temporary data directory, home and runtime directory, drives
# it with xdotool and checks what it leaves on disk. Screenshots go to
# ARTIFACT_DIR. Exit status 0 when the case passed.
set -euo pipefail

# shellcheck source=scripts/lib/virtual_display.sh
. "$(dirname "$0")/../../scripts/lib/virtual_display.sh"

tolvi=$1
artifacts=$2
case_name=$3

work=$(mktemp -d)
pids=()
# Where the program under test keeps its data, and how it is told so.
data="$work/data"
data_args=(--data-dir "$data")
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work" ${sway_run:+"$sway_run"}
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/tolvi.log" ] && sed 's/^/  tolvi: /' "$work/tolvi.log" | grep -v ALSA >&2 || true
  exit 1
}

start_display() {
  start_virtual_display "$work" || fail "Xvfb did not start"
  pids+=("$display_pid")
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
  export XDG_DATA_HOME="$work/home/.local/share" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
  unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
  mkdir -p "$HOME"
}

start_tray_here() {
  start_tray "$work"
  pids+=("$tray_pid")
}

# Starts tolvi on the data directory; its pid in $tolvi_pid.
start_tolvi() {
  "$tolvi" "${data_args[@]}" >>"$work/tolvi.log" 2>&1 &
  tolvi_pid=$!
  pids+=("$tolvi_pid")
}

visible_windows() { xdotool search --onlyvisible --name '^Tolvi 1\.91$' 2>/dev/null; }
has_visible_window() { [ -n "$(visible_windows)" ]; }
window_width() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }
main_window_shown() {
  local w
  for w in $(visible_windows); do [ "$(window_width "$w")" = 420 ] && return 0; done
  return 1
}

# The first start asks its welcome question before anything else; "OK".
answer_welcome() {
  wait_for 20 has_visible_window || fail "no welcome question"
  local question
  question=$(visible_windows | head -n1)
  [ "$(window_width "$question")" != 420 ] || fail "the main window came before the question"
  [ ! -e "$data/dTolvi.dat" ] || fail "dTolvi.dat written before the question"
  xdotool windowfocus --sync "$question" key --window "$question" Tab
  sleep 0.3
  xdotool key --window "$question" space
}

# Sends a signal and waits for a clean end; checks the saved data file.
stop_with() {
  local signal=$1 status=0
  local file="$data/dTolvi.dat"
  local before=0
  [ -f "$file" ] && before=$(stat -c %.9Y "$file" | tr -d .)
  kill "-$signal" "$tolvi_pid"
  wait_for 15 bash -c "! kill -0 $tolvi_pid 2>/dev/null" || fail "no exit after SIG$signal"
  wait "$tolvi_pid" || status=$?
  [ "$status" -eq 0 ] || fail "exit status $status after SIG$signal"
  [ -f "$file" ] || fail "no dTolvi.dat after SIG$signal"
  [ "$(stat -c %s "$file")" -eq 6508 ] || fail "dTolvi.dat has the wrong size"
  [ "$(head -c 8 "$file")" = "TOLV1320" ] || fail "dTolvi.dat has the wrong magic"
  [ "$(stat -c %.9Y "$file" | tr -d .)" -gt "$before" ] ||
    fail "dTolvi.dat was not saved at SIG$signal"
}

first_start_and_screenshot() {
  start_display
  start_tray_here
  start_tolvi
  answer_welcome
  wait_for 20 test -f "$data/TlvDB.lbf" || fail "no TlvDB.lbf"
  wait_for 20 test -f "$data/Text.txt" || fail "no Text.txt"
  wait_for 20 main_window_shown || fail "no main window"
  sleep 8  # past the first ticks, so the figures run
  mkdir -p "$artifacts"
  import -window root "$artifacts/e2e_main_window.png"
  echo "screenshot: $artifacts/e2e_main_window.png"
  stop_with TERM
}

second_copy_gives_way() {
  start_display
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  local first=$tolvi_pid started=$SECONDS status=0
  "$tolvi" "${data_args[@]}" >>"$work/tolvi.log" 2>&1 || status=$?
  local took=$((SECONDS - started))
  [ "$status" -eq 0 ] || fail "the second copy ended with status $status"
  [ "$took" -ge 4 ] && [ "$took" -le 9 ] || fail "the second copy took ${took} s to give way"
  kill -0 "$first" || fail "the first copy ended"
  [ "$(visible_windows | wc -l)" -eq 1 ] || fail "the second copy showed a window"
  stop_with TERM
}

signals_save_and_exit() {
  start_display
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  stop_with TERM
  local signal
  for signal in HUP INT; do
    start_tolvi
    wait_for 20 main_window_shown || fail "no main window before SIG$signal"
    sleep 1
    stop_with "$signal"
  done
}

# A desktop without a tray: the window shows even when AutoShow is off.
no_tray_shows_the_window() {
  start_display
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  stop_with TERM
  # AutoShow (offset 16 of the block, after the 8-byte magic) := 0.
  printf '\0\0\0\0' | dd of="$data/dTolvi.dat" bs=1 seek=24 conv=notrunc status=none
  start_tolvi
  wait_for 20 main_window_shown || fail "no window without a tray"
  stop_with TERM
  start_tray_here
  start_tolvi
  sleep 4
  ! main_window_shown || fail "the window showed although a tray exists and AutoShow is off"
  stop_with TERM
}

# Version and help need no display; an unknown option is refused.
command_line() {
  local out status=0
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tolvi" --version) || fail "--version failed"
  [ "$out" = "Tolvi 1.91" ] || fail "--version said '$out'"
  env -u DISPLAY -u WAYLAND_DISPLAY "$tolvi" --help | grep -- '--data-dir DIR' >/dev/null ||
    fail "--help does not list --data-dir"
  start_display
  "$tolvi" --no-such-option >/dev/null 2>&1 || status=$?
  [ "$status" -eq 2 ] || fail "an unknown option ended with status $status"
}

# A session bus of the case's own, for the remote controls.
start_bus() {
  dbus-daemon --session --nofork --nopidfile --print-address=9 9>"$work/bus" \
    >"$work/bus.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$work/bus" || fail "dbus-daemon did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

mode_is() { "$tolvi" --status --json | grep -F "\"mode\":\"$1\"" >/dev/null; }

# Every control answers 1 at once while no copy runs, and starts none.
controls_fail_fast() {
  local option status started
  for option in --status --working --break --meeting "--watch --json"; do
    status=0
    started=$(date +%s%N)
    # shellcheck disable=SC2086
    "$tolvi" $option >/dev/null 2>"$work/control.err" || status=$?
    [ "$status" -eq 1 ] || fail "$option without a running copy ended with $status"
    [ $(($(date +%s%N) - started)) -lt 1000000000 ] || fail "$option took a second or more"
    grep -q 'not running' "$work/control.err" || fail "$option did not say why"
  done
  ! has_visible_window || fail "a control option started the program"
}

# The status and mode options reach the running copy over the bus.
remote_control() {
  start_display
  start_bus
  controls_fail_fast
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  wait_for 10 "$tolvi" --status >/dev/null 2>&1 || fail "--status never reached the copy"
  "$tolvi" --status --json | grep -E '^\{"mode":"[A-Za-z ]+",.*"work_today_seconds":[0-9]+,' \
    >/dev/null || fail "--status --json gave no status object"
  "$tolvi" --watch --json >"$work/watch.out" 2>&1 &
  pids+=($!)
  "$tolvi" --watch --format waybar >"$work/waybar.out" 2>&1 &
  pids+=($!)
  wait_for 5 test -s "$work/watch.out" || fail "--watch printed nothing at start"
  "$tolvi" --break || fail "--break failed"
  mode_is "On Break" || fail "--break did not switch to On Break"
  wait_for 5 grep -q '"mode":"On Break"' "$work/watch.out" || fail "--watch missed the change"
  wait_for 5 grep -q '"class":"on-break"' "$work/waybar.out" || fail "the waybar watch missed it"
  "$tolvi" --working || fail "--working failed"
  mode_is "Working" || fail "--working did not switch to Working"
  "$tolvi" --status | grep -q '^Time until break: ' || fail "--status does not show the countdown"
  # The export reads beside the running copy and leaves the files as they were.
  local before
  before=$(ls -l --time-style=+%s.%N "$data")
  "$tolvi" --export csv "${data_args[@]}" | grep -q '^New Work,,18000,' ||
    fail "--export csv does not list the work types"
  "$tolvi" --export json "${data_args[@]}" | grep -q '^{"work_types":\[$' ||
    fail "--export json gave no object"
  [ "$(ls -l --time-style=+%s.%N "$data")" = "$before" ] || fail "--export changed the data folder"
  stop_with TERM
  controls_fail_fast
}

# A running copy left alone for a minute announces only what a status bar
# would show differently: the countdown's minute, never every pass.
idle_minute_signals() {
  start_display
  start_bus
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  wait_for 10 "$tolvi" --status >/dev/null 2>&1 || fail "--status never reached the copy"
  dbus-monitor --session "type='signal',path='/org/drovik/tolvi',member='PropertiesChanged'" \
    >"$work/signals.log" 2>&1 &
  local monitor=$!
  pids+=("$monitor")
  sleep 60
  kill "$monitor"
  local count
  count=$(grep -c 'member=PropertiesChanged' "$work/signals.log" || true)
  echo "PropertiesChanged over an idle minute: $count"
  [ "$count" -le 2 ] || fail "$count PropertiesChanged signals in an idle minute"
  stop_with TERM
}

# The built program keeps its data in the user's data folder, not in the
# build tree.
build_tree_uses_the_user_data_folder() {
  start_display
  data="$XDG_DATA_HOME/Drovik/Tolvi"
  data_args=()
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  stop_with TERM
}

# Reads a little-endian u32 of dTolvi.dat at a byte offset.
data_u32() {
  od -An -tu4 -j "$1" -N4 "$work/data/dTolvi.dat" | tr -d ' '
}
# Writes one.
set_data_u32() {
  local value=$1 offset=$2 bytes
  bytes=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((value & 255)) $(((value >> 8) & 255)) \
    $(((value >> 16) & 255)) $(((value >> 24) & 255)))
  printf "$bytes" | dd of="$work/data/dTolvi.dat" bs=1 seek="$offset" conv=notrunc status=none
}
readonly kAwayTimeOffset=36 kAwayTodayOffset=56

skip() {
  echo "SKIP: $*"
  exit 77
}

# A headless sway (as nobody: it refuses root) with a private runtime
# directory and $1 outputs (default 1) side by side; exports WAYLAND_DISPLAY
# as the full path of its socket.
start_sway() {
  local outputs=${1:-1} n
  local tool
  for tool in sway runuser wtype; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
  id nobody >/dev/null 2>&1 || skip "no user nobody to run sway as"
  compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
    skip "Qt's Wayland platform (qt6-wayland) is not installed"
  sway_run=$(mktemp -d)
  for n in $(seq "$outputs"); do
    printf 'output HEADLESS-%d resolution 1280x800 position %d 0\n' "$n" $(((n - 1) * 1280))
  done >"$sway_run/config"
  chmod 644 "$sway_run/config"
  chown nobody "$sway_run" && chmod 700 "$sway_run"
  runuser -u nobody -- env -i PATH="$PATH" XDG_RUNTIME_DIR="$sway_run" WLR_BACKENDS=headless \
    WLR_HEADLESS_OUTPUTS="$outputs" WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$sway_run/config" \
    >"$work/sway.log" 2>&1 &
  pids+=($!)
  local socket=""
  for _ in $(seq 50); do
    socket=$(find "$sway_run" -maxdepth 1 -name 'wayland-*' -type s | head -n1)
    [ -n "$socket" ] && break
    sleep 0.2
  done
  [ -n "$socket" ] || { sed 's/^/  sway: /' "$work/sway.log" >&2; skip "sway did not start"; }
  export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland
  unset DISPLAY
}

# On a real compositor, with an AwayTime of one minute: a key every few
# seconds keeps the user working; then 100 s without input book away time.
wayland_idle_books_away() {
  start_display
  start_tolvi
  answer_welcome
  wait_for 20 main_window_shown || fail "no main window"
  stop_with TERM
  set_data_u32 60000 $kAwayTimeOffset
  set_data_u32 0 $kAwayTodayOffset
  start_sway
  start_tolvi
  wait_for 20 grep -q "idle time from the Wayland" "$work/tolvi.log" ||
    fail "no Wayland idle source chosen"
  # 30 s of keys, then 75 s without: Away starts 60 s into the quiet spell
  # and takes those 60 s with it (about 75 s booked); had the keys gone
  # unseen, it would have counted from the start (105 s and more).
  local until=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$until" ]; do
    WAYLAND_DISPLAY=$WAYLAND_DISPLAY wtype -k F24 || fail "wtype failed"
    sleep 4
  done
  sleep 75
  stop_with TERM
  local away
  away=$(data_u32 $kAwayTodayOffset)
  echo "away booked: $away ms"
  [ "$away" -ge 60000 ] || fail "no away time booked after 75 s without input ($away ms)"
  [ "$away" -le 90000 ] || fail "away time booked while keys were pressed ($away ms)"
}

# The lock's own test program (in place of tolvi) on a sway with two
# outputs: a cover on each, and the answer takes them away.
wayland_lock_covers_both_outputs() {
  start_sway 2
  mkdir -m 700 "$work/runtime"
  XDG_RUNTIME_DIR="$work/runtime" TOLVI_EXPECT_SCREENS=2 "$tolvi" \
    OnWaylandEveryScreenHasItsOwnCoverAndTheAnswerReleasesThem >"$work/tolvi.log" 2>&1 ||
    fail "the lock test failed on sway"
  grep -q "^PASS   : .*OnWaylandEveryScreen" "$work/tolvi.log" || fail "the lock test did not run"
}

case "$case_name" in
  first_start) first_start_and_screenshot ;;
  second_copy) second_copy_gives_way ;;
  signals) signals_save_and_exit ;;
  no_tray) no_tray_shows_the_window ;;
  command_line) command_line ;;
  build_tree_data) build_tree_uses_the_user_data_folder ;;
  remote_control) remote_control ;;
  idle_minute_signals) idle_minute_signals ;;
  wayland_idle) wayland_idle_books_away ;;
  wayland_lock) wayland_lock_covers_both_outputs ;;
  *) fail "unknown case $case_name" ;;
esac
echo "PASS: $case_name"
