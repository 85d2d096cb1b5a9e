#!/bin/sh
# Builds the box link benchmark in build/bench (Release) and prints its table,
# then the peer row (velqo beside TFTP, bench/peer-bench.sh), the window rows
# under Wine (bench/window-bench.sh) and the fleet row: sixteen paced boxes
# backed up by ansible-playbook beside a shell loop (bench/fleet-bench.sh,
# with the collection that `make collection` built).
# Extra arguments go to the benchmark (e.g. --runs 15).
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/bench"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$BUILD" -j2 velqo_bench velqo-cli velqo-boxsim
"$BUILD/bin/velqo_bench" "$@"
# The same file both ways beside curl and tftpd-hpa.
"$ROOT/bench/peer-bench.sh" "$BUILD/bin"
# The window under Wine, beside the command line under Wine.
"$ROOT/bench/window-bench.sh"
# Many boxes: Ansible's forks beside one box after another.
"$ROOT/bench/fleet-bench.sh" "$BUILD/bin" "$(ls "$ROOT"/build/dist/velqo-box-*.tar.gz)"
