#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vorzik need.
# Idempotent: asks apt only when something is missing.
#   scripts/deps.sh [--linux-only] [--print]
# --linux-only: only what the Linux build, its tests and its package need (what
#   a chroot of another release gets from scripts/in-debian.sh): no formatter or
#   linter, no debootstrap, nothing of the Windows build, no i386 architecture.
# --print: name the packages, one a line, and install nothing.
set -euo pipefail

linux_only=false print=false
for option in "$@"; do
  case $option in
    --linux-only) linux_only=true ;;
    --print) print=true ;;
    *) echo "deps: unknown option $option (--linux-only, --print)" >&2; exit 2 ;;
  esac
done

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-qpa-plugins libqt6dbus6
  libavformat-dev libavcodec-dev libavfilter-dev libswresample-dev libavutil-dev
  libx11-dev
  libgtest-dev libgmock-dev
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic
  python3-dbusmock dbus
  sox ffmpeg
  lintian desktop-file-utils file appstream man-db librsvg2-bin
)
if ! $linux_only; then
  # One pinned formatter and linter for the whole tree, and the chroots of the
  # other Debian releases.
  packages+=(clang-format clang-tidy debootstrap)
  # The Windows build; its users' 32-bit program is tested under 32-bit Wine,
  # an i386 package.
  packages+=(g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 locales-all wine32:i386)
fi

if $print; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
  if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
