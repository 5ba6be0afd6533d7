#!/usr/bin/env bash
# Checks of the 32-bit product build that need no Windows, read from the PE headers with
# i686-w64-mingw32-objdump -p: every deliverable is a 32-bit image (pei-i386) with subsystem
# version 4.0 and imports no function that Windows 98 lacks (cmake/win9x_forbidden_imports.txt);
# a DLL also exports its entry points under their plain names.
#
#   scripts/check_win32.sh [build dir, default build/win32] [results file]
#
# To check another deliverable, add one line at the end: check_program FILE, or
# check_dll FILE EXPORTED_NAME...  Exit status: 0 when every check passed.
set -euo pipefail

repo_root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(realpath -m "${1:-$repo_root/build/win32}")
results_file=${2:-}
forbidden_list=$repo_root/cmake/win9x_forbidden_imports.txt
objdump=i686-w64-mingw32-objdump

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "  ok    $*"; }
fail() { failed=$((failed + 1)); echo "  FAIL  $*"; }

# objdump -p of each file, read once by check_program. Every reader of it reads to the end:
# one that stopped early would fail the writer of the pipe under pipefail.
declare -A dumps
dump() { printf '%s\n' "${dumps[$1]}"; }

# "DLL function" for every import by name.
imports() {
  dump "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^[^\t ]/ && !/^$/ { inside = 0 }
    inside && /DLL Name:/ { dll = $3; next }
    inside && dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+/ { print dll, $3 }'
}

# Names in the export table.
exports() {
  dump "$1" | awk '
    /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && /^\t\[ *[0-9]+\] / { sub(/^\t\[ *[0-9]+\] /, ""); print; next }
    inside { inside = 0 }'
}

header_value() {
  dump "$1" | awk -v key="$2" '$1 == key && !seen { print $2; seen = 1 }'
}

check_pe32() {
  local file=$1 name=$2 format
  format=$(dump "$file" | awk '/file format/ && !seen { print $NF; seen = 1 }')
  if [ "$format" = pei-i386 ]; then
    pass "$name: 32-bit PE image (pei-i386)"
  else
    fail "$name: file format ${format:-unknown}, not a 32-bit PE image (pei-i386)"
  fi
}

check_subsystem_4_0() {
  local file=$1 name=$2 major minor
  major=$(header_value "$file" MajorSubsystemVersion)
  minor=$(header_value "$file" MinorSubsystemVersion)
  if [ "$major" = 4 ] && [ "$minor" = 0 ]; then
    pass "$name: subsystem version 4.0"
  else
    fail "$name: subsystem version $major.$minor, Windows 9x and NT 4 need 4.0"
  fi
}

check_imports_win98() {
  local file=$1 name=$2 found
  found=$(imports "$file" | awk '
    NR == FNR { sub(/#.*/, ""); if ($1 != "") forbidden[$1] = 1; next }
    ($2 in forbidden) { print "    " $1 " " $2 }' "$forbidden_list" -)
  if [ -z "$found" ]; then
    pass "$name: imports nothing Windows 98 lacks"
  else
    fail "$name: imports what Windows 98 lacks:"
    echo "$found"
  fi
}

check_exports() {
  local file=$1 name=$2 wanted
  shift 2
  local names
  names=$(exports "$file")
  for wanted in "$@"; do
    if grep -qxF "$wanted" <<<"$names"; then
      pass "$name: exports $wanted"
    else
      fail "$name: does not export $wanted under that plain name; its exports: ${names//$'\n'/ }"
    fi
  done
}

# Lists what a deliverable imports, for the log.
show_imports() {
  imports "$1" | awk '
    $1 != dll { if (dll != "") print line; dll = $1; line = "    " dll ":"; }
    { line = line " " $2 }
    END { if (dll != "") print line }'
}

check_program() {
  local file=$build_dir/$1 name
  name=$(basename "$1")
  echo "$name ($file)"
  if [ ! -f "$file" ]; then
    fail "$name: not built"
    return
  fi
  local complaint
  if ! dumps[$file]=$("$objdump" -p "$file" 2>"$scratch/objdump.err"); then
    complaint=$(cat "$scratch/objdump.err")
    unset "dumps[$file]"
    fail "$name: not a 32-bit PE image: ${complaint:-objdump failed}"
    return
  fi
  show_imports "$file"
  check_pe32 "$file" "$name"
  check_subsystem_4_0 "$file" "$name"
  check_imports_win98 "$file" "$name"
}

check_dll() {
  local relative=$1
  shift
  check_program "$relative"
  # A file that is missing or unreadable has failed in check_program already.
  if [ -n "${dumps[$build_dir/$relative]+set}" ]; then
    check_exports "$build_dir/$relative" "$(basename "$relative")" "$@"
  fi
}

# ---- Removal modules: CleanNT5.dll and CleanNT6.dll ----------------------------------------
# The installer and the uninstaller load a removal module by its bare name and look up its one
# export by its plain name. So the export table must hold exactly that name: no "@8" that i686
# gives a __stdcall function, and nothing else. The module is copied alone beside the
# uninstaller, so it must need no runtime DLL (libgcc, libstdc++, winpthread) either. These
# DLLs are for the NT family only: the Windows 98 import list does not apply to them.
check_removal_module() {
  local relative=$1 wanted=$2
  local file=$build_dir/$relative name
  name=$(basename "$relative")
  echo "$name ($file)"
  if [ ! -f "$file" ]; then
    fail "$name: not built"
    return
  fi
  if ! dumps[$file]=$("$objdump" -p "$file" 2>"$scratch/objdump.err"); then
    unset "dumps[$file]"
    fail "$name: not a PE image: $(cat "$scratch/objdump.err")"
    return
  fi
  show_imports "$file"
  check_pe32 "$file" "$name"
  local names runtime
  names=$(exports "$file")
  if [ "$names" = "$wanted" ]; then
    pass "$name: exports exactly $wanted, undecorated"
  else
    fail "$name: exports \"${names//$'\n'/ }\", not exactly $wanted"
  fi
  runtime=$(imports "$file" | awk '{ print $1 }' | sort -u | grep -iE '^(libgcc|libstdc\+\+|libwinpthread)' || true)
  if [ -z "$runtime" ]; then
    pass "$name: needs no runtime DLL"
  else
    fail "$name: needs the runtime DLLs ${runtime//$'\n'/ }"
  fi
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

[ -f "$forbidden_list" ] || { echo "no list $forbidden_list" >&2; exit 2; }
command -v "$objdump" >/dev/null || { echo "$objdump not found (package binutils-mingw-w64-i686)" >&2; exit 2; }
echo "Checking the 32-bit product build in $build_dir"

# The deliverables, as paths inside the build tree; a DLL is followed by the names it must
# export (e.g. check_dll removal_module/CleanNT5.dll RemoveFromWin2k).
check_program settings_utility/main_window/win32/QuintKora.exe
check_removal_module removal_module/CleanNT5.dll RemoveFromWin2k
check_removal_module removal_module/CleanNT6.dll RemoveFromVISTA
# The uninstaller, and the removal modules copied beside it for it to load by bare name. The
# Windows 98 list catches what the static runtime drags in; it does not prove that the
# uninstaller loads on the 9x family, whose spooler and security libraries lack NT calls.
check_program uninstaller/win32/HRX410_Uninstaller.exe
check_removal_module uninstaller/win32/CleanNT5.dll RemoveFromWin2k
check_removal_module uninstaller/win32/CleanNT6.dll RemoveFromVISTA

# The installer, in the folder a user runs it from, with what it installs: the uninstaller and
# the removal modules, and the demo driver package's language monitor and print processor,
# which the spooler loads and looks up by their plain export names. The installer must start on
# Windows 98 to refuse it there, so the Windows 98 list applies to it; the spooler's modules run
# only inside the NT spooler and must need no runtime DLL, as nothing else is copied with them.
check_spooler_module() {
  local relative=$1
  shift
  local file=$build_dir/$relative name names wanted runtime
  name=$(basename "$relative")
  echo "$name ($file)"
  if [ ! -f "$file" ]; then
    fail "$name: not built"
    return
  fi
  if ! dumps[$file]=$("$objdump" -p "$file" 2>"$scratch/objdump.err"); then
    unset "dumps[$file]"
    fail "$name: not a PE image: $(cat "$scratch/objdump.err")"
    return
  fi
  check_pe32 "$file" "$name"
  names=$(exports "$file" | sort)
  wanted=$(printf '%s\n' "$@" | sort)
  if [ "$names" = "$wanted" ]; then
    pass "$name: exports exactly ${wanted//$'\n'/ }, undecorated"
  else
    fail "$name: exports \"${names//$'\n'/ }\", not exactly ${wanted//$'\n'/ }"
  fi
  runtime=$(imports "$file" | awk '{ print $1 }' | sort -u | grep -iE '^(libgcc|libstdc\+\+|libwinpthread)' || true)
  if [ -z "$runtime" ]; then
    pass "$name: needs no runtime DLL"
  else
    fail "$name: needs the runtime DLLs ${runtime//$'\n'/ }"
  fi
}
check_program installer/kit/HRX410_Installer.exe
check_program installer/kit/HRX410_Uninstaller.exe
check_removal_module installer/kit/CleanNT5.dll RemoveFromWin2k
check_removal_module installer/kit/CleanNT6.dll RemoveFromVISTA
check_spooler_module installer/kit/driver2k/HRMON410.DLL InitializePrintMonitor2
check_spooler_module installer/kit/driver2k/HRPRO410.DLL ClosePrintProcessor ControlPrintProcessor \
  EnumPrintProcessorDatatypesW GetPrintProcessorCapabilities OpenPrintProcessor PrintDocumentOnPrintProcessor

echo "check_win32: $passed passed, $failed failed"
if [ -n "$results_file" ]; then
  mkdir -p "$(dirname "$results_file")"
  echo "$passed $failed" >"$results_file"
fi
[ "$failed" -eq 0 ]
