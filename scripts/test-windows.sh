#!/usr/bin/env bash
# Cross-builds the Windows programs and runs them under Wine: every core and
# Windows-port test in one tolvi_tests.exe process (Wine takes seconds to
# start each process), then every tolvi-sim scenario through tolvi-sim.exe,
# then tolvi.exe itself end to end on files written by the Linux tolvi-sim
# (tests/e2e/wine_e2e.sh, under Xvfb), with the installer.
# Wine gets a fresh prefix in a temporary folder, removed afterwards.
#   test-windows.sh [DIR]   (the build folder, default build-windows)
# The Linux tolvi-sim is $TOLVI_LINUX_SIM, or one of the Linux builds of
# scripts/test.sh, or else built here in DIR-host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build-windows}
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac
start=$(date +%s)

"$root/scripts/build-windows.sh" "$dir"

work=$(mktemp -d)
display_pid=""
trap 'wineserver -k >/dev/null 2>&1 || true; [ -z "$display_pid" ] || kill "$display_pid" 2>/dev/null || true
      rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
echo "Wine prefix ready after $(($(date +%s) - start)) s"

# Wine takes its file-name encoding from the Unix locale (UTF-8 here) and
# gives the program English (United States). Run from the build folder, as
# ctest does: some tests find the source tree relative to it.
export LC_ALL=C.UTF-8
(cd "$dir" && wine tolvi_tests.exe --gtest_brief=1 2>&1) | tr -d '\r'
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { echo "tolvi_tests.exe failed under Wine (exit $status)" >&2; exit 1; }

# The dialogs, each opened on a fake core and driven from a second thread,
# on a virtual screen; a picture of each is kept in the build folder
# (dialog-shots/, PNG when ImageMagick is there).
shots="$dir/dialog-shots"
rm -rf "$shots" && mkdir -p "$shots"
# Windows need a Wine desktop started on the display: the dialogs get a
# wineserver of their own (the one before began without a display), and the
# console programs after them a fresh one again. Into a file, not a pipe: a
# wineserver started here would hold a pipe open.
shots_windows=$(winepath -w "$shots")
restart_wine() { wineserver -k >/dev/null 2>&1 || true; wineserver -w || true; }
restart_wine
status=0
# shellcheck source=scripts/lib/virtual_display.sh
. "$root/scripts/lib/virtual_display.sh"
start_virtual_display "$work" || { echo "Xvfb did not start (see $work/xvfb.log)" >&2; exit 1; }
(cd "$dir" && wine tolvi_dialog_smoke.exe "$shots_windows" >"$work/smoke.log" 2>&1) || status=$?
restart_wine
kill "$display_pid" 2>/dev/null || true
display_pid=""
unset DISPLAY
tr -d '\r' <"$work/smoke.log" | grep -v ':fixme:' || true
[ "$status" -eq 0 ] || { echo "tolvi_dialog_smoke.exe failed under Wine (exit $status)" >&2; exit 1; }
if command -v convert >/dev/null; then
  for picture in "$shots"/*.bmp; do convert "$picture" "${picture%.bmp}.png" && rm "$picture"; done
fi

# The scenario runner sees the Wine program as a plain command; its console
# output loses the "\r" Windows adds to each line (the data files do not
# get one: they are written in binary mode).
cat > "$work/tolvi-sim" <<SIM
#!/usr/bin/env bash
errors=\$(mktemp)
wine "$dir/tolvi-sim.exe" "\$@" 2>"\$errors" | tr -d '\r'
status=\${PIPESTATUS[0]}
tr -d '\r' <"\$errors" >&2
rm -f "\$errors"
exit "\$status"
SIM
chmod +x "$work/tolvi-sim"
failed=0
for script in "$root"/tests/scenarios/*.sim; do
  "$root/tests/scenarios/run_scenario.sh" "$work/tolvi-sim" "$script" || failed=$((failed + 1))
done
[ "$failed" -eq 0 ] || { echo "$failed scenarios failed under Wine" >&2; exit 1; }
echo "Scenarios done after $(($(date +%s) - start)) s"

linux_sim=${TOLVI_LINUX_SIM:-}
for candidate in "$root/build-release/tolvi-sim" "$root/build-asan/tolvi-sim"; do
  [ -z "$linux_sim" ] && [ -x "$candidate" ] && linux_sim=$candidate
done
if [ -z "$linux_sim" ]; then
  cmake -S "$root" -B "$dir-host" -DCMAKE_BUILD_TYPE=Release -DTOLVI_BUILD_GUI=OFF \
    -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF >/dev/null
  cmake --build "$dir-host" -j"$(nproc)" --target tolvi-sim >/dev/null
  linux_sim="$dir-host/tolvi-sim"
fi
"$root/tests/e2e/wine_e2e.sh" "$dir" "$linux_sim" "$dir/e2e-images" \
  "$root/dist/Tolvi-1.91-setup.exe"
echo "Windows pass: $(($(date +%s) - start)) s (screenshots in $dir/e2e-images)"
