#!/usr/bin/env bash
# Installs what building, running and testing Lapforge needs on a Debian machine.
# Skips apt entirely when everything is already there, so repeated runs are quick.
set -euo pipefail

packages=(
  cmake g++ make googletest
  g++-mingw-w64-x86-64-posix
  wine wine64
  xvfb xdotool x11-utils imagemagick
  espeak-ng sox strace
  python3-numpy python3-pil fonts-dejavu-core fonts-dejavu-extra
  zip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
