#!/usr/bin/env bash
# Installs what the kit needs to build and test on Debian 12, and only what is missing:
# every package is checked with dpkg first, and apt-get runs (with one update) only when
# something must be installed.
set -euo pipefail

packages=(
  cmake g++ make                          # native build
  libgtest-dev libgmock-dev googletest    # unit tests; /usr/src/googletest for the mingw build
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 # product (i686) and Wine (x86_64) builds, objdump
  wine wine64                             # end-to-end tests run under /usr/lib/wine/wine64
  xvfb x11-apps x11-utils imagemagick     # virtual display, xwd/xwininfo, screenshots
  socat                                   # ptys standing in for serial and parallel ports
)

# dpkg -s also answers for a package that was removed but left its configuration behind:
# only the status "install ok installed" counts.
installed() {
  [ "$( (dpkg -s "$1" 2>/dev/null || true) | sed -n 's/^Status: //p')" = "install ok installed" ]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: run as root, or install them yourself: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y "${missing[@]}"
