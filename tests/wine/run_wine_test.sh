#!/usr/bin/env bash
# Runs one Wine test program: run_wine_test.sh <test.exe> [gtest arguments]
#
# Each run gets its own virtual display and its own prefix, copied from a template prefix
# that the first run builds (under a lock, so parallel CTest runs do not race), and leaves
# nothing behind: the wineserver, Xvfb and the prefix are gone when it returns. The exit code
# is the test program's, or 124 when it ran past its time.
#
# Environment (CTest sets the first five from tests/wine/CMakeLists.txt):
#   KIT_BIN_DIR         folder of the programs under test (Unix path): the working directory,
#                       and passed on to the test as a Windows path (Z:\...)
#   KIT_WINE_TEMPLATE   the template prefix            (default: build/win64/wine-template)
#   KIT_WINE_SCRATCH    where the run's prefix goes    (default: next to the template)
#   KIT_WINE_TIMEOUT    seconds the test may run       (default: 120)
#   KIT_SIMULATOR       the printer_simulator_server program of the native tree
#   KIT_SIMULATOR_ARGS  when set (even empty): start the simulator on a free loopback port
#                       with these extra options first; the test gets KIT_SIM_PORT and
#                       KIT_SIM_STATE (its state file, as a Windows path)
#   KIT_WINE_PORTS      "COM1=/dev/pts/7 ...": map port names to Unix devices in the prefix
#   KIT_KEEP_PREFIX=1   keep the run's prefix and logs for a look afterwards
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 <test.exe> [gtest arguments]" >&2; exit 2; }
test_exe=$(realpath "$1")
shift
[ -f "$test_exe" ] || { echo "$0: no test program $test_exe" >&2; exit 2; }

repo_root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/wine_common.sh
source "$repo_root/scripts/wine_common.sh"

template=${KIT_WINE_TEMPLATE:-$repo_root/build/win64/wine-template}
scratch_root=${KIT_WINE_SCRATCH:-$(dirname "$template")/wine-runs}
time_limit=${KIT_WINE_TIMEOUT:-120}
bin_dir=${KIT_BIN_DIR:-$(dirname "$test_exe")}

mkdir -p "$scratch_root"
scratch=$(mktemp -d "$scratch_root/$(basename "$test_exe" .exe).XXXXXX")
simulator_pid=

cleanup() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then kit_stop_prefix; fi
  if [ -n "$simulator_pid" ]; then
    kill "$simulator_pid" 2>/dev/null || true
    wait "$simulator_pid" 2>/dev/null || true
    if [ "$status" -ne 0 ] && [ -s "$scratch/simulator.err" ]; then
      kit_log "the printer simulator said:"
      cat "$scratch/simulator.err" >&2
    fi
  fi
  kit_stop_xvfb
  if [ "${KIT_KEEP_PREFIX:-0}" = 1 ]; then
    kit_log "kept $scratch"
  else
    rm -rf "$scratch"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

kit_start_xvfb
kit_prepare_template "$template"
export WINEPREFIX="$scratch/prefix"
kit_copy_template "$template" "$WINEPREFIX"

# ---- begin: printer on a pseudo-terminal, modem lines (serial and USB tests of QuintKora) ----
#   KIT_SIMULATOR_PTY_ARGS     when set (even empty): start the printer simulator on a
#                              pseudo-terminal, with these extra options, instead of on TCP; the
#                              test gets KIT_SIM_STATE as with KIT_SIMULATOR_ARGS
#   KIT_SIMULATOR_PTY_PORTS    "COM1 ...": port names mapped to that pty (as KIT_WINE_PORTS does)
#   KIT_SIMULATOR_PTY_DEVICES  names of dosdevices entries linked to that pty, such as a USB
#                              device interface path in lower case: opening the path opens the
#                              pty. They go through the simulator's own link, whose Unix path the
#                              test gets as KIT_SIM_PTY_LINK: moving that link away makes the
#                              device vanish, moving it back brings it back
#   KIT_WINE_PRELOAD           a shared object preloaded into wine64 and every program it
#                              starts (tests/wine/preload: modem lines of ptys). The test gets
#                              KIT_MODEM_LINES, the Windows path of the file whose line names the
#                              library reports; until the test writes it, plain Wine answers.
if [ -n "${KIT_SIMULATOR_PTY_ARGS+set}" ]; then
  [ -z "${KIT_SIMULATOR_ARGS+set}" ] ||
    kit_die "KIT_SIMULATOR_ARGS and KIT_SIMULATOR_PTY_ARGS both set: one simulator per run"
  simulator=${KIT_SIMULATOR:-}
  [ -x "$simulator" ] ||
    kit_die "the test needs the printer simulator, but '$simulator' is not built (make simulator)"
  : >"$scratch/simulator.out"
  # The harness's own clean-up stops it, as it does the TCP simulator.
  # shellcheck disable=SC2086  # KIT_SIMULATOR_PTY_ARGS is a list of options
  "$simulator" --pty "$scratch/printer-pty" --state-file "$scratch/simulator-state" \
    --max-seconds $((time_limit + 60)) $KIT_SIMULATOR_PTY_ARGS \
    >"$scratch/simulator.out" 2>"$scratch/simulator.err" &
  simulator_pid=$!
  tries=0
  # A complete first line holds the pty's slave path.
  until [ "$(wc -l <"$scratch/simulator.out")" -ge 1 ]; do
    kill -0 "$simulator_pid" 2>/dev/null ||
      { cat "$scratch/simulator.err" >&2; kit_die "the printer simulator ended at start"; }
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || kit_die "the printer simulator gave no pty within 10 s"
    sleep 0.1
  done
  pty_slave=$(head -n 1 "$scratch/simulator.out")
  [ -c "$pty_slave" ] || kit_die "the printer simulator printed '$pty_slave', not a terminal"
  for name in ${KIT_SIMULATOR_PTY_PORTS:-}; do
    KIT_WINE_PORTS="${KIT_WINE_PORTS:-} $name=$pty_slave"
  done
  # Names with '?' or '*' must not be globbed.
  read -r -a pty_devices <<<"${KIT_SIMULATOR_PTY_DEVICES:-}"
  for name in "${pty_devices[@]}"; do
    ln -s "$scratch/printer-pty" "$WINEPREFIX/dosdevices/$name"
  done
  KIT_SIM_STATE=$(kit_windows_path "$scratch/simulator-state")
  KIT_SIM_PTY_LINK="$scratch/printer-pty"
  export KIT_SIM_STATE KIT_SIM_PTY_LINK
fi
if [ -n "${KIT_WINE_PRELOAD:-}" ]; then
  [ -f "$KIT_WINE_PRELOAD" ] ||
    kit_die "KIT_WINE_PRELOAD names '$KIT_WINE_PRELOAD', which is not built (make tree-native)"
  KIT_MODEM_LINES_FILE="$scratch/modem-lines"
  KIT_MODEM_LINES=$(kit_windows_path "$KIT_MODEM_LINES_FILE")
  # Everything started from here on carries it, the wineserver and the programs under test
  # included; the library changes nothing but TIOCMGET on ptys.
  LD_PRELOAD="$KIT_WINE_PRELOAD${LD_PRELOAD:+:$LD_PRELOAD}"
  export KIT_MODEM_LINES_FILE KIT_MODEM_LINES LD_PRELOAD
fi
# ---- end: printer on a pseudo-terminal, modem lines ----

kit_map_ports

if [ -n "${KIT_SIMULATOR_ARGS+set}" ]; then
  simulator=${KIT_SIMULATOR:-}
  [ -x "$simulator" ] ||
    kit_die "the test needs the printer simulator, but '$simulator' is not built (make simulator)"
  : >"$scratch/simulator.out"
  # Port 0: the server picks a free loopback port and prints it as its first line.
  # shellcheck disable=SC2086  # KIT_SIMULATOR_ARGS is a list of options
  "$simulator" --tcp 0 --state-file "$scratch/simulator-state" \
    --max-seconds $((time_limit + 60)) $KIT_SIMULATOR_ARGS \
    >"$scratch/simulator.out" 2>"$scratch/simulator.err" &
  simulator_pid=$!
  tries=0
  # A complete first line (ending in a newline) holds the port.
  until [ "$(wc -l <"$scratch/simulator.out")" -ge 1 ]; do
    kill -0 "$simulator_pid" 2>/dev/null ||
      { cat "$scratch/simulator.err" >&2; kit_die "the printer simulator ended at start"; }
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || kit_die "the printer simulator gave no port within 10 s"
    sleep 0.1
  done
  KIT_SIM_PORT=$(head -n 1 "$scratch/simulator.out")
  [[ $KIT_SIM_PORT =~ ^[0-9]+$ ]] || kit_die "the printer simulator printed '$KIT_SIM_PORT', not a port"
  KIT_SIM_STATE=$(kit_windows_path "$scratch/simulator-state")
  export KIT_SIM_PORT KIT_SIM_STATE
fi

KIT_BIN_DIR=$(kit_windows_path "$bin_dir")
export KIT_BIN_DIR
cd "$bin_dir"
set +e
timeout --kill-after=10 "$time_limit" "$KIT_WINE64" "$test_exe" "$@"
status=$?
set -e
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  kit_log "$(basename "$test_exe") was stopped after its limit of $time_limit s"
  status=124
fi
exit "$status"
