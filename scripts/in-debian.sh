#!/usr/bin/env bash
# Runs COMMAND as root in a chroot of Debian RELEASE (12 or bookworm, 13 or trixie),
# with this work tree at the same path as outside:
#   scripts/in-debian.sh RELEASE COMMAND...
# The chroot is made once, with debootstrap from the mirror and keyring this
# machine's apt uses, and holds the packages `scripts/deps.sh --linux-only`
# names. It is kept in $VORZIK_CHROOT_CACHE (default /var/cache/vorzik-chroot)
# under the release and a hash of that list, so a changed list makes a fresh one
# and work trees with the same list share it. Every run gets a copy-on-write
# layer over it that is dropped at the end: a command may install and remove
# packages, and runs side by side never see each other's changes.
# The run's mounts (the layer, the work tree, ccache's folder, /tmp, /proc,
# /sys, /dev) live in a mount namespace of the run's own, so other work trees
# never see them; they are unmounted on every way out, and a mount left behind
# fails the run. VORZIK_DEBIAN_MIRROR names another mirror than apt's.
set -euo pipefail

scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tree=$(dirname "$scripts")
say() { echo "in-debian: $*" >&2; }
die() {
  say "$*"
  exit 1
}

[ $# -ge 2 ] || die "usage: scripts/in-debian.sh RELEASE COMMAND..."
case $1 in
  12 | bookworm) release=12 codename=bookworm ;;
  13 | trixie) release=13 codename=trixie ;;
  *) die "unknown release $1: 12 (bookworm) or 13 (trixie)" ;;
esac
shift
[ "$(id -u)" -eq 0 ] || die "needs root: debootstrap, mount and chroot do"

# Everything mounted from here on is private to this run: the same process
# continues in a mount namespace of its own.
if [ "${VORZIK_MOUNT_NAMESPACE:-}" != $$ ]; then
  VORZIK_MOUNT_NAMESPACE=$$ exec unshare --mount --propagation private -- \
    bash "${BASH_SOURCE[0]}" "$release" "$@"
fi
unset VORZIK_MOUNT_NAMESPACE

# Bumped when the chroot is made differently, so the old ones are not reused.
layout=1
cache=${VORZIK_CHROOT_CACHE:-/var/cache/vorzik-chroot}
base_inside=/run/vorzik-base # where a run sees the chroot it runs on, unchanged
ccache_dir=$(ccache -k cache_dir 2>/dev/null || true)
ccache_size=$(ccache -k max_size 2>/dev/null || true)
mounted_root="" scratch="" child="" new=""

# The deb sources of this machine's apt, one "URI SUITE KEYRING" a line, from
# both the one-line and the deb822 format.
host_sources() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    sed -e 's/#.*//' "$file" | awk '$1 == "deb" {
      keyring = ""; i = 2
      if ($2 ~ /^\[/) {
        for (; i <= NF; i++) {
          if ($i ~ /^\[?signed-by=/) { keyring = $i; sub(/^\[?signed-by=/, "", keyring); sub(/\]$/, "", keyring) }
          if ($i ~ /\]$/) break
        }
        i++
      }
      print $i, $(i + 1), keyring
    }'
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'function flush(   u, s, nu, ns, us, ss) {
           if (types ~ /(^| )deb( |$)/ && enabled !~ /^(no|false)$/) {
             nu = split(uris, us, " "); ns = split(suites, ss, " ")
             for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print us[u], ss[s], keyring
           }
           types = uris = suites = keyring = enabled = ""
         }
         /^[ \t]*#/ { next }
         /^[ \t]*$/ { flush(); next }
         { field = tolower($1); sub(/:$/, "", field); value = $0; sub(/^[^:]*:[ \t]*/, "", value) }
         field == "types" { types = value } field == "uris" { uris = value }
         field == "suites" { suites = value } field == "signed-by" { keyring = value }
         field == "enabled" { enabled = tolower(value) }
         END { flush() }' "$file"
  done
}

# The mount points at or below $1 in this namespace, the last mounted first.
mounts_under() {
  local target
  findmnt -rn -o TARGET | tac | while read -r target; do
    target=$(printf '%b' "$target") # findmnt writes a space as \x20
    if [ "$target" = "$1" ] || [[ $target == "$1"/* ]]; then echo "$target"; fi
  done
}

unmount_under() {
  local target
  while read -r target; do
    umount "$target" 2>/dev/null || umount -l "$target" || say "could not unmount $target"
  done < <(mounts_under "$1")
}

# Fails when anything is still mounted at or below $1.
check_unmounted() {
  local left
  left=$(mounts_under "$1")
  [ -z "$left" ] || die "still mounted after the run: $left"
}

# Removes a chroot being made, never through a mount.
remove_unfinished() {
  check_unmounted "$1"
  rm -rf --one-file-system "$1"
}

# /proc, /sys, /dev, /tmp, the work tree, ccache's folder and the unchanged
# chroot, inside the root $1.
mount_into() {
  local root=$1 path
  mounted_root=$root
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --bind /tmp "$root/tmp"
  for path in "$tree" "$ccache_dir"; do
    if [ -n "$path" ] && [ -d "$path" ]; then
      mkdir -p "$root$path"
      mount --bind "$path" "$root$path"
    fi
  done
  if [ -e "$base/.vorzik-ready" ]; then
    mkdir -p "$root$base_inside"
    mount --bind "$base" "$root$base_inside"
    mount -o remount,bind,ro "$root$base_inside"
  fi
}

# The processes whose root folder is $1 or below (those of nested runs too).
processes_in() {
  local link root
  for link in /proc/[0-9]*/root; do
    root=$(readlink "$link" 2>/dev/null) || continue
    if [ "$root" = "$1" ] || [[ $root == "$1"/* ]]; then
      link=${link#/proc/}
      echo "${link%/root}"
    fi
  done
}

# Processes still running in the chroot once the command has ended (a daemon a
# package started, a job a shell left behind) go too, TERM first and KILL two
# seconds later: nothing outlives the run or holds its mounts.
stop_leftovers() {
  local pids _
  pids=$(processes_in "$1")
  [ -n "$pids" ] || return 0
  # shellcheck disable=SC2086 # one pid a word
  kill -TERM $pids 2>/dev/null || true
  for _ in $(seq 10); do
    pids=$(processes_in "$1")
    [ -n "$pids" ] || return 0
    sleep 0.2
  done
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null || true
}

cleanup() {
  local status=$?
  if [ -n "$mounted_root" ]; then
    stop_leftovers "$mounted_root"
    unmount_under "$mounted_root"
    (check_unmounted "$mounted_root") || status=1
  fi
  if [ -n "$scratch" ]; then
    unmount_under "$scratch"
    (check_unmounted "$scratch") && rmdir "$scratch" || status=1
  fi
  if [ -n "$new" ] && [ -d "$new" ]; then
    (remove_unfinished "$new") || status=1
  fi
  exit "$status"
}
trap cleanup EXIT

# A signal is passed on to the command's process group; what still runs five
# seconds later is stopped by cleanup, before the mounts go.
stop() {
  local _
  trap - INT TERM HUP
  if [ -n "$child" ]; then
    kill "-$1" -- "-$child" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$child" 2>/dev/null || break
      sleep 0.1
    done
  fi
  exit "$2"
}
trap 'stop INT 130' INT
trap 'stop TERM 143' TERM
trap 'stop HUP 129' HUP

environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
  LANG=C.UTF-8 TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive
  VORZIK_DEBIAN_RELEASE="$release")
while IFS= read -r name; do
  environment+=("$name=${!name}")
done < <(compgen -e | grep -E '^(CI|CTEST_.*|GTEST_.*)$' || true)
if [ -n "$ccache_dir" ]; then
  # The host's limit, so the chroot's ccache does not trim the shared cache to its default.
  environment+=(CCACHE_DIR="$ccache_dir" ${ccache_size:+CCACHE_MAXSIZE="$ccache_size"})
fi

# Runs "$@" in the root $1, in the folder $2, without the lock's descriptor, so
# nothing the command leaves behind holds the lock. At a terminal it runs in the
# foreground and gets its keys and signals; elsewhere in a process group of its
# own, which a signal to this script reaches.
in_root() {
  local root=$1 cwd=$2 status=0
  shift 2
  local command=(chroot "$root" /usr/bin/env -i "${environment[@]}"
    /bin/sh -c 'cd "$1" && shift && exec "$@"' in-debian "$cwd" "$@")
  if [ -t 0 ]; then
    "${command[@]}" 9>&-
    return
  fi
  set -m
  "${command[@]}" 9>&- &
  child=$!
  set +m
  wait "$child" || status=$?
  child=""
  return "$status"
}

# The sources this machine's apt uses for its own release, turned to $codename,
# as the chroot's deb822 list in $sources; $mirror and $keyring for debootstrap.
chroot_sources() {
  local host_codename uri suite ring
  host_codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  mirror=${VORZIK_DEBIAN_MIRROR:-} keyring="" sources=""
  while read -r uri suite ring; do
    case $suite in
      "$host_codename" | "$host_codename"-updates | "$host_codename"-security) ;;
      *) continue ;;
    esac
    if [ -z "$mirror" ] && [ "$suite" = "$host_codename" ]; then mirror=$uri keyring=$ring; fi
    [ -z "${VORZIK_DEBIAN_MIRROR:-}" ] || continue
    sources+="Types: deb"$'\n'"URIs: $uri"$'\n'"Suites: $codename${suite#"$host_codename"}"
    sources+=$'\n'"Components: main"$'\n'"${ring:+Signed-By: $ring$'\n'}"$'\n'
  done < <(host_sources)
  [ -n "$mirror" ] || die "no Debian mirror for $host_codename in /etc/apt: set VORZIK_DEBIAN_MIRROR"
  if [ -n "${VORZIK_DEBIAN_MIRROR:-}" ]; then
    sources="Types: deb"$'\n'"URIs: $mirror"$'\n'"Suites: $codename"$'\n'"Components: main"$'\n'
  fi
  keyring=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
}

make_chroot() {
  local started=$SECONDS log=$base.log mirror keyring sources
  new=$base.new
  if [ -e "$new" ]; then remove_unfinished "$new"; fi
  chroot_sources
  say "making the Debian $release ($codename) chroot $base from $mirror (log: $log)"
  if ! debootstrap --variant=minbase --components=main --keyring="$keyring" \
    "$codename" "$new" "$mirror" >"$log" 2>&1; then
    tail -n 5 "$log" >&2
    die "debootstrap could not make Debian $release ($codename) from $mirror: see $log"
  fi
  rm -f "$new/etc/apt/sources.list"
  printf '%s' "$sources" >"$new/etc/apt/sources.list.d/debian.sources"
  # The keyrings the sources name, where the chroot lacks them.
  while read -r ring; do
    if [ -f "$ring" ] && [ ! -e "$new$ring" ]; then install -D -m 644 "$ring" "$new$ring"; fi
  done < <(sed -n 's/^Signed-By: //p' <<<"$sources")
  # Installing a package starts no service.
  printf '#!/bin/sh\nexit 101\n' >"$new/usr/sbin/policy-rc.d"
  chmod 755 "$new/usr/sbin/policy-rc.d"
  mount_into "$new"
  if ! in_root "$new" / sh -c 'bash "$1" --linux-only && apt-get clean' sh \
    "$tree/scripts/deps.sh" >>"$log" 2>&1; then
    tail -n 5 "$log" >&2
    die "the packages of scripts/deps.sh --linux-only did not install in $new: see $log"
  fi
  unmount_under "$new"
  mounted_root=""
  check_unmounted "$new"
  touch "$new/.vorzik-ready"
  mv "$new" "$base"
  new=""
  say "made the Debian $release chroot in $((SECONDS - started)) s"
}

if [ -n "${VORZIK_DEBIAN_RELEASE:-}" ]; then
  # Called from a command already running in a chroot: a fresh layer over the
  # same unchanged chroot.
  [ "$VORZIK_DEBIAN_RELEASE" = "$release" ] ||
    die "already in Debian $VORZIK_DEBIAN_RELEASE; Debian $release is not reachable from here"
  base=$base_inside
  [ -e "$base/.vorzik-ready" ] || die "$base_inside holds no chroot"
else
  key=$({
    echo "$layout $codename"
    bash "$scripts/deps.sh" --linux-only --print
  } | sha256sum | cut -c1-12)
  base=$cache/$codename-$key
  mkdir -p "$cache"
  # Shared while in use, so it is never removed under a run; one maker at a time.
  exec 9>"$base.lock"
  flock -s 9
  if [ ! -e "$base/.vorzik-ready" ]; then
    flock 9
    [ -e "$base/.vorzik-ready" ] || make_chroot
    flock -s 9
  fi
fi

scratch=$(mktemp -d /run/vorzik-layer.XXXXXX)
mount -t tmpfs -o mode=755 vorzik-layer "$scratch"
mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
mount -t overlay vorzik-root \
  -o "lowerdir=$base,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root"
mount_into "$scratch/root"

cwd=$tree
case $PWD in "$tree" | "$tree"/*) cwd=$PWD ;; esac
in_root "$scratch/root" "$cwd" "$@"
