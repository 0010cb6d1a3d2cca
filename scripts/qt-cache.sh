# A static Qt built from the source of Debian's own qt6-base, the same
# version as the machine's Qt (whose moc, rcc and uic a cross build uses),
# once, into a cache folder named after the recipe:
#   /var/cache/puzzle15/<key>/prefix
# (~/.cache/puzzle15/ when not run as root; PUZZLE15_CACHE sets another).
# Sourced by scripts/windows-qt.sh and scripts/web-qt.sh, which set the
# recipe (configure options, toolchain, patches) and name the key by a hash
# of it, so that a changed recipe builds anew and an unchanged one never does.
#
#   qt_name=windows-qt          # the prefix of log lines
#   source "$here/scripts/qt-cache.sh"
#   qt_build KEY "ABOUT" [--patches DIR] -- CMAKE_OPTION...
#
# qt_build prints the Qt prefix as its only line on standard output; logs go
# to stderr and to the cache's build.log. Needs dpkg-dev, cmake and ninja.

# The machine's cache for root (CI), the user's own otherwise: building Qt
# needs no privileges.
if ((EUID == 0)); then
    cache_root=${PUZZLE15_CACHE:-/var/cache/puzzle15}
else
    cache_root=${PUZZLE15_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/puzzle15}
fi
jobs=${JOBS:-2}

log() { echo "${qt_name:-qt}: $*" >&2; }

qt_deb_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_version=${qt_deb_version%%+*}
qt_version=${qt_version%%-*}

# older_than VERSION: the machine's Qt is older than VERSION.
older_than() { [[ $(printf '%s\n' "$1" "$qt_version" | sort -V | head -1) != "$1" ]]; }

# qt_patch_files DIR: the patches that DIR's series file names, in order,
# one path a line (Debian's layout: one name a line, # starts a comment).
qt_patch_files() {
    local name
    while read -r name _; do
        [[ -z $name || $name == \#* ]] && continue
        echo "$1/$name"
    done <"$1/series"
}

# qt_source: the path of Debian's qt6-base source of the machine's version,
# downloaded and unpacked (with Debian's own patches) once into the cache,
# through a private deb-src list made from the machine's own apt sources:
# the system's apt set-up is neither read for this nor changed.
qt_source() {
    local src_root=$cache_root/src/qt6-base-$qt_deb_version
    if [[ ! -f $src_root/done ]]; then
        rm -rf "$src_root"
        local apt_dir=$src_root/apt f
        mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial"
        for f in /etc/apt/sources.list.d/*.sources; do
            [[ -e $f ]] || continue
            sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
        done
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [[ -e $f ]] || continue
            sed -n 's/^deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f" | tr / _).list"
        done
        local apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
            -o "Dir::State::Lists=$apt_dir/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
            -o "APT::Sandbox::User=$(id -un)")
        apt-get "${apt_options[@]}" update -q >&3 2>&1
        (cd "$src_root" && apt-get "${apt_options[@]}" source -q "qt6-base=$qt_deb_version") >&3 2>&1
        touch "$src_root/done"
    fi
    find "$src_root" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1
}

# qt_build KEY ABOUT [--patches DIR] -- CMAKE_OPTION...: the prefix of the Qt
# cached under KEY, built first unless it is there. ABOUT ends the log line
# that says a build starts (what it builds, how long it takes). With
# --patches, the build works on a copy of the source with DIR's series of
# patches applied; Debian's unpacked source stays as it is for other builds.
qt_build() {
    local key=$1 about=$2
    shift 2
    local patches=
    if [[ ${1:-} == --patches ]]; then
        patches=$2
        shift 2
    fi
    [[ ${1:-} == -- ]] && shift
    local cache=$cache_root/$key
    local prefix=$cache/prefix

    mkdir -p "$cache_root"
    # One build at a time; a second caller waits and then finds the result.
    exec 9>"$cache_root/$key.lock"
    flock 9

    if [[ -f $cache/done ]]; then
        log "cached: $prefix"
        echo "$prefix"
        return 0
    fi

    # A build that stopped half-way (killed, or a failed step since fixed in
    # the source) goes on where it stopped: ninja redoes only what is missing.
    mkdir -p "$cache"
    exec 3>>"$cache/build.log"
    log "building $about into $cache (log: $cache/build.log)"
    local started
    started=$(date +%s)

    local src
    src=$(qt_source)
    if [[ -n $patches ]]; then
        local patched=$cache/source
        if [[ ! -f $patched/.patched ]]; then
            rm -rf "$patched"
            cp -a "$src" "$patched"
            local patch
            for patch in $(qt_patch_files "$patches"); do
                log "applying $(basename "$patch")"
                patch -d "$patched" -p1 --no-backup-if-mismatch -s <"$patch" >&3 2>&1 \
                    || { log "$(basename "$patch") does not apply to $src"; exit 1; }
            done
            touch "$patched/.patched"
        fi
        src=$patched
    fi
    log "source: $src"

    local build=$cache/build
    cmake -S "$src" -B "$build" "$@" -DCMAKE_INSTALL_PREFIX="$prefix" >&3 2>&1 \
        || { log "configure failed; see $cache/build.log"; tail -30 "$cache/build.log" >&2; exit 1; }
    local configured
    configured=$(date +%s)
    # -k 0: a failing file does not hide the others' errors.
    cmake --build "$build" --parallel "$jobs" -- -k 0 >&3 2>&1 \
        || { log "build failed; see $cache/build.log"; tail -30 "$cache/build.log" >&2; exit 1; }
    rm -rf "$prefix"
    cmake --install "$build" >&3 2>&1
    local finished
    finished=$(date +%s)
    rm -rf "$build" "$cache/source"
    printf 'configure %ss, build+install %ss\n' $((configured - started)) $((finished - configured)) >"$cache/time"
    touch "$cache/done"
    log "built in $((finished - started)) s: $prefix"
    echo "$prefix"
}
