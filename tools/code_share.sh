#!/usr/bin/env bash
# Counts the non-blank, non-comment C++ lines of the program (src/) and of
# the tests (tests/, fakes included) and prints the share of test lines
# against program lines; the developer tools, benchmarks and fuzz targets,
# and the scenario scripts' lines, are counted aside. The share against the
# program and tools together follows, and last the share against all the
# other C++ code (program, tools and fuzz targets, benchmarks aside).
#   tools/code_share.sh [REPO_ROOT]
# Only standard tools (find, awk) are used, so it runs on any checkout.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Prints the code lines of the C++ files named on stdin: a line counts when
# anything other than white space is left after removing // and /* */
# comments. String and character literals are skipped so that "//" inside
# them is not taken for a comment.
cpp_lines() {
  xargs -r -0 awk '
    FNR == 1 { in_block = 0 }
    {
      line = $0; code = 0; in_str = ""; n = length(line)
      for (i = 1; i <= n; i++) {
        c = substr(line, i, 1); d = substr(line, i, 2)
        if (in_block) {
          if (d == "*/") { in_block = 0; i++ }
          continue
        }
        if (in_str != "") {
          code = 1
          if (c == "\\") i++
          else if (c == in_str) in_str = ""
          continue
        }
        if (d == "//") break
        if (d == "/*") { in_block = 1; i++; continue }
        if (c == "\"" || c == "\047") in_str = c
        if (c !~ /[ \t\r]/) code = 1
      }
      if (code) total++
    }
    END { print total + 0 }'
}

# Lines of files under the given folders whose names end in .h or .cpp.
count_cpp() {
  local dirs=()
  for d in "$@"; do [ -d "$d" ] && dirs+=("$d"); done
  if [ ${#dirs[@]} -eq 0 ]; then echo 0; return; fi
  find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z | cpp_lines
}

# Non-blank lines of scenario files that are not wholly a # comment.
count_script() {
  local pattern=$1
  find tests/scenarios -type f -name "$pattern" -print0 2>/dev/null | sort -z |
    xargs -r -0 awk '!/^[ \t]*(#|$)/ { n++ } END { print n + 0 }'
}

src=$(count_cpp src)
tools=$(count_cpp tools)
tests=$(count_cpp tests)
bench=$(count_cpp bench)
fuzz=$(count_cpp fuzz)
sim=$(count_script '*.sim')
expected=$(count_script '*.expected')

share() {  # share NUMERATOR DENOMINATOR: one decimal, rounded down
  printf '%d.%d %%' $(($1 * 100 / $2)) $((($1 * 1000 / $2) % 10))
}

printf '%-36s %7d\n' "program: src/" "$src" \
  "tests: tests/ (fakes included)" "$tests"
printf '%-36s %9s\n' "share tests/program" "$(share "$tests" "$src")"
printf '%-36s %7d\n' "aside: tools/ (tolvi-sim)" "$tools" \
  "aside: bench/" "$bench" \
  "aside: fuzz/" "$fuzz" \
  "scenario scripts (.sim)" "$sim" \
  "scenario expectations (.expected)" "$expected"
printf '%-36s %9s\n' "share tests/(program + tools)" "$(share "$tests" $((src + tools)))"
printf '%-36s %9s\n' "share tests/(all else but bench/)" "$(share "$tests" $((src + tools + fuzz)))"
