#!/usr/bin/env bash
# Builds the release and starts the program on FOLDER (default: a generated
# demo folder). Without a display it runs the window on a private Xvfb, saves a
# screenshot to build/demo/screenshot.png and ends the program.
set -euo pipefail
cd "$(dirname "$0")"
root="$(pwd)"

bash scripts/deps.sh
cmake --preset release
cmake --build --preset release

demo="$root/build/demo"
mkdir -p "$demo"
samples="$root/build/release/bin/vorzik-samples"
if [ -x "$samples" ]; then
  "$samples" "$demo"
fi

folder="$(cd "${1:-$demo}" && pwd)"
program="$root/build/release/bin/vorzik"

if [ -n "${DISPLAY:-}" ]; then
  cd "$folder"
  exec "$program"
fi

# No display: a private Xvfb on the first free display number.
number=99
while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
  number=$((number + 1))
done
Xvfb ":${number}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":${number}"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

(cd "$folder" && exec "$program") &
program_pid=$!
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q 'PC-QL7RZ/PCI' && break
  sleep 0.1
done
sleep 1  # the first paint
shot="$demo/screenshot.png"
import -window root "$shot"
echo "run: no display; the window ran on Xvfb ${DISPLAY} in ${folder}"
echo "run: screenshot saved to ${shot}"
