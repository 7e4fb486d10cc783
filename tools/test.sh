#!/usr/bin/env bash
# Builds every preset that builds on this machine and runs every test: the portable core
# natively and under AddressSanitizer/UndefinedBehaviorSanitizer, the static checks, then the
# exe and its Win32 and end-to-end tests under Wine. Both Windows builds are made on every host:
# the one Wine runs here (tools/wine-host.sh) is tested in full, the other exe is read without
# running it. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
. tools/wine-host.sh
other=mingw-i686
[ "$FENRALLO_PRESET" = mingw-i686 ] && other=mingw-x86_64

for preset in native native-sanitize "$FENRALLO_PRESET" "$other"; do
    cmake --preset "$preset" >/dev/null
done
for preset in native native-sanitize "$FENRALLO_PRESET"; do
    cmake --build --preset "$preset"
done
cmake --build --preset "$other" --target Fenrallo

ctest --preset native
ctest --preset native-sanitize
bash tools/static-checks.sh
echo "== $other: Fenrallo1.0.exe read without running it"
ctest --preset "$other" -L static
echo "== $FENRALLO_PRESET: Win32, window and end-to-end tests under Wine"
tools/with-wine ctest --preset "$FENRALLO_PRESET"
