#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build
# and one under AddressSanitizer and UndefinedBehaviorSanitizer; then runs the
# fuzz targets briefly in a clang build, runs the Windows cross build's tests
# under Wine, and builds and checks the Debian package from the normal build. Each pass has its own build directory, and a
# pass that finds no tests fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)
# Each pass's heading says how long the command has run so far.
heading() { echo "== $* (at $((SECONDS / 60)) min $((SECONDS % 60)) s) =="; }

heading "sanitizer build (build-asan)"
# -O0 with line tables only: the sanitizers need no optimiser, and this pass
# compiles about twice as fast as an optimised one.
scripts/build.sh build-asan -DTOLVI_SANITIZE=ON -DTOLVI_WERROR=ON -DTOLVI_BUILD_BENCH=OFF \
  -DTOLVI_BUILD_TESTS=ON -DTOLVI_BUILD_GUI=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j"$jobs" -LE no_sanitize

heading "release build (build-release)"
# Configured as the package wants it (Release, /usr), so the package pass
# below reuses this tree without building again.
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DTOLVI_WERROR=ON -DTOLVI_BUILD_TESTS=ON \
  -DTOLVI_BUILD_GUI=ON
ctest --test-dir build-release --output-on-failure --no-tests=error -j"$jobs"

heading "fuzz build (build-fuzz)"
# clang with libFuzzer, ASan and UBSan: every parser runs for 20 s on its
# seeds and saved regressions, two at a time. The same build checks the
# core's lock annotations, so a missing lock fails it.
scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVI_BUILD_FUZZ=ON -DTOLVI_BUILD_GUI=OFF -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF \
  -DTOLVI_WERROR=ON -DTOLVI_THREAD_SAFETY=ON
scripts/fuzz.sh "$root/build-fuzz" 20

heading "Windows build under Wine (build-windows)"
# MinGW-w64 cross build; the core and Windows-port tests in one Wine process,
# then the scenarios through tolvi-sim.exe (about 2 minutes with the build
# cached, a fresh Wine prefix included).
scripts/test-windows.sh build-windows

heading "package (dist/)"
scripts/package.sh --check --build-dir build-release

echo "== all passes done in $((SECONDS / 60)) min $((SECONDS % 60)) s =="
