#!/bin/sh
# Builds the box session fuzzer (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build/fuzz, replays the regression inputs, then fuzzes for 60 seconds
# (VELQO_FUZZ_SECONDS overrides) from a fresh copy of the seed corpus in fuzz/corpus.
# New corpus entries go to build/fuzz/corpus, findings to build/fuzz/artifacts.
# Exits non-zero when anything is found.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/fuzz"
FUZZER="$BUILD/bin/velqo_fuzz_session"
SECONDS_TO_RUN=${VELQO_FUZZ_SECONDS:-60}
REGRESSIONS="$ROOT/tests/core/fuzz_regressions"

CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja \
    -DVELQO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$BUILD" -j2 velqo_fuzz_session

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Inputs that once crashed must stay harmless.
if [ -d "$REGRESSIONS" ] && [ -n "$(ls -A "$REGRESSIONS" 2>/dev/null)" ]; then
    echo "Replaying $(ls -A "$REGRESSIONS" | wc -l) regression input(s) from $REGRESSIONS"
    "$FUZZER" -timeout=4 "$REGRESSIONS"/*
fi

rm -rf "$BUILD/corpus" "$BUILD/artifacts"
mkdir -p "$BUILD/corpus" "$BUILD/artifacts"
cp "$ROOT"/fuzz/corpus/* "$BUILD/corpus/"

# Paths are absolute: the fuzzer works from its own temporary directory.
# -timeout stays below the socket's 5 s time-out: after the box's stream has
# ended no operation may wait for one, so an input that does is a finding.
status=0
"$FUZZER" -max_total_time="$SECONDS_TO_RUN" -max_len=32768 -timeout=4 \
    -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" "$BUILD/corpus" || status=$?

found=$(ls -A "$BUILD/artifacts")
if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    echo "fuzz: FOUND a fault (exit status $status); inputs in $BUILD/artifacts:" >&2
    ls -l "$BUILD/artifacts" >&2
    exit 1
fi
echo "fuzz: nothing found in ${SECONDS_TO_RUN} s; corpus now $(ls "$BUILD/corpus" | wc -l) inputs"
