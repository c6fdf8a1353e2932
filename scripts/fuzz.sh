#!/usr/bin/env bash
# Runs the libFuzzer targets of a clang fuzz build:
#   fuzz.sh BUILD_DIR SECONDS [TARGET...]
# Each target runs on a scratch copy of fuzz/corpus/TARGET plus
# fuzz/regressions/TARGET, two targets at a time. Fails when any target finds
# a crash, a leak or a broken invariant, printing where the input was saved.
# FUZZ_JOBS sets how many targets run at once; FUZZ_WORK keeps the scratch
# folders (grown corpora, logs) in a place of your choice.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(record_database program_data log_import phrase_file)
jobs=${FUZZ_JOBS:-2}
work=${FUZZ_WORK:-$(mktemp -d)}
mkdir -p "$work"

run_one() {
  local target=$1 dir="$work/$1"
  mkdir -p "$dir/corpus" "$dir/crashes"
  cp -n "$root/fuzz/corpus/$target/"* "$dir/corpus/" 2>/dev/null || true
  if LC_ALL=C.UTF-8 "$build/fuzz/fuzz_$target" "$dir/corpus" "$root/fuzz/regressions/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/crashes/" >"$dir/log" 2>&1; then
    echo "fuzz $target: ok ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log" \
      | grep -o '[0-9]*$') runs)"
  else
    echo "fuzz $target: FAILED; log $dir/log"
    grep -E "ERROR|invariant broken|SUMMARY" "$dir/log" | head -5 || true
    for input in "$dir/crashes/"*; do
      [ -e "$input" ] && echo "  input saved at $input (copy it to fuzz/regressions/$target/)"
    done
    return 1
  fi
}

failed=0
pids=()
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
