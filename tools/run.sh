#!/usr/bin/env bash
# Installs what is missing, builds Fenrallo1.0.exe and starts it under Wine: the i686 build where
# this host runs 32-bit programs, else the x86_64 one (tools/wine-host.sh).
# With a display the program runs in the foreground until its window is closed, in a Wine prefix
# of its own that is kept for the next run. With no display it starts on a virtual one
# (tools/with-wine), waits for the window, saves build/<preset>/screenshot.png, prints that path
# and stops Wine and the display again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/install-deps.sh
. tools/wine-host.sh
cmake --preset "$FENRALLO_PRESET" >/dev/null
cmake --build --preset "$FENRALLO_PRESET" --target Fenrallo
exe="$root/build/$FENRALLO_PRESET/app/Fenrallo1.0.exe"
shot="$root/build/$FENRALLO_PRESET/screenshot.png"

if [ -n "${DISPLAY:-}" ]; then
    # Not the user's own prefix: it may be of the other width, and nothing here should touch it.
    export WINEPREFIX="${FENRALLO_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/fenrallo/$FENRALLO_WINEARCH}"
    export WINEARCH=$FENRALLO_WINEARCH WINELOADER=$FENRALLO_WINELOADER WINESERVER=$FENRALLO_WINESERVER
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    mkdir -p "$WINEPREFIX"
    exec "$WINELOADER" "$exe"
fi

rm -f "$shot"
# shellcheck disable=SC2016  # expanded by the inner shell, inside the Wine session
tools/with-wine bash -c '
    exe=$1 shot=$2
    wine "$exe" >/dev/null 2>&1 &
    for _ in $(seq 600); do
        if xdotool search --onlyvisible --name "^Fenrallo" >/dev/null 2>&1; then
            # Found as soon as it is mapped; give the controls a moment to paint.
            sleep 1
            import -window root "$shot"
            exit 0
        fi
        sleep 0.1
    done
    echo "run.sh: no window titled Fenrallo appeared within a minute" >&2
    import -window root "$shot" || true
    exit 1
' run "$exe" "$shot"
echo "$shot"
