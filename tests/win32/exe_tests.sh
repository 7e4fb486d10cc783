#!/bin/sh
# Runs exe_tests against Fenrallo1.0.exe started from a folder with Chinese, spaces and a path past
# MAX_PATH. Only Wine's own loader starts a program from there (CreateProcessW cannot), so the
# program is started from this side, inside tools/with-wine.
#   exe_tests.sh <exe_tests.exe> <Fenrallo1.0.exe>
set -eu
[ -n "${FENRALLO_WINE_WORK:-}" ] || exec "$(dirname "$0")/../../tools/with-wine" "$0" "$@"
deep="程序 目录/$(printf 'a%.0s' $(seq 90))/$(printf 'b%.0s' $(seq 90))/$(printf 'c%.0s' $(seq 90))"
folder="$FENRALLO_WINE_WORK/drive-q/exe-$$/$deep"
mkdir -p "$folder"
cp "$2" "$folder/"
cp "$2" "$folder/explorer.exe"
wine "$folder/Fenrallo1.0.exe" >/dev/null 2>&1 &
FENRALLO_EXE="Z:$(printf '%s' "$2" | tr / '\\')" FENRALLO_EXE_FOLDER="Q:\\exe-$$\\$(printf '%s' "$deep" | tr / '\\')" wine "$1"
