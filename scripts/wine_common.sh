# shellcheck shell=bash
# Shared by the Wine test harness (tests/wine/run_wine_test.sh) and scripts/run.sh, sourced:
# a virtual display, the template prefix and its copies, Windows paths, stopping a prefix.
#
# Why the prefix is prepared the way it is (each point was a real failure):
#  - DISPLAY must be set before a prefix's wineserver starts, or no window can ever open;
#  - a fresh prefix maps COM1 to the machine's console /dev/ttyS0, and Wine rewrites the
#    dosdevices links at every wineserver start: every COM and LPT name is set in
#    HKLM\Software\Wine\Ports (to "" here, or to a pty by KIT_WINE_PORTS) before a program runs;
#  - without a window manager, hiding or destroying a managed window takes 2 s: the X11
#    driver is told not to let windows be managed.

KIT_WINE64=${KIT_WINE64:-/usr/lib/wine/wine64}
KIT_WINESERVER=${KIT_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

kit_log() { echo "[$(basename "$0")] $*" >&2; }
kit_die() { kit_log "error: $*"; exit 1; }

# Starts Xvfb on the first free display and exports DISPLAY; KIT_XVFB_PID holds its pid.
kit_start_xvfb() {
  local number_file
  number_file=$(mktemp)
  # -displayfd picks a free display number itself (no race between parallel tests) and
  # writes it once the server accepts connections.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  KIT_XVFB_PID=$!
  local tries=0
  until grep -q '^[0-9][0-9]*$' "$number_file" 2>/dev/null; do
    if ! kill -0 "$KIT_XVFB_PID" 2>/dev/null; then
      rm -f "$number_file"
      kit_die "Xvfb did not start"
    fi
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ]; then
      rm -f "$number_file"
      kit_die "Xvfb gave no display number within 20 s"
    fi
    sleep 0.1
  done
  DISPLAY=":$(head -n 1 "$number_file")"
  export DISPLAY
  rm -f "$number_file"
}

kit_stop_xvfb() {
  if [ -n "${KIT_XVFB_PID:-}" ]; then
    kill "$KIT_XVFB_PID" 2>/dev/null || true
    wait "$KIT_XVFB_PID" 2>/dev/null || true
    KIT_XVFB_PID=
  fi
}

# The Windows path of a Unix path, through drive Z: (which maps / in every prefix).
kit_windows_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# Ends every process of $WINEPREFIX and waits (bounded) for its wineserver to go.
kit_stop_prefix() {
  "$KIT_WINESERVER" -k >/dev/null 2>&1 || true
  timeout 15 "$KIT_WINESERVER" -w >/dev/null 2>&1 || true
}

# Writes a .reg file into $WINEPREFIX with regedit; the caller restarts the wineserver.
kit_import_reg() {
  local reg_file=$1
  "$KIT_WINE64" regedit /S "$(kit_windows_path "$reg_file")" >/dev/null 2>&1 ||
    kit_die "regedit could not import $reg_file"
}

# Builds the template prefix once: wineboot, every port name unmapped, unmanaged windows.
# Parallel callers wait on a lock; DISPLAY must be set.
kit_prepare_template() {
  local template=$1
  [ -f "$template/.kit-ready" ] && return 0
  [ -n "${DISPLAY:-}" ] || kit_die "kit_prepare_template needs DISPLAY"
  mkdir -p "$(dirname "$template")"
  (
    flock -w 300 9 || kit_die "gave up after 300 s waiting for the lock on $template"
    [ -f "$template/.kit-ready" ] && exit 0
    kit_log "building the template prefix $template"
    local building="$template.building"
    rm -rf "$building" "$template"
    mkdir -p "$building"
    export WINEPREFIX="$building"
    # The first start of a prefix prints a harmless syswow64\rundll32.exe c0000135.
    timeout 180 "$KIT_WINE64" wineboot -i >"$building.log" 2>&1 ||
      { cat "$building.log" >&2; kit_die "wineboot -i failed"; }
    local reg_file="$building.reg"
    {
      printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
      for n in $(seq 1 15); do printf '"COM%d"=""\n' "$n"; done
      for n in 1 2 3; do printf '"LPT%d"=""\n' "$n"; done
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n'
    } >"$reg_file"
    kit_import_reg "$reg_file"
    kit_stop_prefix
    rm -f "$reg_file" "$building.log"
    touch "$building/.kit-ready"
    mv "$building" "$template"
  ) 9>"$template.lock" || exit 1
}

# A throwaway prefix for one run: a copy of the template (2-3 s, against 5-7 s for wineboot).
kit_copy_template() {
  local template=$1 prefix=$2
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  cp -a "$template" "$prefix"
  rm -f "$prefix/.kit-ready"
}

# KIT_WINE_PORTS="COM1=/dev/pts/7 LPT1=/tmp/lpt": maps port names of $WINEPREFIX to Unix
# devices (a socat pty, say) before the program under test starts.
kit_map_ports() {
  [ -n "${KIT_WINE_PORTS:-}" ] || return 0
  local reg_file="$WINEPREFIX.ports.reg" mapping
  {
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
    for mapping in $KIT_WINE_PORTS; do
      [[ $mapping == *=* ]] || kit_die "KIT_WINE_PORTS entry '$mapping' is not NAME=DEVICE"
      printf '"%s"="%s"\n' "${mapping%%=*}" "${mapping#*=}"
    done
  } >"$reg_file"
  kit_import_reg "$reg_file"
  rm -f "$reg_file"
  # The dosdevices links follow the registry at the next wineserver start.
  kit_stop_prefix
}
