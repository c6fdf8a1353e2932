#!/usr/bin/env bash
# End to end under Wine and Xvfb: tolvi.exe starts on data files written by
# the Linux tolvi-sim, shows its main window, lets a second copy give way,
# saves and ends on WM_CLOSE (taskkill without /F), and leaves files that the
# Linux tolvi-sim reads back with every setting as it was.
#   wine_e2e.sh WINDOWS_BUILD_DIR LINUX_TOLVI_SIM [IMAGE_DIR [SETUP_EXE]]
# IMAGE_DIR, when given (not empty), receives windows-main-window.png,
# windows-menu.png and windows-tray-menu.png. SETUP_EXE, when given, is installed silently and
# uninstalled again: the program goes, the user's data stays.
# Uses the caller's WINEPREFIX (a fresh one is made when none is set).
set -euo pipefail
exe=$(realpath "$1/tolvi.exe")
sim=$(realpath "$2")
images=${3:-}
setup=${4:+$(realpath "$4")}
work=$(mktemp -d)
display_pid=""
tolvi_pid=""
cleanup() {
  [ -n "$tolvi_pid" ] && kill "$tolvi_pid" 2>/dev/null || true
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "wine e2e: $*" >&2; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$work/prefix"
  wineboot -i >/dev/null 2>&1
fi

# A display of its own.
# shellcheck source=scripts/lib/virtual_display.sh
. "$(dirname "$0")/../../scripts/lib/virtual_display.sh"
start_virtual_display "$work" 1024x768 || fail "Xvfb did not start"
# Wine's desktop lives as long as its server and keeps the display it was
# started with (none, after wineboot): a new server takes this one.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

# The Linux build's files, for today, with settings that differ from the
# defaults so that a lost setting shows.
mkdir -p "$work/data"
now=$(date '+%Y-%m-%d %H:%M:%S')
printf 'clock %s\nanswer 1\nstart\nset BreakInterval 1234000\nset WindowAlpha 200\nset AutoShow 1\nset ConfirmQuit 0\ncommand 2008\nrun 2m\nstop\n' \
  "$now" > "$work/make.sim"
"$sim" --data-dir "$work/data" "$work/make.sim" >/dev/null
cp -r "$work/data" "$work/before"
windows_data=$(winepath -w "$work/data" 2>/dev/null)

wine "$exe" --data-dir "$windows_data" >"$work/first.out" 2>&1 &
tolvi_pid=$!
window=""
for _ in $(seq 120); do
  window=$(xdotool search --name '^Tolvi 1\.91$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  kill -0 "$tolvi_pid" 2>/dev/null || fail "tolvi.exe ended at start: $(cat "$work/first.out")"
  sleep 0.5
done
if [ -z "$window" ]; then
  [ -n "$images" ] && mkdir -p "$images" && import -window root "$images/no-window.png"
  fail "no main window after 60 s (the screen is in ${images:-no image})"
fi
sleep 3  # the monitor's first pass fills the window

if [ -n "$images" ]; then
  mkdir -p "$images"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$images/windows-main-window.png"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
  sleep 2
  import -window root -crop "$((WIDTH + 200))x$((HEIGHT + 120))+${X}+${Y}" +repage \
    "$images/windows-menu.png"
  xdotool key Escape
  sleep 1
  # Without a window manager Wine shows the tray as a window of its own.
  tray=$(xdotool search --name '^Wine System Tray$' 2>/dev/null | head -n1 || true)
  if [ -n "$tray" ]; then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    xdotool mousemove $((X + 10)) $((Y + HEIGHT / 2))
    sleep 0.5
    xdotool click 3
    sleep 2
    import -window root -crop 240x200+0+0 +repage "$images/windows-tray-menu.png"
    xdotool key Escape
    sleep 1
  fi
fi

# A second copy finds the first one's mutex, tries again after 5 s and ends.
start=$(date +%s)
timeout 60 wine "$exe" --data-dir "$windows_data" >/dev/null 2>&1 || fail "the second copy failed"
[ $(($(date +%s) - start)) -lt 60 ] || fail "the second copy did not give way"
kill -0 "$tolvi_pid" 2>/dev/null || fail "the first copy ended when the second started"

# The command line's controls reach the running copy through its pipe.
line=$(timeout 60 wine "$exe" --status --json 2>"$work/remote.err" | tr -d '\r') ||
  fail "--status --json failed: $(cat "$work/remote.err")"
case "$line" in '{"mode":"'*'"tooltip":"'*'"}') ;; *) fail "--status --json printed: $line" ;; esac
timeout 60 wine "$exe" --meeting 2>"$work/remote.err" || fail "--meeting failed: $(cat "$work/remote.err")"
# The command is carried out by the running copy after the answer.
shown=""
for _ in $(seq 20); do
  line=$(timeout 60 wine "$exe" --status 2>/dev/null | tr -d '\r' || true)
  case "$line" in *[Mm]eeting*) shown=yes; break ;; esac
  sleep 0.5
done
[ -n "$shown" ] || fail "--status after --meeting printed: $line"
timeout 60 wine "$exe" --work-type "No Such Type" >/dev/null 2>&1 &&
  fail "an unknown work type was accepted"

# WM_CLOSE from outside: the program saves and ends by itself.
ended=""
for _ in $(seq 6); do
  wine taskkill /IM tolvi.exe >/dev/null 2>&1 || true
  for _ in $(seq 20); do
    kill -0 "$tolvi_pid" 2>/dev/null || { ended=yes; break; }
    sleep 0.5
  done
  [ -n "$ended" ] && break
done
[ -n "$ended" ] || fail "tolvi.exe did not end on WM_CLOSE"
wait "$tolvi_pid" || fail "tolvi.exe ended with status $?"
tolvi_pid=""

# Saved: the counted time moved on, the size and every setting stayed.
for file in dTolvi.dat TlvDB.lbf; do
  [ -f "$work/data/$file" ] || fail "$file is gone"
  [ "$(stat -c %s "$work/data/$file")" = "$(stat -c %s "$work/before/$file")" ] ||
    fail "$file changed its size"
done
cmp -s "$work/data/dTolvi.dat" "$work/before/dTolvi.dat" && fail "dTolvi.dat was not saved"
printf 'clock %s\nstart\nshow BreakInterval\nshow WindowAlpha\nshow AutoShow\nshow ConfirmQuit\nshow DayOfMonth\nshow TodayText\nshow TotalDays\nshow CurrentName\n' \
  "$now" > "$work/read.sim"
"$sim" --data-dir "$work/before" "$work/read.sim" | grep '=' > "$work/before.txt"
"$sim" --data-dir "$work/data" "$work/read.sim" | grep '=' > "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "a setting changed under Windows"
grep -q '^BreakInterval=1234000$' "$work/after.txt" || fail "the settings were not read"

# With no running copy a control says so and fails at once, without
# waiting for one or starting one.
start=$(date +%s)
timeout 60 wine "$exe" --status >/dev/null 2>"$work/remote.err" && fail "--status with no copy succeeded"
grep -q 'not running' "$work/remote.err" || fail "--status with no copy said: $(cat "$work/remote.err")"
[ $(($(date +%s) - start)) -lt 5 ] || fail "--status with no copy took $(($(date +%s) - start)) s"
[ -z "$(xdotool search --name '^Tolvi 1\.91$' 2>/dev/null || true)" ] || fail "--status started a copy"

# The export needs no running copy and prints the same bytes as the Linux
# build (CSV lines end in CR LF; nothing is translated on the way out).
timeout 60 wine "$exe" --data-dir "$windows_data" --export csv >"$work/export.csv" ||
  fail "--export csv failed"
linux_tolvi="$(dirname "$sim")/tolvi"
if [ -x "$linux_tolvi" ]; then
  "$linux_tolvi" --data-dir "$work/data" --export csv >"$work/linux.csv" || fail "the Linux export failed"
  cmp "$work/linux.csv" "$work/export.csv" || fail "the Windows export differs from the Linux one"
  timeout 60 wine "$exe" --data-dir "$windows_data" --export json >"$work/export.json" ||
    fail "--export json failed"
  "$linux_tolvi" --data-dir "$work/data" --export json >"$work/linux.json"
  cmp "$work/linux.json" "$work/export.json" || fail "the JSON exports differ"
else
  head -n1 "$work/export.csv" | grep -q $'^work_type,notes,.*total_seconds\r$' ||
    fail "--export csv printed no header: $(head -c 200 "$work/export.csv")"
  grep -q $'^date,work_seconds,break_seconds,away_seconds.*\r$' "$work/export.csv" ||
    fail "--export csv has no day table"
  grep -qv $'\r$' "$work/export.csv" && fail "--export csv has a line without CR LF"
fi
if [ -n "$setup" ]; then
  installed="$WINEPREFIX/drive_c/Program Files/Tolvi"
  wine "$setup" /S
  for file in tolvi.exe Text.txt ReadMe.htm DefSet.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
  done
  menu_entry=$(find "$WINEPREFIX/drive_c/users" -name Tolvi.lnk | head -n1)
  [ -n "$menu_entry" ] || fail "the installer made no Start-menu entry"
  user_data="$(dirname "$(dirname "$(dirname "$(dirname "$(dirname "$menu_entry")")")")")/Drovik/Tolvi"
  mkdir -p "$user_data"
  cp "$work/data/dTolvi.dat" "$user_data/"
  wine "$installed/Uninstall.exe" /S
  # The uninstaller runs from a copy of itself, after this call returns.
  for _ in $(seq 60); do [ -e "$installed/tolvi.exe" ] || break; sleep 0.5; done
  [ ! -e "$installed/tolvi.exe" ] || fail "the uninstaller left tolvi.exe"
  [ ! -e "$menu_entry" ] || fail "the uninstaller left the Start-menu entry"
  cmp -s "$work/data/dTolvi.dat" "$user_data/dTolvi.dat" || fail "the uninstaller touched the data"
fi
echo "wine e2e: passed"
