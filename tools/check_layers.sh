#!/usr/bin/env bash
# Checks that the folders of src/ form a stack: a file may include headers of
# its own folder and of the folders below it, never of one above. Prints the
# folder-level include graph with -v. Exit status 1 on any include of a
# folder that is not below, or of a folder the stack does not name.
#
#   tools/check_layers.sh [-v] [SRC_DIR]
set -euo pipefail

verbose=0
if [[ ${1:-} == -v ]]; then
  verbose=1
  shift
fi
src=${1:-"$(cd "$(dirname "$0")/.." && pwd)/src"}

# Bottom first (docs/README.md says what each holds). The implementations of
# the ports (platform/posix, platform/win, platform/linux) stand above the
# core, so the core cannot reach them, but they themselves see only the ports
# and the text helpers. platform/native names the one of them the program is
# built for.
stack="text platform storage settings state accounting worklog engine reminders dialogs shell
       platform/posix platform/win platform/linux platform/native reminders/qt reminders/win
       dialogs/qt dialogs/win shell/qt shell/win app"
implementations="platform/posix platform/win platform/linux"
implementations_see="text platform"

if [[ ! -d $src ]]; then
  echo "check_layers: no such folder: $src" >&2
  exit 2
fi

cd "$src"
find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\n' | sort |
  xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' |
  awk -v stack="$stack" -v impl="$implementations" -v impl_see="$implementations_see" \
      -v verbose="$verbose" '
    BEGIN {
      n = split(stack, names, /[[:space:]]+/)
      for (i = 1; i <= n; ++i) if (names[i] != "") rank[names[i]] = i
      split(impl, list, /[[:space:]]+/)
      for (i in list) if (list[i] != "") is_impl[list[i]] = 1
      split(impl_see, list, /[[:space:]]+/)
      for (i in list) if (list[i] != "") impl_may[list[i]] = 1
      bad = 0
    }
    function folder_of(path,    f) {
      f = path
      if (sub(/\/[^\/]*$/, "", f) == 0) return ""
      return f
    }
    function complain(message) {
      print message > "/dev/stderr"
      bad = 1
    }
    {
      file = $0; sub(/:.*/, "", file)
      line = $0; sub(/^[^:]*:/, "", line); sub(/:.*/, "", line)
      target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
      from = folder_of(file)
      to = folder_of(target)
      if (to == "" || to == from) next
      if (!(from in rank)) {
        complain(file ": folder " from " is not in the stack")
        next
      }
      if (!(to in rank)) {
        complain(file ":" line ": includes " target ", and " to " is not in the stack")
        next
      }
      edge[from " -> " to] = 1
      if (rank[to] > rank[from]) {
        complain(file ":" line ": includes " target ", but " to " is above " from)
      } else if ((from in is_impl) && !(to in impl_may)) {
        complain(file ":" line ": includes " target ", but " from " sees only the ports")
      }
    }
    END {
      if (verbose) for (e in edge) print e | "sort"
      exit bad
    }'
