#!/usr/bin/env bash
# Installs what building and testing Fenrallo needs on Debian 12 (run as root).
# Cheap when everything is already there: it only calls apt-get for what is missing.
set -euo pipefail

# Both Wines: 32-bit Wine runs only where the kernel runs 32-bit programs (tools/wine-host.sh).
want=(cmake ninja-build g++ libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
      g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xdotool
      imagemagick fonts-wqy-zenhei fonts-wqy-microhei clang-tidy clang-format cppcheck zip unzip)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    [ ${#missing[@]} -gt 0 ] && apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
exit 0
