#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the given C++ sources, or
# over every source of the Linux release build when none are given. Exits
# non-zero on any finding. The Windows halves are not in the Linux build and are
# not checked here.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=build/release
[ -f "$build/compile_commands.json" ] || cmake --preset release >/dev/null

if (($#)); then
  patterns=()
  for file in "$@"; do
    path=$(realpath "$file")
    patterns+=("^$(printf '%s' "$path" | sed 's/[].[\*^$()+?{}|]/\\&/g')\$")
  done
else
  patterns=("^$root/(pipeline|ui|shell|tools|tests|bench)/")
fi
status=0
output=$(run-clang-tidy -quiet -p "$build" -j 2 "${patterns[@]}" 2>&1) || status=$?
# Only the findings: not the command lines nor the counts of suppressed warnings.
grep -v -e '^Running clang-tidy' -e '^clang-tidy' -e 'warnings\? generated\.$' \
  -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' <<<"$output" |
  sed 's/\x1b\[[0-9;]*m//g' || true
exit "$status"
