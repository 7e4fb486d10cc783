#!/usr/bin/env bash
# Builds every preset that builds on this machine and runs every test: the portable core
# natively and under AddressSanitizer/UndefinedBehaviorSanitizer, the static checks, then the
# exe and its Win32 and end-to-end tests under Wine. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

for preset in native native-sanitize mingw-i686; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

ctest --preset native
ctest --preset native-sanitize
bash tools/static-checks.sh
tools/with-wine ctest --preset mingw-i686
