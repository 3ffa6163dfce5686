#!/usr/bin/env bash
# Installs every Debian package that the build, the application and the tests need.
# Idempotent; uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  juce-modules-source
  libflac-dev libvorbis-dev libogg-dev
  libasound2-dev libfreetype-dev libfontconfig1-dev libx11-dev libxrandr-dev libxinerama-dev
  libxcursor-dev libxext-dev libgtk-3-dev libpng-dev libjpeg-dev
  libebur128-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-league-spartan fonts-dejavu-core
  zenity
  xvfb openbox xdotool x11-utils wmctrl
  python3 python3-gi gir1.2-gtk-3.0
  lame alsa-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
