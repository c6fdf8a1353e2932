#!/usr/bin/env bash
# The layer check on small trees: it must pass a tree that includes only
# downwards and fail each kind of wrong include.
set -euo pipefail
check=${1:?usage: check_layers_test.sh tools/check_layers.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Builds a tree in $work/NAME from "file:include" pairs.
tree() {
  local name=$1
  shift
  for pair in "$@"; do
    mkdir -p "$work/$name/$(dirname "${pair%%:*}")"
    echo "#include \"${pair#*:}\"" >>"$work/$name/${pair%%:*}"
  done
}
expect() {
  local want=$1 name=$2 got=0
  "$check" "$work/$name" 2>/dev/null || got=$?
  if [[ $got != "$want" ]]; then
    echo "FAIL: $name: exit $got, expected $want" >&2
    exit 1
  fi
}

tree downwards engine/tick.cpp:engine/tick.h engine/tick.h:state/core_context.h \
  platform/linux/a.cpp:platform/file_system.h shell/qt/b.cpp:platform/posix/c.h
tree upwards state/core_context.h:engine/tick.h
tree unknown_target engine/tick.cpp:gadgets/gadget.h
tree unknown_folder gadgets/gadget.cpp:platform/clock.h
tree core_reaches_implementation engine/tick.cpp:platform/posix/posix_clock.h
tree implementation_reaches_core platform/linux/a.cpp:settings/settings.h

expect 0 downwards
for name in upwards unknown_target unknown_folder core_reaches_implementation \
  implementation_reaches_core; do
  expect 1 "$name"
done
echo "layer check: all cases behave"
