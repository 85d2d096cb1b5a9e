#!/bin/sh
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build/fuzz, replays each target's regression inputs, then
# fuzzes each in turn from a fresh copy of its seed corpus in fuzz/corpus/TARGET
# for its share of VELQO_FUZZ_SECONDS (default 120):
#   session   the PC side against arbitrary box byte streams
#   box       the substitute box against arbitrary PC byte streams
#   settings  the settings file reader
#   manifest  the substitute box's manifest reader
#   backup    the backup folder reader of restore and compare
# New corpus entries go to build/fuzz/corpus/TARGET, findings to
# build/fuzz/artifacts/TARGET. Exits non-zero when anything is found.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/fuzz"
TOTAL_SECONDS=${VELQO_FUZZ_SECONDS:-120}
TARGETS="session box settings manifest backup"
REGRESSIONS="$ROOT/fuzz/regressions"

CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja \
    -DVELQO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$BUILD" -j2 $(for t in $TARGETS; do printf 'velqo_fuzz_%s ' "$t"; done)

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Inputs that once found a fault must stay harmless.
for t in $TARGETS; do
    dir="$REGRESSIONS/$t"
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir" 2>/dev/null)" ]; then
        echo "Replaying $(ls -A "$dir" | wc -l) $t regression input(s) from $dir"
        "$BUILD/bin/velqo_fuzz_$t" -timeout=4 "$dir"/*
    fi
done

share=$((TOTAL_SECONDS / $(echo $TARGETS | wc -w)))
[ "$share" -ge 1 ] || share=1
failed=""
for t in $TARGETS; do
    corpus="$BUILD/corpus/$t"
    artifacts="$BUILD/artifacts/$t"
    rm -rf "$corpus" "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    cp "$ROOT/fuzz/corpus/$t"/* "$corpus/"
    echo "fuzz: $t for $share s"
    # Paths are absolute: some fuzzers work from their own temporary folder.
    # -timeout stays below the 5 s time-outs of the link: once a stream has
    # ended no operation may wait for one, so an input that does is a finding.
    status=0
    "$BUILD/bin/velqo_fuzz_$t" -max_total_time="$share" -max_len=32768 -timeout=4 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" || status=$?
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
        echo "fuzz: $t FOUND a fault (exit status $status); inputs in $artifacts:" >&2
        ls -l "$artifacts" >&2
        failed="$failed $t"
    else
        echo "fuzz: $t: nothing found; corpus now $(ls "$corpus" | wc -l) inputs"
    fi
done
if [ -n "$failed" ]; then
    echo "fuzz: faults found in:$failed" >&2
    exit 1
fi
echo "fuzz: nothing found in ${TOTAL_SECONDS} s over: $TARGETS"
