#!/usr/bin/env bash
# Builds every preset that builds on this machine and runs every test. Installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
tools/with-wine ctest --preset mingw-i686
