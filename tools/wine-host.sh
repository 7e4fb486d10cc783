# Sourced by the scripts that run Windows programs. Finds out whether this host can run 32-bit
# Windows programs, picks the build and the Wine to use, and says so in one line:
#   FENRALLO_PRESET     mingw-i686 where 32-bit Wine runs, else mingw-x86_64
#   FENRALLO_WINEARCH   win32 or win64, for WINEARCH
#   FENRALLO_WINELOADER, FENRALLO_WINESERVER   the Wine loader and server of that width
# Some 64-bit kernels have IA-32 emulation switched off: 32-bit Wine then fails with "Exec format
# error" whatever is installed, while 64-bit Wine runs the x86_64 build with the same behaviour.
# Already set (by a script that sourced this before), the choice is kept.
if [ -z "${FENRALLO_PRESET:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1 && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
        export FENRALLO_PRESET=mingw-i686 FENRALLO_WINEARCH=win32
        export FENRALLO_WINELOADER=/usr/lib/wine/wine FENRALLO_WINESERVER=/usr/lib/wine/wineserver32
        echo "Windows build: i686 under 32-bit Wine"
    else
        export FENRALLO_PRESET=mingw-x86_64 FENRALLO_WINEARCH=win64
        export FENRALLO_WINELOADER=/usr/lib/wine/wine64 FENRALLO_WINESERVER=/usr/lib/wine/wineserver64
        echo "Windows build: x86_64 under 64-bit Wine (this host cannot run 32-bit programs)"
    fi
fi
