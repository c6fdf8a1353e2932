#!/usr/bin/env bash
# Takes the pictures of the user guide and the README from the real program.
#
#   tools/screenshots.sh [BUILD_DIR]
#
# BUILD_DIR holds a built tolvi (with the desktop program) and tolvi-sim;
# without it the script builds both in build-screenshots/ first.
#
# tolvi-sim prepares a data directory with four days of work on five named
# work types (the last day is today, so starting Tolvi closes no day). Then
# tolvi runs on it under a private Xvfb with trayer as its tray, and the
# script writes into docs/images/, each cropped and reduced to 64 colours:
#
#   main-window.png  the main window while working
#   tray-menu.png    the tray menu beside its icon
#   options.png      the Options dialog
#   reminder.png     the break reminder (from a second run whose work time is
#                    5 minutes; the script keeps the pointer moving meanwhile,
#                    so a run takes about seven minutes)
#
# Finally the same PNGs are embedded into resources/ReadMe.htm as data: URIs:
# each <img data-image="NAME" ...> gets src="data:image/png;base64,..." of
# docs/images/NAME.png, so the guide stays one self-contained file. The
# README links the PNG files themselves.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
images="$root/docs/images"
guide="$root/resources/ReadMe.htm"

if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
else
  build="$root/build-screenshots"
  "$root/scripts/install-deps.sh"
  "$root/scripts/build.sh" build-screenshots -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOLVI_BUILD_GUI=ON -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF
fi
tolvi="$build/tolvi"
sim="$build/tolvi-sim"
for program in "$tolvi" "$sim"; do
  [ -x "$program" ] || { echo "screenshots: no $program" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
tolvi_pid=
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "screenshots: $*" >&2
  if [ -f "$work/tolvi.log" ]; then
    sed 's/^/  tolvi: /' "$work/tolvi.log" | grep -v ALSA >&2 || true
  fi
  exit 1
}

. "$root/scripts/lib/virtual_display.sh"

# The private session: the sim's dates are UTC, so the program's are too.
export TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# --- The data: four days of work, the last one today ------------------------

day() { date -u -d "$1 days ago" +%F; }

# One working day: hours on Website, then on the others in turn.
work_day() {
  local website=$1 calls=$2 email=$3 design=$4
  cat <<EOF
command 2008
dialog 0s 0
command 2016
run ${website}m
command 2007
run 15m
command 2008
dialog 0s 1
command 2016
run ${calls}m
inactive
run 40m
active
dialog 0s 2
command 2016
run ${email}m
dialog 0s 3
command 2016
run ${design}m
command 2007
run 10m
command 2008
dialog 0s 4
command 2016
run 25m
dialog 0s 0
command 2016
run 30m
EOF
}

# The sim script: the welcome question, the work types' names, three whole
# days and today's morning; then the lines in $1 set the options to save.
sim_script() {
  cat <<EOF
clock $(day 3) 08:30:00
answer 1
start
set ReminderEnabled 0
rename 0 Website
rename 1 Customer calls
rename 2 Email
rename 3 Design review
rename 4 Planning
EOF
  work_day 120 90 45 110
  echo "command 2007"
  echo "sleep 870m"
  work_day 150 60 35 95
  echo "command 2007"
  echo "sleep 840m"
  work_day 100 120 50 80
  echo "command 2007"
  echo "sleep 885m"
  cat <<EOF
command 2008
dialog 0s 3
command 2016
run 95m
dialog 0s 2
command 2016
run 30m
command 2007
run 12m
command 2008
dialog 0s 0
command 2016
run 70m
set ReminderEnabled 1
set AutoBegin 1
$1
stop
EOF
}

prepare_data() {
  local directory=$1 extra=$2
  sim_script "$extra" | "$sim" --data-dir "$directory" - >"$work/sim.log" 2>&1 ||
    { cat "$work/sim.log" >&2; fail "tolvi-sim could not prepare the data"; }
}

# --- The display ------------------------------------------------------------

start_display() {
  # A black root window (-br), so that crops show no stipple.
  start_virtual_display "$work" 1280x800 -br || fail "Xvfb did not start"
  start_tray "$work"
  pids+=("$display_pid" "$tray_pid")
}

start_tolvi() {
  "$tolvi" --data-dir "$1" >>"$work/tolvi.log" 2>&1 &
  tolvi_pid=$!
  pids+=("$tolvi_pid")
}

stop_tolvi() {
  kill -TERM "$tolvi_pid" 2>/dev/null || true
  wait_for 15 bash -c "! kill -0 $tolvi_pid 2>/dev/null" || fail "tolvi did not end"
}

visible() { xdotool search --onlyvisible "$@" 2>/dev/null || true; }
width_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'; }

# The main window is the 420-pixel wide "Tolvi 1.91"; a question is narrower.
# (A title may end in the application's name, as " — Tolvi".)
find_window() {
  local want=$1 w
  for w in $(visible --name '^Tolvi 1\.91'); do
    if [ "$want" = main ] && [ "$(width_of "$w")" = 420 ]; then echo "$w" && return 0; fi
    if [ "$want" = question ] && [ "$(width_of "$w")" != 420 ]; then echo "$w" && return 0; fi
  done
  return 1
}

# Prints "X Y W H" of a window.
geometry_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# Writes a PNG of 64 colours at most, undithered (dots would not compress).
save_png() {
  convert "$1" -strip +dither -colors 64 -define png:compression-level=9 "PNG8:$images/$2.png"
  echo "$images/$2.png: $(stat -c %s "$images/$2.png") bytes"
}

shoot_window() {
  import -window "$1" "$work/shot.png"
  save_png "$work/shot.png" "$2"
}

# The tray icon sits in trayer's window; the menu opens beside it.
tray_window() { visible --class trayer | head -n1; }

open_tray_menu() {
  local tray x y w h
  tray=$(tray_window)
  [ -n "$tray" ] || fail "no tray"
  read -r x y w h < <(geometry_of "$tray")
  windows_before=$(visible --class tolvi)
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
  sleep 1
}

# The popup is the window of Tolvi that the click brought up.
menu_window() {
  local w
  for w in $(visible --class tolvi); do
    grep -qx "$w" <<<"$windows_before" || { echo "$w" && return 0; }
  done
  return 1
}

# The menu and the tray together, with a margin.
shoot_tray_menu() {
  local menu tray mx my mw mh tx ty tw th left top right bottom
  menu=$(menu_window) || fail "the tray menu did not open"
  tray=$(tray_window)
  read -r mx my mw mh < <(geometry_of "$menu")
  read -r tx ty tw th < <(geometry_of "$tray")
  left=$(( (mx < tx ? mx : tx) - 8 )); top=$((my < ty ? my : ty))
  right=$(( (mx + mw > tx + tw ? mx + mw : tx + tw) + 8 ))
  bottom=$(( (my + mh > ty + th ? my + mh : ty + th) + 8 ))
  [ "$left" -ge 0 ] || left=0
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "$work/shot.png"
  save_png "$work/shot.png" tray-menu
}

# --- The pictures -----------------------------------------------------------

mkdir -p "$images"
start_display

# First run: the options as they come, working on Website.
prepare_data "$work/data" ""
start_tolvi "$work/data"
wait_for 30 find_window main >/dev/null || fail "no main window"
main=$(find_window main)
sleep 8 # past the first ticks, so the figures run
shoot_window "$main" main-window

open_tray_menu
shoot_tray_menu
# The last entries are "Options..." and "Exit": Up selects Exit, Up again
# Options...
xdotool key Up Up Return
wait_for 10 bash -c "xdotool search --onlyvisible --name '^Tolvi Options' >/dev/null" ||
  fail "the Options dialog did not open"
sleep 1
shoot_window "$(visible --name '^Tolvi Options' | head -n1)" options
stop_tolvi

# Second run: a work time of 5 minutes brings the reminder; moving the
# pointer keeps the user from being counted away meanwhile.
prepare_data "$work/data2" "set BreakInterval 300000"
start_tolvi "$work/data2"
wait_for 30 find_window main >/dev/null || fail "no main window in the second run"
deadline=$((SECONDS + 420))
until find_window question >/dev/null; do
  [ "$SECONDS" -lt "$deadline" ] || fail "no break reminder after seven minutes"
  xdotool mousemove_relative -- 1 0 mousemove_relative -- -1 0
  sleep 5
done
sleep 1
shoot_window "$(find_window question)" reminder
stop_tolvi

# --- The guide --------------------------------------------------------------

python3 - "$guide" "$images" <<'EOF'
import base64, pathlib, re, sys
guide, images = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
text = guide.read_text(encoding="utf-8")
def embed(match):
    data = base64.b64encode((images / (match.group(2) + ".png")).read_bytes()).decode()
    return match.group(1) + "data:image/png;base64," + data + match.group(3)
text, count = re.subn(r'(<img data-image="([a-z-]+)"[^>]*? src=")[^"]*(")', embed, text)
guide.write_text(text, encoding="utf-8")
print(f"{guide}: {count} pictures embedded, {guide.stat().st_size} bytes")
EOF
