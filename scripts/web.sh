#!/usr/bin/env bash
# Builds Пъзел 15 for the browser (Qt for WebAssembly) into build-web/, a
# folder that any static web server serves as it is (README, "In the
# browser"), and serves it for a quick look:
#
#   scripts/web.sh                  build the site
#   scripts/web.sh --tests          build it, then test it in Chromium and
#                                   Firefox ESR, headless (tests/screen/ with
#                                   its Chromium driver, and tests/web/)
#   scripts/web.sh --serve [PORT]   serve build-web/ on http://127.0.0.1:PORT/
#                                   (8015 unless given), the compressed copies
#                                   to browsers that take them
#
# On Debian 13 it builds here: it installs what is missing (through apt-get,
# as root or with sudo), builds Qt for WebAssembly once (scripts/web-qt.sh,
# cached under /var/cache/puzzle15/) and then the program in build-wasm/.
# Debian 12's emscripten (3.1.6) is older than any Qt 6 accepts: there the
# script runs itself on a fresh Debian 13 (scripts/in-debian.sh), which
# builds the current commit and brings build-web/ back out.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
# PUZZLE15_WEB_SITE names another folder to serve (a test's copy of the
# site, say) or, on Debian 13, to build into.
site=${PUZZLE15_WEB_SITE:-$here/build-web}

serve() {
    local port=${1:-8015}
    if [[ ! -d $site ]]; then
        echo "No site in $site: build it first with scripts/web.sh" >&2
        exit 1
    fi
    echo "Serving $site on http://127.0.0.1:$port/ (Ctrl+C ends)"
    # Python's own server, with WebAssembly's MIME type (which browsers
    # require to compile the program while it downloads) and the .br and
    # .gz copies sent as such to a browser that accepts them, dated so that
    # a browser can ask whether its copy is still current.
    exec /usr/bin/python3 -c '
import functools, http.server, os, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepted = self.headers.get("Accept-Encoding", "")
        for suffix, coding in ((".br", "br"), (".gz", "gzip")):
            if coding in accepted and os.path.isfile(path + suffix):
                modified = self.date_time_string(int(os.stat(path + suffix).st_mtime))
                if self.headers.get("If-Modified-Since") == modified:
                    self.send_response(304)
                    self.end_headers()
                    return None
                body = open(path + suffix, "rb")
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", coding)
                self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
                self.send_header("Last-Modified", modified)
                self.send_header("Vary", "Accept-Encoding")
                self.end_headers()
                return body
        return super().send_head()

server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[2])),
                                         functools.partial(Handler, directory=sys.argv[1]))
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
' "$site" "$port"
}

tests=no
case ${1:-} in
    --serve) serve "${2:-}" ;;
    --tests) tests=yes ;;
    "") ;;
    *)
        echo "usage: $0 [--tests | --serve [PORT]]" >&2
        exit 2
        ;;
esac

# shellcheck source=/dev/null
. /etc/os-release
if [[ ${ID:-} == debian && ${VERSION_ID:-99} -lt 13 ]]; then
    echo "web: Debian ${VERSION_ID}'s emscripten is too old for Qt 6; building on Debian 13"
    exec "$here/scripts/in-debian.sh" --output build-web trixie scripts/web.sh "$@"
fi

packages=(emscripten binaryen cmake ninja-build dpkg-dev patch qt6-base-dev qt6-base-dev-tools fonts-liberation brotli)
if [[ $tests == yes ]]; then
    packages+=(chromium firefox-esr python3-websocket)
fi
"$here/scripts/deps.sh" "${packages[@]}"

started=$(date +%s)
qt_prefix=$("$here/scripts/web-qt.sh")
qt_ready=$(date +%s)
# emscripten's environment, as the Qt was built with it.
# shellcheck source=scripts/web-qt.sh
source "$here/scripts/web-qt.sh" --env

# Debian's Qt source leaves static plugins out unless a project asks for
# them: without the wasm platform plugin the page cannot open the window.
build=${PUZZLE15_WEB_BUILD:-$here/build-wasm}
# A build against another Qt (another recipe) starts afresh: CMake cannot
# change a build's toolchain.
if [[ -f $build/CMakeCache.txt ]] && ! grep -qF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$qt_prefix/" "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
mkdir -p "$build"
"$qt_prefix/bin/qt-cmake" -S "$here" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DBUILD_TESTING=OFF \
    -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF \
    -DPUZZLE15_SITE_DIR="$site" \
    -DPUZZLE15_QT_SOURCE_VERSION="$(dpkg-query -W -f='${source:Version}' qt6-base-dev)" \
    >"$build/configure.log" 2>&1 || { tail -40 "$build/configure.log" >&2; exit 1; }
cmake --build "$build" --parallel "${JOBS:-2}"
built=$(date +%s)

echo "The site, in $site (bytes: raw, gzip -9, brotli -q 11):"
for file in "$site"/*; do
    case $file in *.br | *.gz) continue ;; esac
    printf '  %-28s %9s' "${file##*/}" "$(stat -c %s "$file")"
    for copy in "$file.gz" "$file.br"; do
        [[ -f $copy ]] && printf ' %9s' "$(stat -c %s "$copy")"
    done
    echo
done
echo "Qt ready after $((qt_ready - started)) s, the site after $((built - qt_ready)) s more"

if [[ $tests == yes ]]; then
    # The program that raises a handler's error, for the console's report.
    cmake --build "$build" --parallel "${JOBS:-2}" --target report_error
    failed=0
    # Every scenario of the screen harness, at 100 % and 200 %, and then
    # what only the web build has.
    for ratio in 1 2; do
        /usr/bin/python3 "$here/tests/screen/scenarios.py" chromium "$site" --ratio "$ratio" || failed=1
    done
    /usr/bin/python3 "$here/tests/web/tst_site.py" "$site" || failed=1
    /usr/bin/python3 "$here/tests/web/tst_error_report.py" "$build" || failed=1
    /usr/bin/python3 "$here/tests/web/tst_firefox.py" "$site" || failed=1
    echo "Tests done after $(($(date +%s) - built)) s more"
    exit "$failed"
fi
