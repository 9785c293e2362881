#!/bin/sh
# Runs every fuzz harness of a build folder for the given number of seconds,
# one after another, each with its seeds, its dictionary and the inputs kept
# as regression cases, growing a working corpus under fuzz-corpus/NAME. An
# input that crashes, leaks or hangs is left in fuzz-findings/NAME and makes
# the run fail once every harness has had its turn.
# Usage: run.sh BUILD-FOLDER SECONDS [NAME...]
set -u
dir=${1:-build/fuzz}
secs=${2:-60}
if [ $# -ge 2 ]; then shift 2; else shift $#; fi
here=$(cd "$(dirname "$0")" && pwd)
status=0
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  if [ $# -gt 0 ]; then
    case " $* " in *" $name "*) ;; *) continue ;; esac
  fi
  corpus=fuzz-corpus/$name
  findings=fuzz-findings/$name
  mkdir -p "$corpus" "$findings"
  inputs=""
  if [ "$name" = fuzz_reader_chain ]; then
    for d in "$here"/seeds/*/; do inputs="$inputs $d"; done
  else
    [ -d "$here/seeds/$name" ] && inputs="$inputs $here/seeds/$name"
  fi
  [ -d "$here/regressions/$name" ] && inputs="$inputs $here/regressions/$name"
  dict=""
  [ -f "$here/dicts/$name.dict" ] && dict="-dict=$here/dicts/$name.dict"
  echo "== $name for ${secs}s"
  log=$findings.log
  # shellcheck disable=SC2086
  "$f" -max_total_time="$secs" -max_len=65536 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" $dict "$corpus" $inputs >"$log" 2>&1
  rc=$?
  grep -v "^#[0-9]*.*\(NEW\|REDUCE\|pulse\)" "$log"
  if [ $rc -ne 0 ] || ls "$findings" | grep -q .; then
    echo "!! $name: exit status $rc, findings in $findings, output in $log"
    status=1
  fi
done
exit $status
