#!/usr/bin/env bash
# `make bench`: the settings utility's benchmark under Wine (tests/wine/quintkora_bench.cpp),
# run through the Wine test harness against the printer simulator over loopback TCP, and the
# table of its figures: for each measure the median of the runs and its ratio to the goal's
# reference (the prescribed waits; the download's pacing limit).
#
#   scripts/bench.sh [connect runs (7)] [download runs (3)]
# The raw lines of every run are kept in build/bench/raw.txt (KIT_BENCH_RAW names another file);
# KIT_WIN64_TREE and KIT_NATIVE_TREE name other build trees than build/win64 and build/native.
set -euo pipefail

repo_root=$(cd "$(dirname "$0")/.." && pwd)
win64=${KIT_WIN64_TREE:-$repo_root/build/win64}
native=${KIT_NATIVE_TREE:-$repo_root/build/native}
bench_exe=$win64/tests/wine/quintkora_bench.exe
simulator=$native/tools/printer_simulator/printer_simulator_server
connect_runs=${1:-7}
download_runs=${2:-3}

[ -f "$bench_exe" ] || { echo "bench.sh: $bench_exe is not built (make tree-win64)" >&2; exit 1; }
[ -x "$simulator" ] || { echo "bench.sh: $simulator is not built (make simulator)" >&2; exit 1; }

raw=${KIT_BENCH_RAW:-$repo_root/build/bench/raw.txt}
mkdir -p "$(dirname "$raw")"
# Other work on the machine shows in the figures: the load before the run is reported with them.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

KIT_BIN_DIR=$win64/settings_utility/main_window/win32 \
KIT_WINE_TEMPLATE=$win64/wine-template \
KIT_WINE_SCRATCH=$win64/wine-runs \
KIT_WINE_TIMEOUT=600 \
KIT_SIMULATOR=$simulator \
KIT_SIMULATOR_ARGS="" \
  bash "$repo_root/tests/wine/run_wine_test.sh" "$bench_exe" "$connect_runs" "$download_runs" >"$raw"
echo "bench.sh: raw figures in $raw, taken $(date -Iseconds) on $(nproc) CPUs" \
  "($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)), load before $load_before"

# Per run, one line: the value of the awk expression `expression` over the fields of `measure`
# (each key=value of its line is a variable).
per_run() { awk -v measure="$1" '$1 == measure {
  for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
  print '"$2"' }' "$raw"; }
median() { sort -g | awk '{ v[NR] = $1 } END {
  if (NR == 0) { print "nan"; exit }
  if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s-%s", lo, hi }'; }
count() { per_run "$1" 1 | wc -l; }
first() { per_run "$1" "$2" | head -n 1; }
as() { awk -v format="$1" '{ printf format, $1 }'; }

row() { printf '%-46s %5s %13s %19s %8s %8s\n' "$@"; }
row "Measure (Wine, loopback TCP)" runs median range ratio goal
row "Connect, click to \"Printer is connected.\"" "$(count connect)" \
  "$(per_run connect 'v["wall_ms"]' | median) ms" "$(per_run connect 'v["wall_ms"]' | range) ms" \
  "$(per_run connect 'v["wall_ms"] / v["prescribed_ms"]' | median | as '%.3f')" "<= 1.05"
row "  prescribed waits" "" "$(first connect 'v["prescribed_ms"]') ms" "" "" ""
row "Get Printer Status, click to its message" "$(count get_status)" \
  "$(per_run get_status 'v["wall_ms"]' | median) ms" "$(per_run get_status 'v["wall_ms"]' | range) ms" \
  "$(per_run get_status 'v["wall_ms"] / v["prescribed_ms"]' | median | as '%.3f')" "<= 1.05"
row "  prescribed waits" "" "$(first get_status 'v["prescribed_ms"]') ms" "" "" ""
row "Font download, click to last byte" "$(count download)" \
  "$(per_run download 'v["wall_ms"]' | median) ms" "$(per_run download 'v["wall_ms"]' | range) ms" "" ""
row "  $(first download 'v["bytes"]') B / time, over $(first download 'v["pacing_bytes_per_s"]') B/s" "" \
  "$(per_run download 'v["bytes"] * 1000 / v["wall_ms"]' | median | as '%.0f') B/s" "" \
  "$(per_run download 'v["bytes"] * 1000 / v["wall_ms"] / v["pacing_bytes_per_s"]' | median | as '%.3f')" ">= 0.95"
row "  first to last byte at the simulator" "" "$(per_run download 'v["blocks_ms"]' | median) ms" "" \
  "$(per_run download '(v["bytes"] - 64) * 1000 / v["blocks_ms"] / v["pacing_bytes_per_s"]' | median | as '%.3f')" ""
row "  QuintKora CPU time (10 ms ticks)" "" "$(per_run download 'v["cpu_ms"]' | median) ms" \
  "$(per_run download 'v["cpu_ms"]' | range) ms" \
  "$(per_run download '100 * v["cpu_ms"] / v["wall_ms"]' | median | as '%.2f%%')" "<= 2%"
row "  wineserver CPU time (serves the bench too)" "" "$(per_run download 'v["wineserver_cpu_ms"]' | median) ms" \
  "$(per_run download 'v["wineserver_cpu_ms"]' | range) ms" \
  "$(per_run download '100 * v["wineserver_cpu_ms"] / v["wall_ms"]' | median | as '%.2f%%')" ""
row "Wine alone: 10 ms timer, armed at each event" "$(first wine_timer_period 'v["events"]')" \
  "$(first wine_timer_period 'v["mean_ms"]') ms" "(mean)" "" ""
row "Wine alone: Sleep(10)" "$(first wine_sleep10 'v["events"]')" "$(first wine_sleep10 'v["mean_ms"]') ms" "(mean)" "" ""
row "Wine alone: timer + Sleep(10) cycle" "$(first wine_timer_sleep_cycle 'v["events"]')" \
  "$(first wine_timer_sleep_cycle 'v["mean_ms"]') ms" "(mean)" \
  "$(first wine_timer_sleep_cycle '20 / v["mean_ms"]' | as '%.3f')" ""
row "Wine alone: timer + 4096-byte send + Sleep(10)" "$(first wine_timer_send_sleep_cycle 'v["events"]')" \
  "$(first wine_timer_send_sleep_cycle 'v["mean_ms"]') ms" "send $(first wine_timer_send_sleep_cycle 'v["send_mean_ms"]') ms" \
  "$(first wine_timer_send_sleep_cycle '20 / v["mean_ms"]' | as '%.3f')" ""
