#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root (never the
# machine's own /usr) and converts a WAV with the unpacked vorzik-convert, which
# must find the unpacked tools beside itself: the PATH holds none of them.
set -euo pipefail
cpack=$1 config=$2 samples=$3

fail() {
  echo "package test: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/vorzik_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "expected one vorzik_*.deb, found: ${debs[*]}"
fi
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libavcodec libc6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
lintian --fail-on error "$deb" || fail "lintian reports errors"

root="$work/root"
dpkg-deb -x "$deb" "$root"
for command in vorzik vorzik-convert; do
  link=$(readlink "$root/usr/bin/$command") || fail "usr/bin/$command is not a link"
  [[ $link != /* ]] || fail "usr/bin/$command links to the absolute path $link"
  [ -x "$root/usr/bin/$command" ] || fail "usr/bin/$command -> $link leads nowhere"
done

# Only the folder beside the program can supply the tools.
export PATH=/usr/bin:/bin
for tool in BeSweet.exe ql7rzfir.exe ql7rziir.exe normalize.exe; do
  ! command -v "$tool" >/dev/null || fail "$tool is on the PATH: $(command -v "$tool")"
done

folder="$work/rec"
mkdir "$folder"
"$samples" "$folder" >/dev/null
(cd "$folder" && "$root/usr/bin/vorzik-convert" tone_440.wav) >"$work/convert.log" 2>&1 ||
  { cat "$work/convert.log" >&2; fail "vorzik-convert failed"; }
# Every stage ran and the intermediate files went: the result stands alone.
produced=$(cd "$folder/EtcEnc" && ls)
[ "$produced" = "tone_440.mp2" ] || fail "EtcEnc holds: $produced"
probe=$(ffprobe -v error -show_entries stream=codec_name,channels,sample_rate:format=duration \
  -of default=nw=1 "$folder/EtcEnc/tone_440.mp2")
grep -qx 'codec_name=mp2' <<<"$probe" || fail "not MP2: $probe"
grep -qx 'channels=2' <<<"$probe" || fail "not stereo: $probe"
grep -qx 'sample_rate=48000' <<<"$probe" || fail "rate changed: $probe"
# The 3 s source comes out 3 s long, give or take a frame or two.
duration=$(sed -n 's/^duration=//p' <<<"$probe")
awk -v d="$duration" 'BEGIN { exit !(d > 2.9 && d < 3.1) }' || fail "duration $duration s"

entry="$root/usr/share/applications/vorzik.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
echo "package test: $(basename "$deb") converts tone_440.wav from its own folder"
