#!/usr/bin/env bash
# Builds the Debian package of the release this runs on, unpacks it into a
# temporary root (never the machine's own /usr) and converts a WAV with the
# unpacked vorzik-convert, which must find the unpacked tools beside itself: the
# PATH holds none of them. Then installs it as a user would, into a throwaway
# copy of its release's chroot (see the end).
set -euo pipefail

fail() {
  echo "package test: $*" >&2
  exit 1
}

# The one output of converting tone_440.wav with the defaults: MP2, still stereo
# at 48 kHz, and 3 s long, give or take a frame or two.
check_mp2() {
  local probe duration
  [ -f "$1" ] || fail "no $1"
  probe=$(ffprobe -v error -show_entries stream=codec_name,channels,sample_rate:format=duration \
    -of default=nw=1 "$1")
  grep -qx 'codec_name=mp2' <<<"$probe" || fail "not MP2: $probe"
  grep -qx 'channels=2' <<<"$probe" || fail "not stereo: $probe"
  grep -qx 'sample_rate=48000' <<<"$probe" || fail "rate changed: $probe"
  duration=$(sed -n 's/^duration=//p' <<<"$probe")
  awk -v d="$duration" 'BEGIN { exit !(d > 2.9 && d < 3.1) }' || fail "duration $duration s"
}

# ---- The package installed with apt, in its release's chroot ----------------
# `package_test.sh --installed DEB WAV WORK` runs as root in a throwaway copy of
# the chroot (scripts/in-debian.sh): installs DEB, converts WAV with the
# vorzik-convert on the PATH, presses "Encode Start" and "EXIT" in the
# installed window on a private Xvfb, removes the package and checks that
# nothing of it is left.

# Every path of the system but what is mounted, the logs and the caches.
system_paths() {
  find / -xdev \( -path /var/log -o -path /var/cache -o -path /tmp \) -prune -o -print | sort
}

# Presses a button of the window $window at the middle of its designed geometry
# (no window manager, so the window has no frame).
press() {
  local left=$1 top=$2 width=$3 height=$4 X Y
  eval "$(xdotool getwindowgeometry --shell "$window" | grep '^[XY]=')"
  xdotool mousemove $((X + left + width / 2)) $((Y + top + height / 2)) click 1
}

program="" xvfb=""
installed_test() {
  local deb=$1 wav=$2 work=$3 display="" window=""
  trap 'kill $program $xvfb 2>/dev/null || true' EXIT
  system_paths >"$work/before"
  # What the programs write for their user is not the package's.
  export HOME="$work/home"
  mkdir "$HOME"
  apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt could not install $(basename "$deb")"; }

  [ "$(command -v vorzik-convert)" = /usr/bin/vorzik-convert ] ||
    fail "vorzik-convert on the PATH is $(command -v vorzik-convert)"
  mkdir "$work/convert"
  cp "$wav" "$work/convert/"
  (cd "$work/convert" && vorzik-convert tone_440.wav) >"$work/installed-convert.log" 2>&1 ||
    { cat "$work/installed-convert.log" >&2; fail "the installed vorzik-convert failed"; }
  check_mp2 "$work/convert/EtcEnc/tone_440.mp2"

  # The window on an X server of its own; it writes its number once it is up.
  mkfifo "$work/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  read -r -t 30 display <"$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$display"
  mkdir "$work/window"
  cp "$wav" "$work/window/"
  (cd "$work/window" && exec vorzik) >"$work/window.log" 2>&1 &
  program=$!
  for _ in $(seq 100); do
    window=$(xdotool search --name 'PC-QL7RZ/PCI' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { cat "$work/window.log" >&2; fail "the installed vorzik showed no window"; }
  sleep 1 # the first paint
  press 288 139 113 28 # B1 "Encode Start"
  # The batch is over when its output is there and no tool runs.
  for _ in $(seq 300); do
    [ -f "$work/window/EtcEnc/tone_440.mp2" ] && ! pgrep -P "$program" >/dev/null && break
    sleep 0.1
  done
  check_mp2 "$work/window/EtcEnc/tone_440.mp2"
  press 288 168 113 28 # B2 "EXIT"
  local status=0
  timeout 10 tail --pid="$program" -f /dev/null || fail "the installed vorzik did not end on EXIT"
  wait "$program" || status=$?
  program=""
  [ "$status" -eq 0 ] || { cat "$work/window.log" >&2; fail "the installed vorzik ended with $status"; }

  apt-get purge -y -q vorzik >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt could not remove vorzik"; }
  if dpkg-query -W -f='${db:Status-Status}' vorzik 2>/dev/null | grep -qv '^not-installed$'; then
    fail "dpkg still knows vorzik: $(dpkg-query -W -f='${db:Status-Abbrev}' vorzik)"
  fi
  system_paths >"$work/after"
  diff "$work/before" "$work/after" >&2 || fail "removing the package left the system changed"
}

if [ "${1:-}" = --installed ]; then
  installed_test "$2" "$3" "$4"
  exit 0
fi
# ---- end of the installed package's test ------------------------------------

cpack=$1 config=$2 samples=$3

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
for library in libqt6widgets6 libavcodec libavfilter libc6; do
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
(
  export PATH=/usr/bin:/bin
  for tool in BeSweet.exe ql7rzfir.exe ql7rziir.exe normalize.exe; do
    ! command -v "$tool" >/dev/null || fail "$tool is on the PATH: $(command -v "$tool")"
  done
)

folder="$work/rec"
mkdir "$folder"
"$samples" "$folder" >/dev/null
(cd "$folder" && PATH=/usr/bin:/bin "$root/usr/bin/vorzik-convert" tone_440.wav) \
  >"$work/convert.log" 2>&1 || { cat "$work/convert.log" >&2; fail "vorzik-convert failed"; }
# Every stage ran and the intermediate files went: the result stands alone.
produced=$(cd "$folder/EtcEnc" && ls)
[ "$produced" = "tone_440.mp2" ] || fail "EtcEnc holds: $produced"
check_mp2 "$folder/EtcEnc/tone_440.mp2"

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

# ---- Installed with apt into its release's chroot ---------------------------
# The package is named for the release it was built on and installs there, in
# a chroot of that release whose changes are dropped afterwards: the machine's
# own system is never touched. That needs root; without it (outside CI) the
# rest is skipped.
release=$(. /etc/os-release && echo "$VERSION_ID")
version=$(dpkg-deb -f "$deb" Version)
[[ $version == *"+deb$release" ]] || fail "version $version does not name Debian $release"
[ "$(basename "$deb")" = "vorzik_${version}_$(dpkg-deb -f "$deb" Architecture).deb" ] ||
  fail "file name $(basename "$deb") does not carry the version $version"
if [ "$(id -u)" -ne 0 ]; then
  [ "${CI:-}" != true ] || fail "installing into the chroot needs root"
  echo "package test: not root, so $(basename "$deb") is not installed into a chroot"
  exit 77
fi
chmod 755 "$work" # the chroot's apt reads the package as another user
bash "$(dirname "$0")/../../scripts/in-debian.sh" "$release" \
  bash "$(cd "$(dirname "$0")" && pwd)/package_test.sh" --installed "$deb" "$folder/tone_440.wav" "$work"
echo "package test: $(basename "$deb") installs with apt in Debian $release, converts," \
  "runs its window and removes cleanly"
