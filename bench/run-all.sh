#!/bin/sh
# Runs every benchmark program of a build folder, then prints our figures next
# to their floors (one fill of the screen buffer, plain 64 KiB reads, a file
# copy) and, when gerbv is installed, next to gerbv drawing the same Gerber
# file, each as a ratio. Ratios use CPU time (user + system), which a busy
# shared machine disturbs less than wall time.
#   BENCH_FILTER=regex   runs only the matching benchmarks (ratios whose
#                        figures are missing are left out)
set -e
dir=${1:-build/bench}
out=$(mktemp -d "${TMPDIR:-/tmp}/trelmo-bench.XXXXXX")
trap 'rm -rf "$out"' EXIT
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_counters_tabular=true ${BENCH_FILTER:+--benchmark_filter="$BENCH_FILTER"} \
    --benchmark_out="$out/$name.csv" --benchmark_out_format=csv
done

# CPU time in milliseconds of a benchmark (with or without its /arguments),
# from the CSV files.
figure() {
  cat "$out"/*.csv 2>/dev/null | awk -F, -v n="\"$1\"" -v p="\"$1/" '
    $1 == n || index($1, p) == 1 { t = $4; u = $5; gsub(/"/, "", u)
              if (u == "ns") t /= 1e6; else if (u == "us") t /= 1e3; else if (u == "s") t *= 1e3
              printf "%.3f", t; exit }'
}

# Wall time in milliseconds of a benchmark timed by the clock (UseRealTime).
wall() {
  cat "$out"/*.csv 2>/dev/null | awk -F, -v n="\"$1/real_time\"" '
    $1 == n { t = $3; u = $5; gsub(/"/, "", u)
              if (u == "ns") t /= 1e6; else if (u == "us") t /= 1e3; else if (u == "s") t *= 1e3
              printf "%.3f", t; exit }'
}

# CPU seconds (user + system) of a command; empty when it fails.
cpu_seconds() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "%U %S" -o "$out/time" "$@" >/dev/null 2>&1 || return 0
    awk '{ printf "%.3f", $1 + $2 }' "$out/time"
  else
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || return 0
    echo "$start $(date +%s.%N)" | awk '{ printf "%.3f", $2 - $1 }'
  fi
}

ratio() {  # label, ours, floor, goal
  [ -n "$2" ] && [ -n "$3" ] || return 0
  echo "$1 $2 $3 $4" | awk '{ r = $3 > 0 ? $2 / $3 : 0
    printf "%-34s %10.3f %10.3f %8.2fx   goal %s %s\n", $1, $2, $3, r, $4, (r <= $4 ? "met" : "not met") }'
}

echo
echo "== Ratios (CPU milliseconds: ours, floor or peer)"
ratio full_redraw/buffer_fill "$(figure BM_FullRedraw)" "$(figure BM_FillBufferOnce)" 20
ratio culled_redraw/full_redraw "$(figure BM_CulledRedraw)" "$(figure BM_FullRedraw)" 0.15
# Wall time, not CPU time: two bands on two threads against one thread.
ratio full_redraw_wall_2/1_threads "$(wall BM_FullRedraw/2)" "$(wall BM_FullRedraw/1)" 0.67
ratio read_1M_items/plain_reads "$(figure BM_ReadDesign)" "$(figure BM_CatFloor)" 5
ratio write_1M_items/copy "$(figure BM_WriteDesign)" "$(figure BM_CpFloor)" 4
# The net scan log grows with the board: four times the items, at most five
# times the time.
ratio net_scan_log_4k/1k "$(figure BM_NetScanLogIndexed/4000)" "$(figure BM_NetScanLogIndexed/1000)" 5
ratio net_scan_log_40k/10k "$(figure BM_NetScanLogIndexed/40000)" "$(figure BM_NetScanLogIndexed/10000)" 5
ratio net_scan_log_100k/25k "$(figure BM_NetScanLogIndexed/100000)" "$(figure BM_NetScanLogIndexed/25000)" 5

# The peer: gerbv drawing the generated copper layer at about 2520 x 1919
# (252 dots per inch over its 10 x 7.6 inches, no border), against
# trelmo-cli opening and drawing the same file at that size.
cli="$dir/src/cli/trelmo-cli"
if command -v gerbv >/dev/null 2>&1 && [ -x "$cli" ] && [ -x "$dir/bench/bench_gerber" ]; then
  gbr="$out/copper.gbr"
  "$dir/bench/bench_gerber" --write-sample "$gbr"
  ours=$(cpu_seconds "$cli" render "$gbr" -o "$out/ours.png" --size 2520x1919)
  peer=$(cpu_seconds gerbv -x png -B 0 -D 252 -o "$out/gerbv.png" "$gbr")
  [ -n "$ours" ] && ours=$(echo "$ours" | awk '{ printf "%.1f", $1 * 1000 }')
  [ -n "$peer" ] && peer=$(echo "$peer" | awk '{ printf "%.1f", $1 * 1000 }')
  [ -n "$ours" ] || echo "trelmo-cli render of the generated Gerber file failed"
  [ -n "$peer" ] || echo "gerbv -x png of the generated Gerber file failed"
  ratio open_render_gerber/gerbv "$ours" "$peer" 0.2
else
  echo "(gerbv or trelmo-cli not found: no peer comparison)"
fi
