#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vorzik need.
# Idempotent: asks apt only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format clang-tidy
  qt6-base-dev qt6-qpa-plugins libqt6dbus6
  libavformat-dev libavcodec-dev libavfilter-dev libswresample-dev libavutil-dev
  libx11-dev
  libgtest-dev libgmock-dev
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic
  python3-dbusmock dbus
  sox ffmpeg
  lintian desktop-file-utils file appstream man-db librsvg2-bin
  g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 locales-all
)

# The users' 32-bit program is tested under 32-bit Wine, an i386 package.
packages+=(wine32:i386)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "deps: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
