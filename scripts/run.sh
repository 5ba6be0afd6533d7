#!/usr/bin/env bash
# `make run`: starts the printer simulator on a loopback TCP port and QuintKora.exe (the x86_64
# build) under wine64 in a prefix of its own, prepared like the test prefixes, with the name of
# a printer whose settings point at the simulator over Ethernet, so that the window opens
# Connected. With a display the window opens there and the script returns when it is closed.
# Without one (no DISPLAY) it runs on a virtual display, where a small driver program
# (tests/wine/quintkora_run_driver.cpp) acknowledges the connect, reads the printer's status,
# saves a screenshot to build/screenshots/run.png and presses EXIT. The simulator is stopped
# afterwards either way.
set -euo pipefail

repo_root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine_common.sh
source "$repo_root/scripts/wine_common.sh"

build=$repo_root/build
program=${KIT_QUINTKORA:-$build/win64/settings_utility/main_window/win32/QuintKora.exe}
driver=$build/win64/tests/wine/quintkora_run_driver.exe
simulator=$build/native/tools/printer_simulator/printer_simulator_server
run_dir=$build/run
screenshot=$build/screenshots/run.png
# The installed-printer name QuintKora.exe is started with; no Windows printer has it, so the
# utility takes its settings key as this script wrote it.
printer_name=HRX410-Simulator
# How long the driver may take without a display (connect 1.3 s, status 1.4 s, a first start).
driver_limit_s=120

[ -f "$program" ] || kit_die "$program is not built (make tree-win64)"
[ -x "$simulator" ] || kit_die "$simulator is not built (make simulator)"

headless=0
program_pid=
simulator_pid=
cleanup() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then kit_stop_prefix; fi
  if [ -n "$program_pid" ]; then wait "$program_pid" 2>/dev/null || true; fi
  if [ -n "$simulator_pid" ]; then
    kill "$simulator_pid" 2>/dev/null || true
    wait "$simulator_pid" 2>/dev/null || true
  fi
  if [ "$headless" = 1 ]; then kit_stop_xvfb; fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

if [ -z "${DISPLAY:-}" ]; then
  headless=1
  kit_start_xvfb
  kit_log "no display: running on the virtual display $DISPLAY"
fi

# The same template as the Wine tests; a fresh copy each run, kept afterwards for a look.
kit_prepare_template "$build/win64/wine-template"
mkdir -p "$run_dir"
export WINEPREFIX=$run_dir/prefix
kit_copy_template "$build/win64/wine-template" "$WINEPREFIX"

# The simulator: port 0 lets it pick a free loopback port, which it prints as its first line.
# It ends by itself at its time limit should this script be killed.
max_seconds=86400
[ "$headless" = 1 ] && max_seconds=$((driver_limit_s + 60))
"$simulator" --tcp 0 --state-file "$run_dir/simulator-state" --max-seconds "$max_seconds" \
  >"$run_dir/simulator.out" 2>"$run_dir/simulator.err" &
simulator_pid=$!
tries=0
until [ "$(wc -l <"$run_dir/simulator.out")" -ge 1 ]; do
  kill -0 "$simulator_pid" 2>/dev/null ||
    { cat "$run_dir/simulator.err" >&2; kit_die "the printer simulator ended at start"; }
  tries=$((tries + 1))
  [ "$tries" -le 100 ] || kit_die "the printer simulator gave no port within 10 s"
  sleep 0.1
done
port=$(head -n 1 "$run_dir/simulator.out")
[[ $port =~ ^[0-9]+$ ]] || kit_die "the printer simulator printed '$port', not a port"
kit_log "printer simulator on 127.0.0.1:$port (state in $run_dir/simulator-state)"

# The printer's settings: any port text that names no serial, parallel or USB port means
# Ethernet, with the address and TCP port beside it.
reg_file=$run_dir/printer.reg
{
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\KELVO\\HRX-410\\%s]\n' "$printer_name"
  printf '"Port"="NET"\n"TcpIp"="127.0.0.1"\n"TcpPort"=dword:%08x\n' "$port"
} >"$reg_file"
kit_import_reg "$reg_file"
program_arguments=("$printer_name")

cd "$(dirname "$program")"
"$KIT_WINE64" "$(basename "$program")" "${program_arguments[@]}" &
program_pid=$!

if [ "$headless" = 0 ]; then
  kit_log "QuintKora.exe runs on $DISPLAY, connected to the simulator; close its window to end"
  wait "$program_pid" || true
  program_pid=
  exit 0
fi

# Without a display the driver plays the user. Wine runs the screenshot tool, a Unix script,
# straight from the driver, with the virtual display in its environment.
mkdir -p "$(dirname "$screenshot")"
rm -f "$screenshot"
[ -f "$driver" ] || kit_die "$driver is not built (make tree-win64)"
status=0
KIT_SCREENSHOT_TOOL=$repo_root/scripts/take_screenshot.sh \
  timeout --kill-after=10 "$driver_limit_s" "$KIT_WINE64" "$driver" "$screenshot" || status=$?
[ "$status" -eq 0 ] || kit_die "the driver failed (status $status)"
wait "$program_pid" || kit_die "QuintKora.exe ended with status $?"
program_pid=
[ -s "$screenshot" ] || kit_die "no screenshot $screenshot"
kit_log "screenshot saved to $screenshot"
