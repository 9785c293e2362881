#!/bin/sh
# Runs every benchmark program of a build folder.
set -e
dir=${1:-build/bench}
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
