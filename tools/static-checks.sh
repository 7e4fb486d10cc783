#!/usr/bin/env bash
# clang-format, clang-tidy and cppcheck over the product code; any finding fails the run.
# Expects the native and mingw-i686 presets to be configured (their compile_commands.json).
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t core < <(git ls-files 'log/*.cpp' 'lists/*.cpp' 'ops/*.cpp')
mapfile -t win < <(git ls-files 'platform/win32/*.cpp' 'app/*.cpp')
mapfile -t all < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/e2e/.*\.py$')

echo "== clang-format"
clang-format --dry-run --Werror "${all[@]}"

echo "== clang-tidy (portable core)"
clang-tidy --quiet -p build/native "${core[@]}" 2>/dev/null

if [ ${#win[@]} -gt 0 ]; then
    echo "== clang-tidy (Win32 layer, MinGW headers)"
    inc=$(echo | i686-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
          sed -n '/#include <...> search starts here:/,/End of search list./p' | grep '^ ' |
          sed 's/^ */--extra-arg=-isystem/' | tr '\n' ' ')
    # shellcheck disable=SC2086
    clang-tidy --quiet -p build/mingw-i686 --extra-arg=--target=i686-w64-mingw32 \
        --extra-arg=-nostdinc++ $inc "${win[@]}" 2>/dev/null
fi

echo "== cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --inline-suppr \
    --enable=warning,performance,portability --suppress=missingIncludeSystem \
    -I . log lists ops platform app
echo "static checks clean"
