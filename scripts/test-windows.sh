#!/usr/bin/env bash
# The Windows half of the tests, on the build users run: the 32-bit release zip
# (built with every warning an error), then every Windows test built as i686
# and run under 32-bit Wine, the program test also on the vorzik.exe out of
# that zip, and the program test once more with Wine reporting Windows XP;
# last the x64 build, as a compile check only. Prints its time.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

find_wine_program() {
  command -v "$1" 2>/dev/null || { [ -x "/usr/lib/wine/$1" ] && echo "/usr/lib/wine/$1"; }
}
wine=$(find_wine_program wine) || { echo "test-windows: wine not found" >&2; exit 1; }
wineserver=$(find_wine_program wineserver) || { echo "test-windows: wineserver not found" >&2; exit 1; }
[ -x /usr/lib/wine/wine ] || { echo "test-windows: 32-bit Wine (wine32:i386) not found" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "test-windows: Xvfb not found" >&2; exit 1; }

start=$SECONDS
echo "test-windows: load at the start:$(uptime | sed 's/.*load average:/ load average/')"
# A prefix of our own, so no earlier Wine state counts and nothing stays behind.
work=$(mktemp -d "${TMPDIR:-/tmp}/vorzik-wine-XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installer dialog may block a run.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 932, so the Shift-JIS cases mean what they mean on the users' systems.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Window tests need a window system; none may reach a real display.
unset DISPLAY WAYLAND_DISPLAY
xvfb_pid=""

cleanup() {
  "$wineserver" -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# A private X server on a display number it picks itself, so runs side by side
# never share one; it writes the number once it accepts connections.
mkfifo "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
display_number=""
read -r -t 30 display_number <"$work/display" || true
[ -n "$display_number" ] || { echo "test-windows: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"

# The prefix is set up before the build: test discovery runs the test programs,
# and a first start that builds the prefix would eat the discovery time-out.
# Two stages: the first boot builds the prefix and its server ends with it;
# booted again under the persistent server, Wine's services are up before any
# test starts, instead of each window program waiting for them. Wine's own
# background programs get no output stream of ours: started by a test program,
# they would hold its output pipe open.
"$wine" wineboot --init >/dev/null 2>&1 </dev/null
"$wineserver" -w
"$wineserver" -p
"$wine" wineboot >/dev/null 2>&1 </dev/null
# The design face, as on the users' systems: a proportional Japanese Gothic.
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ \
  /d IPAPGothic /f >/dev/null 2>&1 </dev/null
# No window manager runs on the private X server, so Wine places its windows
# itself instead of waiting, at every hide, for a manager that never answers.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
  >/dev/null 2>&1 </dev/null
# Wine's desktop process, started here with no stream of ours, stays for the
# whole run. Started by a test program instead, it would hold that program's
# output pipe open until it ends, a second or more after the last window
# program, and CTest would wait for it.
"$wine" explorer.exe /desktop </dev/null >/dev/null 2>&1 &
echo "test-windows: Wine prefix ready after $((SECONDS - start)) s"

# The release, built with every warning an error, so a build that finishes is
# a build without warnings, also when nothing needed compiling. Each build
# folder is configured afresh, so it takes its preset's toolchain file (and
# thread model) even when it was first made with another one.
rm -f build/windows-i686/Vorzik-*-win32.zip
cmake --preset windows-i686 --fresh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build --preset windows-i686 -j2 --target package
zip=$(ls build/windows-i686/Vorzik-*-win32.zip)
echo "test-windows: windows-i686 release: ${zip} ($(stat -c %s "$zip") bytes)"
for exe in build/windows-i686/bin/*.exe; do
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  printf '  %-40s %9d bytes  imports: %s\n' "${exe#build/windows-i686/}" "$(stat -c %s "$exe")" "$dlls"
done

cmake --preset windows-i686-test --fresh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DVORZIK_RELEASE_ZIP="$PWD/$zip"
cmake --build --preset windows-i686-test -j2
ctest --preset windows-i686-test

# Once more with the prefix reporting Windows XP, the oldest system the program
# serves: both programs through the window, and the power action's path by the
# version the system reports (the version is checked, so the setting took).
"$wine" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f >/dev/null 2>&1 </dev/null
xp_start=$SECONDS
VORZIK_EXPECT_WINDOWS_VERSION=5.1 ctest --preset windows-i686-test \
  -R 'VorzikProgram|Win32SystemPowerCalls|ShutDownOnTheRunningSystemTakesTheNtPath'
echo "test-windows: the Windows XP run passed in $((SECONDS - xp_start)) s"

# 64-bit: compiled, never run (tests are discovered when run, so the build
# starts no program).
cmake --preset windows-x64-check --fresh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build --preset windows-x64-check -j2

echo "test-windows: passed in $((SECONDS - start)) s;$(uptime | sed 's/.*load average:/ load average/')"
