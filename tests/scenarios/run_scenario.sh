#!/usr/bin/env bash
# Runs one tolvi-sim scenario in a fresh data directory and compares what it
# prints with NAME.expected beside the script.
#   run_scenario.sh TOLVI_SIM SCRIPT
# A script that ends with an error adds "exit N" and the error text (with
# the script's own name) to the output, so error cases are scenarios too.
# Set UPDATE_EXPECTED=1 to write the output as the new expectation.
set -uo pipefail
sim=$(realpath "$1")
script=$(realpath "$2")
expected="${script%.sim}.expected"
name=$(basename "$script")

data_dir=$(mktemp -d)
trap 'rm -rf "$data_dir"' EXIT

actual=$(cd "$(dirname "$script")" && "$sim" --data-dir "$data_dir" "$name" 2>"$data_dir/.stderr")
status=$?
if [ "$status" -ne 0 ]; then
  actual+=$'\n'"exit $status"
  actual+=$'\n'"$(cat "$data_dir/.stderr")"
fi

if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
  printf '%s\n' "$actual" > "$expected"
  exit 0
fi
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
  echo "scenario $name: output differs from $(basename "$expected")" >&2
  exit 1
fi
