#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine on a virtual display, printing their figures.
#   bash tools/bench.sh            all three
#   bash tools/bench.sh drop       one of: drop, move, startup
# Under Wine the figures are Wine's, not Windows': compare the ratios, not the seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
. tools/wine-host.sh
cmake --preset "$FENRALLO_PRESET" >/dev/null
cmake --build --preset "$FENRALLO_PRESET" >/dev/null
b=build/$FENRALLO_PRESET
# winepath would call the 32-bit loader where it is installed: Wine shows / as Z:.
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }
which=${1:-all}
tools/with-wine bash -c "
    set -e
    echo \"machine: \$(nproc) cores, \$(lscpu | sed -n 's/^Model name: *//p'); \$(wine --version)\"
    if [ $which = all ] || [ $which = drop ]; then wine $b/bench/bench_drop_intake.exe; fi
    if [ $which = all ] || [ $which = move ]; then
        wine $b/bench/bench_batch_move.exe \${FENRALLO_BENCH_FILES:-10000}
        wine $b/bench/bench_copy_steps.exe
    fi
    if [ $which = all ] || [ $which = startup ]; then
        wine $b/bench/bench_startup.exe \"$(winpath $b/app/Fenrallo1.0.exe)\" \"$(winpath $b/bench/bench_minimal_window.exe)\"
        wine $b/bench/bench_startup_stages.exe
    fi
"
