#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: CTest's emulator for
# the cross-built tests, and the tests' way to start the program.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made and initialised once, the first time, under a lock.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
# The offscreen platform reads fonts from files with FreeType rather than
# asking Windows: point it at the serif fonts Wine uses for Times New Roman.
if [[ ${QT_QPA_PLATFORM:-} == offscreen && -z ${QT_QPA_FONTDIR:-} && -d /usr/share/fonts/truetype/liberation ]]; then
    export QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\liberation'
fi

wine=""
for candidate in wine64 wine /usr/lib/wine/wine64 /usr/lib/wine/wine; do
    if command -v "$candidate" >/dev/null; then
        wine=$(command -v "$candidate")
        break
    fi
done
[[ -n $wine ]] || { echo "wine-run.sh: no wine found (apt-get install wine64)" >&2; exit 127; }

if [[ ! -f $WINEPREFIX/.initialised ]]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [[ ! -f $WINEPREFIX/.initialised ]]; then
            "$wine" wineboot -i >/dev/null 2>&1
            wineserver=$(dirname "$wine")/wineserver
            [[ -x $wineserver ]] || wineserver=/usr/lib/wine/wineserver
            "$wineserver" -w
            touch "$WINEPREFIX/.initialised"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
