#!/bin/sh
# Builds the box link benchmark in build/bench (Release) and prints its table,
# then the window rows under Wine (bench/window-bench.sh).
# Extra arguments go to the benchmark (e.g. --runs 15).
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/bench"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$BUILD" -j2 velqo_bench velqo-cli
"$BUILD/bin/velqo_bench" "$@"
# The window under Wine, beside the command line under Wine.
"$ROOT/bench/window-bench.sh"
