#!/usr/bin/env bash
# Builds the Windows programs with MinGW-w64: the x64 build and its tests, run
# under wine64, then the 32-bit release for users, which must build without a
# warning. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

find_wine_program() {
  command -v "$1" 2>/dev/null || { [ -x "/usr/lib/wine/$1" ] && echo "/usr/lib/wine/$1"; }
}
wine64=$(find_wine_program wine64) || { echo "test-windows: wine64 not found" >&2; exit 1; }
wineserver=$(find_wine_program wineserver) || { echo "test-windows: wineserver not found" >&2; exit 1; }

start=$SECONDS
# A prefix of our own, so no earlier Wine state counts and nothing stays behind.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vorzik-wine-XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer dialog may block a run.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 932, so the Shift-JIS cases mean what they mean on the users' systems.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Window tests need a window system; none may reach a real display.
unset DISPLAY WAYLAND_DISPLAY
command -v Xvfb >/dev/null || { echo "test-windows: Xvfb not found" >&2; exit 1; }
xvfb_pid=""

cleanup() {
  "$wineserver" -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# A private X server on a display number it picks itself, so runs side by side
# never share one. It is up before Wine starts, so Wine's desktop process,
# started once for the whole prefix, has a display to draw on.
display_file="$WINEPREFIX/.x-display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
display_number=$(tr -dc '0-9' <"$display_file" 2>/dev/null || true)
[ -n "$display_number" ] || { echo "test-windows: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"

# One server for all test programs instead of one per start; -k above ends it.
"$wineserver" -p
# The prefix is set up before the build: test discovery runs the test programs,
# and a first start that builds the prefix would eat the discovery time-out.
# This also starts Wine's own background programs here, with no output stream
# of ours: started by a test program, they would hold its output pipe open.
"$wine64" wineboot --init >/dev/null 2>&1 </dev/null

cmake --preset windows-x64-test
cmake --build --preset windows-x64-test -j2
ctest --preset windows-x64-test

# The release is built with every warning an error, so a build that finishes is
# a build without warnings, also when nothing needed compiling.
cmake --preset windows-i686 -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build --preset windows-i686 -j2
echo "test-windows: windows-i686 release:"
for exe in build/windows-i686/bin/*.exe; do
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  printf '  %-40s %9d bytes  imports: %s\n' "${exe#build/windows-i686/}" "$(stat -c %s "$exe")" "$dlls"
done
echo "test-windows: passed in $((SECONDS - start)) s"
