#!/usr/bin/env bash
# Builds the release and starts the program on FOLDER (default: a generated
# demo folder). Without a display it runs the window on a private Xvfb, presses
# "Encode Start" as a user would, waits for the batch, saves a screenshot to
# build/demo/screenshot.png, lists what the work folder holds and presses "EXIT".
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

# A fresh demo each time: the work folder of an earlier run goes.
if [ "$folder" = "$demo" ]; then rm -rf "$demo/EtcEnc"; fi

(cd "$folder" && exec "$program") &
program_pid=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name 'PC-QL7RZ/PCI' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "run: the window did not appear" >&2
  exit 1
fi
sleep 1  # the first paint

# Press a button as a user would: its middle, from the designed geometry
# (the window has no frame on a bare X server, so client and window agree).
click() {
  local left=$1 top=$2 width=$3 height=$4
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + left + width / 2)) $((Y + top + height / 2)) click 1
}

sources=$(find "$folder" -maxdepth 1 -type f \( -iname '*.mp2' -o -iname '*.mpa' -o -iname '*.wav' \) \
  ! -name '.*' | wc -l)
echo "run: pressing \"Encode Start\" on ${sources} file(s) in ${folder}"
start=$(date +%s)
click 288 139 113 28   # B1 "Encode Start"

# The batch is over when every source has its output and no tool runs.
idle=0
for _ in $(seq 1200); do
  done_count=$(find "$folder/EtcEnc" -maxdepth 1 -type f ! -name '*_TMP?.wav' 2>/dev/null | wc -l)
  if [ "$done_count" -ge "$sources" ] && ! pgrep -P "$program_pid" >/dev/null; then
    idle=$((idle + 1))
    [ "$idle" -ge 5 ] && break
  else
    idle=0
  fi
  sleep 0.2
done
echo "run: the batch took $(( $(date +%s) - start )) s"

shot="$demo/screenshot.png"
import -window root "$shot"
echo "run: no display; the window ran on Xvfb ${DISPLAY} in ${folder}"
echo "run: screenshot saved to ${shot}"

echo "run: files in ${folder}/EtcEnc (format, bit rate, duration):"
if [ -d "$folder/EtcEnc" ]; then
  find "$folder/EtcEnc" -maxdepth 1 -type f -print0 | sort -z | while IFS= read -r -d '' f; do
    info=$(ffprobe -v error -show_entries format=format_name,bit_rate,duration \
      -of default=nw=1 "$f" | paste -sd ' ' -)
    printf '  %-32s %s\n' "$(basename "$f")" "$info"
  done
fi

click 288 168 113 28   # B2 "EXIT"
for _ in $(seq 50); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "run: the program did not end on EXIT" >&2
else
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  echo "run: EXIT pressed; the program has ended"
fi
