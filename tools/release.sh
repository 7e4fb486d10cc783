#!/usr/bin/env bash
# Builds the release: build/release/Fenrallo-1.0-win32.zip (x86) and Fenrallo-1.0-win64.zip
# (x64), each with the stripped exe and the read-me, and SHA256SUMS beside them. Installs what is
# missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
out=build/release
rm -rf "$out"
mkdir -p "$out"
for arch in i686:32 x86_64:64; do
    preset=mingw-${arch%:*}
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Fenrallo >/dev/null
    (cd "build/$preset" && cpack -G ZIP >/dev/null)
    zip=Fenrallo-1.0-win${arch#*:}.zip
    cp "build/$preset/$zip" "$out/"
    unzip -lv "$out/$zip" | sed -n '/Fenrallo1.0.exe/s/^ *\([0-9]*\) .*/'"$zip"': Fenrallo1.0.exe \1 bytes/p'
done
(cd "$out" && sha256sum Fenrallo-1.0-win32.zip Fenrallo-1.0-win64.zip >SHA256SUMS)
realpath "$out"/*
