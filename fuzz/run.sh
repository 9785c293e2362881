#!/bin/sh
# Runs each fuzz harness of a build folder for the given number of seconds.
set -e
dir=${1:-build/fuzz}
secs=${2:-60}
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=fuzz-corpus/$name
  mkdir -p "$corpus"
  seeds=$(dirname "$0")/seeds
  echo "== $name for ${secs}s"
  "$f" -max_total_time="$secs" -max_len=65536 -rss_limit_mb=2048 -timeout=10 "$corpus" "$seeds"
done
