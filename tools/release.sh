#!/usr/bin/env bash
# Builds the release zip: build/mingw-i686/Fenrallo-1.0-win32.zip with the stripped exe and the
# read-me. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 --target Fenrallo
(cd build/mingw-i686 && cpack -G ZIP >/dev/null)
zip=build/mingw-i686/Fenrallo-1.0-win32.zip
unzip -l "$zip"
echo "$(realpath "$zip")"
