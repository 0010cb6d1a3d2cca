#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: CTest's emulator for
# the cross-built tests, and the tests' way to start the program.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# The prefix is made and initialised once, the first time, under a lock.
set -euo pipefail
# Wine's window driver needs an X display even for Qt's offscreen platform
# (Qt's event loop keeps a hidden window): without one, a private Xvfb.
if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
# Wine names a Windows program's files on the Linux side in the locale's
# character set: in an ASCII one ("C", as CI runs) a Cyrillic folder such
# as "Пъзел 15" cannot be written under its name. Take UTF-8 then.
if [[ $(locale charmap 2>/dev/null) != UTF-8 ]]; then
    export LC_ALL=C.UTF-8
fi
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No offers to install Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
# The offscreen platform reads fonts from files with FreeType rather than
# asking Windows, and without fontconfig it knows no substitutes: give it a
# folder holding only the serif font Wine uses for Times New Roman, so that
# every family falls back to that one.
if [[ ${QT_QPA_PLATFORM:-} == offscreen && -z ${QT_QPA_FONTDIR:-} ]]; then
    fonts=$WINEPREFIX-fonts
    if [[ ! -d $fonts ]]; then
        mkdir -p "$fonts.new"
        ln -sf /usr/share/fonts/truetype/liberation/LiberationSerif-*.ttf "$fonts.new/"
        mv -T "$fonts.new" "$fonts" 2>/dev/null || rm -rf "$fonts.new"
    fi
    export QT_QPA_FONTDIR="Z:${fonts//\//\\}"
fi

# Wine keeps the host's QT_ variables (meant for the Linux Qt) from Windows
# programs, and hands WINEQT_x to them as QT_x: pass ours on that way.
while IFS= read -r name; do
    export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)

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
            # Windows has Times New Roman, the window's font; Wine has not,
            # and for want of it picks any serif font (even a mathematical
            # one, whose digits a line edit does not draw). Liberation Serif
            # is made to its measures.
            "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' \
                /t REG_SZ /d 'Liberation Serif' /f >/dev/null 2>&1
            wineserver=$(dirname "$wine")/wineserver
            [[ -x $wineserver ]] || wineserver=/usr/lib/wine/wineserver
            "$wineserver" -w
            touch "$WINEPREFIX/.initialised"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
