#!/bin/sh
# The committed style gates: every C++ file as .clang-format has it, and the
# core library clean under .clang-tidy (its headers included). Needs the
# compile commands of a configured build folder (default build/main).
#   tools/lint.sh [BUILD [JOBS [format]]]   "format" checks the format only
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/main}
jobs=${2:-2}
echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
[ "${3:-}" = format ] && exit 0
echo "== clang-tidy (src/core)"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: no $build/compile_commands.json (configure the build first)" >&2
  exit 2
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run-clang-tidy -quiet -p "$build" -j "$jobs" -header-filter="$(pwd)/src/core/.*" "$(pwd)/src/core/.*\.cpp$" \
  >"$log" 2>&1 || true
if grep -E "(warning|error): " "$log" | grep -v "warnings generated" >/dev/null; then
  grep -E -A3 "(warning|error): " "$log" >&2
  echo "lint: clang-tidy found the above" >&2
  exit 1
fi
echo "lint: clean"
