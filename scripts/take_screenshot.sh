#!/usr/bin/env bash
# take_screenshot.sh <output.png> [WxH+X+Y]: a PNG of the X display $DISPLAY, cropped to the
# given screen rectangle (a window's, as Win32 reports it: without a window manager Wine places
# its windows at the same coordinates on the X screen). The Wine tests run it from inside Wine to picture a window in
# a known state; the picture is written beside its final name first, so that a reader never
# finds half a file.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then echo "usage: $0 <output.png> [WxH+X+Y]" >&2; exit 2; fi
output=$1
geometry=${2:-}
[ -n "${DISPLAY:-}" ] || { echo "$0: DISPLAY is not set" >&2; exit 1; }
if [ -n "$geometry" ] && ! [[ $geometry =~ ^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$ ]]; then
  echo "$0: '$geometry' is not WxH+X+Y" >&2
  exit 2
fi

mkdir -p "$(dirname "$output")"
partial="$output.partial.$$"
trap 'rm -f "$partial"' EXIT
crop=()
# +repage drops the offset that -crop leaves in the PNG.
[ -n "$geometry" ] && crop=(-crop "$geometry" +repage)
# A picture of one colour is a window that has not been drawn yet (a first start in a fresh
# prefix can take a moment): look again for a while before giving up without a picture.
for _ in $(seq 1 25); do
  xwd -root -silent | convert xwd:- "${crop[@]}" "png:$partial"
  if [ "$(identify -format '%k' "$partial")" -gt 1 ]; then
    mv -f "$partial" "$output"
    exit 0
  fi
  sleep 0.2
done
echo "$0: the display shows one colour only at ${geometry:-the whole screen}; no picture saved" >&2
exit 1
