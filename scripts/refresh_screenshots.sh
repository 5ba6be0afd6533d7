#!/usr/bin/env bash
# `make screenshots`: copies the windows' screenshots that the skin's Wine test took
# (build/screenshots/, each already cropped to its window) into docs/, where the README shows
# them: lossless, without metadata, compressed hard. A window's picture holds a few hundred
# colours at most, so PNG keeps each one at some kilobytes. These PNGs are the only binary
# files in git.
set -euo pipefail

repo_root=$(cd "$(dirname "$0")/.." && pwd)
source_dir=${1:-$repo_root/build/screenshots}
docs=$repo_root/docs
pictures=(main-disconnected main-connected port-settings)

for name in "${pictures[@]}"; do
  [ -s "$source_dir/$name.png" ] ||
    { echo "refresh_screenshots.sh: no $source_dir/$name.png (the skin test makes it)" >&2; exit 1; }
done
mkdir -p "$docs"
for name in "${pictures[@]}"; do
  target=$docs/$name.png
  # -define png:exclude-chunks=date,time keeps the bytes the same for the same picture, so
  # that a refresh without a visible change changes nothing in git.
  convert "$source_dir/$name.png" -strip -define png:compression-level=9 \
    -define png:compression-filter=5 -define png:exclude-chunks=date,time "png:$target.partial"
  mv -f "$target.partial" "$target"
  echo "refresh_screenshots.sh: $target ($(identify -format '%wx%h' "$target"), $(stat -c %s "$target") bytes)"
done
