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
# Every tag, down to the pedantic ones: the binaries' hardening and stripping
# show up here as info tags.
tags=$(lintian --pedantic -I --fail-on none "$deb" 2>"$work/lintian.err") ||
  { cat "$work/lintian.err" >&2; fail "lintian did not run"; }
[ -z "$tags" ] || fail "lintian reports: $tags"

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

# Desktop integration: the metainfo names the menu entry by its id, the entry
# opens a folder handed to it, and the icon comes in every size.
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ ${#metainfo[@]} -eq 1 ] && [ -f "${metainfo[0]}" ] || fail "expected one metainfo file"
validation=$(appstreamcli validate --pedantic --no-net "${metainfo[0]}" 2>&1) ||
  fail "appstreamcli rejects the metainfo: $validation"
! grep -Eq '^[EWIP]: ' <<<"$validation" || fail "appstreamcli remarks: $validation"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "${metainfo[0]}")
[ "$(basename "${metainfo[0]}")" = "$id.metainfo.xml" ] || fail "metainfo file not named $id"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "${metainfo[0]}")
[ "$launchable" = "$id.desktop" ] || fail "launchable $launchable is not $id.desktop"
homepage=$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "${metainfo[0]}")
[ "$(dpkg-deb -f "$deb" Homepage)" = "$homepage" ] || fail "Homepage is not $homepage"

entry="$root/usr/share/applications/$launchable"
[ -f "$entry" ] || fail "no menu entry $launchable"
grep -qx 'Exec=vorzik %f' "$entry" || fail "the entry does not pass the folder: $(grep ^Exec= "$entry")"
grep -qx 'MimeType=inode/directory;' "$entry" || fail "the entry opens no folder"
# SingleMainWindow is newer than Debian 12's validator (desktop-file-utils
# 0.26), which rejects every key it does not know; it is checked on its own there.
validated="$work/$launchable"
if dpkg --compare-versions "$(dpkg-query -W -f='${Version}' desktop-file-utils)" lt 0.27; then
  grep -qx 'SingleMainWindow=true' "$entry" || fail "the entry lacks SingleMainWindow=true"
  grep -vx 'SingleMainWindow=true' "$entry" >"$validated"
else
  cp "$entry" "$validated"
fi
desktop-file-validate "$validated" || fail "desktop-file-validate rejects the entry"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
for size in 16 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  file "$png" | grep -q "PNG image data, $size x $size," || fail "no $size px icon: $(file "$png")"
done

# The manual pages render without a warning and say the licence; the commands
# answer --version without a display.
for command in vorzik vorzik-convert; do
  page="$root/usr/share/man/man1/$command.1.gz"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man.err") ||
    fail "man cannot render $command.1"
  [ ! -s "$work/man.err" ] || fail "$command.1: $(cat "$work/man.err")"
  grep -q 'GNU General Public License' <<<"$text" || fail "$command.1 names no licence"
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$command" --version) ||
    fail "$command --version failed"
  grep -q 'GPLv3+' <<<"$version" || fail "$command --version names no licence: $version"
done
grep -qx 'License: GPL-3+' "$root/usr/share/doc/vorzik/copyright" || fail "copyright: no GPL-3+"
echo "package test: $(basename "$deb") converts tone_440.wav from its own folder"
