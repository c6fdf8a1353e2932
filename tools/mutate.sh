#!/usr/bin/env bash
# Mutation check: plants the one-line faults listed in tools/mutants.txt one
# at a time, rebuilds incrementally, and runs the unit tests (and, when they
# all pass, the scenario scripts) against each. A mutant is "killed" when a
# test fails, "survived" when everything passes, "unbuildable" when the
# fault does not compile, and "stale" when its line is no longer in the file.
#   tools/mutate.sh BUILD_DIR [FILTER]
# BUILD_DIR is a configured build of this checkout (tests on); FILTER, when
# given, keeps only the mutants whose line contains it. The file is always
# restored, also on Ctrl-C.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: tools/mutate.sh BUILD_DIR [FILTER]}
filter=${2:-}
list="${MUTATE_LIST:-$root/tools/mutants.txt}"  # another list, e.g. the last survivors
log_dir=$(mktemp -d)
limit=${MUTATE_TIMEOUT:-180}  # seconds; a mutant that hangs the tests is killed

mutated=""
backup="$log_dir/original"
restore() {
  if [ -n "$mutated" ]; then
    cp "$backup" "$mutated"
    # A newer time stamp makes the next build recompile the original.
    touch "$mutated"
    mutated=""
  fi
}
trap 'restore; rm -rf "$log_dir"' EXIT
trap 'exit 130' INT TERM

build_targets() {
  cmake --build "$build" -j2 --target tolvi_tests tolvi-sim >"$log_dir/build" 2>&1
}

# True when some test fails or hangs.
tests_fail() {
  # From tests/, as CTest runs it: some tests find the sources relative to it.
  if ! (cd "$build/tests" && LC_ALL=C.UTF-8 timeout "$limit" ./tolvi_tests --gtest_fail_fast \
          --gtest_brief=1 >"$log_dir/unit" 2>&1); then
    return 0
  fi
  ! (cd "$build" && timeout "$limit" ctest -R '^scenario\.' -j2 >"$log_dir/scenarios" 2>&1)
}

if ! build_targets || tests_fail; then
  echo "The unmodified tree must build and pass first; see $build." >&2
  cat "$log_dir/build" "$log_dir/unit" 2>/dev/null | tail -20 >&2
  exit 2
fi

killed=0 survived=0 unbuildable=0 stale=0
survivors=()
start=$(date +%s)
while IFS= read -r entry; do
  case "$entry" in '' | '#'*) continue ;; esac
  [ -n "$filter" ] && [[ "$entry" != *"$filter"* ]] && continue
  file=${entry%% | *}
  rest=${entry#* | }
  text=${rest%% | *}
  replacement=${rest#* | }
  path="$root/$file"
  if [ ! -f "$path" ] || ! grep -qF -- "$text" "$path"; then
    echo "stale       $file: $text"
    stale=$((stale + 1))
    continue
  fi
  cp "$path" "$backup"
  mutated=$path
  TEXT=$text REPLACEMENT=$replacement awk '
    !done && (at = index($0, ENVIRON["TEXT"])) {
      $0 = substr($0, 1, at - 1) ENVIRON["REPLACEMENT"] substr($0, at + length(ENVIRON["TEXT"]))
      done = 1
    }
    { print }' "$backup" >"$path"
  if ! build_targets; then
    outcome=unbuildable
    unbuildable=$((unbuildable + 1))
  elif tests_fail; then
    outcome=killed
    killed=$((killed + 1))
  else
    outcome=survived
    survived=$((survived + 1))
    survivors+=("$file: $text -> $replacement")
  fi
  restore
  printf '%-11s %s: %s -> %s\n' "$outcome" "$file" "$text" "$replacement"
done <"$list"

# Leave the build matching the restored sources.
build_targets || echo "warning: rebuilding the restored tree failed" >&2

tried=$((killed + survived))
echo
echo "killed $killed, survived $survived, unbuildable $unbuildable, stale $stale" \
  "($(($(date +%s) - start)) s)"
[ "$tried" -gt 0 ] && echo "score $((killed * 100 / tried)) % of $tried buildable mutants"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
[ "$survived" -eq 0 ]
