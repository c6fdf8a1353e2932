# shellcheck shell=bash disable=SC2034  # display_pid and tray_pid are for the caller
# The private X display (and tray) that the scripts running Tolvi without a
# screen share: the end-to-end tests, the package check, the screenshots and
# run.sh on a machine with no display. Sourced, not run.
#
#   wait_for SECONDS COMMAND...
#       runs COMMAND every 0.2 s until it succeeds; status 1 after SECONDS.
#   start_virtual_display DIR [SIZE [XVFB_OPTION...]]
#       starts Xvfb on a free display number with a SIZE screen (default
#       1280x800, 24-bit), waits until it answers and exports DISPLAY. Its
#       pid is in $display_pid; the caller stops it. Status 1 when it did not
#       start (its log is DIR/xvfb.log).
#   start_tray DIR
#       starts trayer as the notification area at the top right; pid in
#       $tray_pid.
# With VIRTUAL_DISPLAY_OWN_SESSION=1 both run in sessions of their own, so
# that Ctrl+C in a terminal reaches only the program and not its display.

wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

_virtual_display_launch() {
  if [ "${VIRTUAL_DISPLAY_OWN_SESSION:-0}" = 1 ]; then setsid "$@"; else "$@"; fi
}

start_virtual_display() {
  local dir=$1 size=${2:-1280x800}
  shift $(($# < 2 ? $# : 2))
  rm -f "$dir/display"
  _virtual_display_launch Xvfb -displayfd 9 -screen 0 "${size}x24" -noreset -nolisten tcp "$@" \
    9>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  display_pid=$!
  wait_for 10 test -s "$dir/display" || return 1
  DISPLAY=":$(head -n1 "$dir/display")"
  export DISPLAY
}

start_tray() {
  _virtual_display_launch trayer --edge top --align right --widthtype request --height 24 \
    --transparent false --tint 0x404040 >"$1/trayer.log" 2>&1 &
  tray_pid=$!
  sleep 1
}
