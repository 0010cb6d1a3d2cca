#!/usr/bin/env bash
# Runs a command of this repository on a fresh Debian RELEASE, as root, in a
# throw-away chroot: a clean clone of the current commit in /root/puzzle15,
# with CI=true and no standard input, as on a new machine.
#
#   scripts/in-debian.sh trixie scripts/test.sh
#   scripts/in-debian.sh --output build-web trixie scripts/web.sh
#
# --output DIR brings what the command makes in DIR (a folder of the
# checkout, named relative to its top) back out: the checkout's own DIR,
# made if missing, stands in the clone in its place, and is left owned as
# the checkout is.
#
# The first run of a release makes its minimal base with debootstrap (git
# included, as on a machine that has cloned the repository) and keeps it,
# unpacked, under /var/cache/puzzle15/debian/, named after the release, the
# architecture, the mirror and the keyring it was made from. Every run then
# works on a copy of that base that is thrown away afterwards, so that the
# command installs whatever it needs itself. Mounts and copy go whatever
# happens: the mounts live in a mount namespace of their own that ends with
# the run, and everything the command started dies with its PID namespace.
# Two things are kept from run to run: the package files that apt downloads,
# beside the base, so that a later run need not download them again; and
# what a command caches in /var/cache/puzzle15, which is the host's cache
# folder (the static Qt that scripts/windows-qt.sh builds for that release).
#
# PUZZLE15_DEBIAN_MIRROR sets the mirror (http://deb.debian.org/debian);
# PUZZLE15_CACHE the cache's folder (/var/cache/puzzle15, shared with
# scripts/windows-qt.sh), for example an empty one to time a fresh machine.
set -euo pipefail

output=
if [[ ${1:-} == --output ]]; then
    output=${2:-}
    shift 2 || true
    if [[ -z $output || $output == /* || /$output/ == */../* ]]; then
        echo "$0: --output takes a folder inside the checkout, named relative to its top" >&2
        exit 2
    fi
fi
if (($# < 2)); then
    echo "usage: $0 [--output DIR] RELEASE COMMAND [ARGUMENT...]   (e.g. $0 trixie scripts/test.sh)" >&2
    exit 2
fi

# Mounting, chroot and debootstrap need root.
if ((EUID != 0)); then
    exec sudo --preserve-env=CI,LANG,LC_ALL,LANGUAGE,PUZZLE15_DEBIAN_MIRROR,PUZZLE15_CACHE -- "$0" "$@"
fi

cache_root=${PUZZLE15_CACHE:-/var/cache/puzzle15}
cache=$cache_root/debian
runs=/var/tmp

# ---------------------------------------------------------------------------
# Inside the run's own mount and PID namespaces (started below): put the
# copy of the base together, mount the kernel's file systems into it and run
# the command there. This process is PID 1 of the namespace: when it ends,
# every process the command left behind is killed, and its mounts vanish
# with the namespace.
if [[ ${PUZZLE15_IN_DEBIAN_STAGE:-} == inside ]]; then
    base=$1 run=$2 source=$3 packages=$4 cache_root=$5 output=$6
    shift 6
    root=$run/root
    unmount() { umount -R -l "$root" 2>/dev/null || true; }
    trap unmount EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    # The base stays untouched below an overlay; where the kernel offers no
    # overlay file system, a full copy does the same, only slower.
    mkdir -p "$run/upper" "$run/work" "$root"
    if ! mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$root" 2>/dev/null; then
        echo "in-debian: no overlay file system; copying the base"
        cp -a "$base/." "$root/"
    fi

    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --make-rslave "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
    # The package files that apt downloads are kept across runs; installing
    # them is still each run's own.
    mount --bind "$packages" "$root/var/cache/apt/archives"
    mkdir -p "$root/var/cache/puzzle15"
    mount --bind "$cache_root" "$root/var/cache/puzzle15"
    # resolv.conf may be a link into /run on the host: copy what it says.
    rm -f "$root/etc/resolv.conf"
    cat /etc/resolv.conf >"$root/etc/resolv.conf"

    # A clean clone, as a new user makes it: committed files only, and none
    # of the checkout's build directories.
    git clone --quiet --no-local "$source" "$root/root/puzzle15"
    if [[ -n $output ]]; then
        mkdir -p "$root/root/puzzle15/$output"
        mount --bind "$source/$output" "$root/root/puzzle15/$output"
    fi

    # The environment of a CI run: nothing of the caller's but the locale.
    environment=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
                 CI=true DEBIAN_FRONTEND=noninteractive)
    for name in LANG LC_ALL LANGUAGE; do
        [[ -z ${!name+set} ]] || environment+=("$name=${!name}")
    done
    status=0
    chroot "$root" /usr/bin/env -i "${environment[@]}" /bin/bash -c 'cd /root/puzzle15 && exec "$@"' command "$@" \
        </dev/null || status=$?
    exit "$status"
fi

# ---------------------------------------------------------------------------
# Outside: the cached base, then one run in new namespaces.
release=$1
shift
source=$(cd "$(dirname "$0")/.." && pwd)
mirror=${PUZZLE15_DEBIAN_MIRROR:-http://deb.debian.org/debian}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# The host's tools: debootstrap, and the archive's keys (bookworm's keyring
# already holds trixie's).
needed=()
command -v debootstrap >/dev/null || needed+=(debootstrap)
[[ -f $keyring ]] || needed+=(debian-archive-keyring)
command -v git >/dev/null || needed+=(git)
if ((${#needed[@]})); then
    echo "in-debian: installing ${needed[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}" >/dev/null
fi

if [[ -n $(git -C "$source" status --porcelain --untracked-files=no) ]]; then
    echo "in-debian: uncommitted changes stay behind; the run takes the commit $(git -C "$source" rev-parse --short HEAD)" >&2
fi

arch=$(dpkg --print-architecture)
variant=minbase
include=git
made_from="release=$release arch=$arch mirror=$mirror keyring=$(sha256sum "$keyring" | cut -d' ' -f1) variant=$variant include=$include"
base=$cache/$release-$arch-$(sha256sum <<<"$made_from" | cut -c1-12)

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
if [[ ! -f $base/.made-from ]]; then
    echo "in-debian: making the $release base in $base"
    partial=$base.partial
    rm -rf --one-file-system "$partial"
    started=$SECONDS
    if ! debootstrap --variant=$variant --include=$include --arch="$arch" --keyring="$keyring" \
        "$release" "$partial" "$mirror" >"$partial.log" 2>&1; then
        tail -n 20 "$partial.log" >&2
        echo "in-debian: debootstrap failed; its log: $partial.log" >&2
        exit 1
    fi
    # No daemon starts in the chroot when a package is installed there.
    printf '#!/bin/sh\nexit 101\n' >"$partial/usr/sbin/policy-rc.d"
    chmod 755 "$partial/usr/sbin/policy-rc.d"
    chroot "$partial" apt-get clean
    echo "$made_from" >"$partial/.made-from"
    mv "$partial.log" "$partial/.debootstrap.log"
    mv "$partial" "$base"
    echo "in-debian: base made in $((SECONDS - started)) s, $(du -sh "$base" | cut -f1)"
fi
flock -u 9
packages=$base.archives
mkdir -p "$packages/partial"

# Runs whose script was killed outright leave their folder behind; the
# next run removes those of processes that are gone.
for stale in "$runs"/puzzle15-in-debian.*; do
    [[ -f $stale/pid ]] || continue
    kill -0 "$(cat "$stale/pid")" 2>/dev/null && continue
    grep -qF " $stale/" /proc/self/mounts || rm -rf --one-file-system "$stale"
done

if [[ -n $output ]]; then
    mkdir -p "$source/$output"
fi

run=$(mktemp -d "$runs/puzzle15-in-debian.XXXXXX")
echo $$ >"$run/pid"
inner=
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [[ -n $inner ]] && kill -0 "$inner" 2>/dev/null; then
        kill -KILL "$inner" 2>/dev/null || true
        wait "$inner" 2>/dev/null || true
    fi
    # The namespace's mounts are gone with it; should any have reached this
    # namespace all the same, they go before the copy does.
    if grep -qF " $run/" /proc/self/mounts; then
        umount -R -l "$run/root" 2>/dev/null || true
    fi
    if grep -qF " $run/" /proc/self/mounts; then
        echo "in-debian: $run still has mounts; left in place" >&2
        exit "$status"
    fi
    # Its root stays a mount point until the killed namespace is gone.
    local deadline=$((SECONDS + 30))
    until rm -rf --one-file-system "$run" 2>/dev/null; do
        if ((SECONDS > deadline)); then
            echo "in-debian: could not remove $run" >&2
            break
        fi
        sleep 0.2
    done
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "in-debian: $* on Debian $release ($arch) in $run"
started=$SECONDS
status=0
# In the background so that a signal to this script cleans up at once; env
# undoes the ignored SIGINT and SIGQUIT that a background job starts with.
PUZZLE15_IN_DEBIAN_STAGE=inside env --default-signal=INT,QUIT unshare --mount --propagation private --pid --fork --kill-child \
    "$0" "$base" "$run" "$source" "$packages" "$cache_root" "$output" "$@" &
inner=$!
wait "$inner" || status=$?
inner=
if [[ -n $output ]]; then
    chown -R --reference="$source" "$source/$output"
fi
echo "in-debian: $* on Debian $release exited with $status after $((SECONDS - started)) s"
exit "$status"
