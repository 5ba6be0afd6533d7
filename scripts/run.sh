#!/usr/bin/env bash
# `make run`: starts QuintKora.exe (the x86_64 build) under wine64 in a prefix of its own,
# prepared like the test prefixes. With a display the window opens there and the script
# returns when it is closed. Without one (no DISPLAY) it runs on a virtual display, waits for
# the window, saves a screenshot to build/screenshots/run.png and ends the program.
set -euo pipefail

repo_root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine_common.sh
source "$repo_root/scripts/wine_common.sh"

build=$repo_root/build
program=${KIT_QUINTKORA:-$build/win64/settings_utility/main_window/win32/QuintKora.exe}
run_dir=$build/run
screenshot=$build/screenshots/run.png
caption="KELVO HRX-410 KORA V1.0.0"
# How long the window is given to appear, and then to settle before the screenshot.
window_wait_s=30
settle_s=${KIT_RUN_SETTLE:-3}

[ -f "$program" ] || kit_die "$program is not built (make tree-win64)"

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

program_arguments=()
# ---------------------------------------------------------------------------------------
# PRINTER SIMULATOR: a later change starts it here and prepares the settings so that the
# window connects at start-up:
#   - start $build/native/tools/printer_simulator/printer_simulator_server --tcp 0
#     --state-file "$run_dir/simulator-state" with a --max-seconds bound, in the background
#     (simulator_pid=$!, which cleanup stops), and read the port from the first line of its
#     output, as tests/wine/run_wine_test.sh does;
#   - write the utility's settings for that printer into the prefix ("$KIT_WINE64" reg add
#     under HKCU\Software\KELVO\HRX-410\KORA, or a .reg file through kit_import_reg) and
#     restart the wineserver (kit_stop_prefix);
#   - put the printer name into program_arguments so that QuintKora.exe connects at once.
# ---------------------------------------------------------------------------------------

cd "$(dirname "$program")"
"$KIT_WINE64" "$(basename "$program")" "${program_arguments[@]}" &
program_pid=$!

if [ "$headless" = 0 ]; then
  kit_log "QuintKora.exe runs on $DISPLAY; close its window to end"
  wait "$program_pid" || true
  program_pid=
  exit 0
fi

# Wine names the X window after the Windows caption.
waited=0
until xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" >/dev/null; do
  kill -0 "$program_pid" 2>/dev/null || kit_die "QuintKora.exe ended before its window appeared"
  waited=$((waited + 1))
  [ "$waited" -le $((window_wait_s * 10)) ] || kit_die "no window \"$caption\" within $window_wait_s s"
  sleep 0.1
done
sleep "$settle_s"

mkdir -p "$(dirname "$screenshot")"
xwd -root -silent | convert xwd:- "png:$screenshot"
kit_log "screenshot saved to $screenshot"
