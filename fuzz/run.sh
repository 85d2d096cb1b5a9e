#!/bin/sh
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build/fuzz, replays each target's regression inputs, then
# fuzzes each target in turn:
#   session   the PC side against arbitrary box byte streams
#   box       the substitute box against arbitrary PC byte streams
#   settings  the settings file reader
#   manifest  the substitute box's manifest reader
#   backup    the backup folder reader of restore and compare
#   diff      the line diff, each diff applied to its old text
#   backup_name  the backup folder-name grammar
#
# How long (seconds): VELQO_FUZZ_SECONDS_PER_TARGET for each target, else an
# equal share of VELQO_FUZZ_SECONDS (default 120) for all of them.
# VELQO_FUZZ_TARGETS picks targets (default: all seven, in the order above).
#
# Each target starts from its seeds in fuzz/corpus/TARGET plus what its
# earlier runs found, kept in build/fuzz/corpus/TARGET (VELQO_FUZZ_FRESH=1
# starts from the seeds alone). Findings go to build/fuzz/artifacts/TARGET;
# the script exits non-zero when there is one.
#
#   fuzz/run.sh --merge   adds what build/fuzz/corpus/TARGET covers beyond
#                         fuzz/corpus/TARGET to the latter, minimized
#                         (libFuzzer's -merge=1), so that the next run, and
#                         make test's replay, start where a long one ended.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build/fuzz"
ALL_TARGETS="session box settings manifest backup diff backup_name"
TARGETS=${VELQO_FUZZ_TARGETS:-$ALL_TARGETS}
REGRESSIONS="$ROOT/fuzz/regressions"
# Some regressions depend on timing: each runs this many times.
REPLAYS=${VELQO_FUZZ_REPLAYS:-300}
# Time-out per input, in seconds: far above what any input takes, even when
# a loaded machine leaves the fuzzer a small share of its time, and below
# the time-outs the harnesses give the code under test (the session
# target's link waits 120 s, the box target calls a box that does not
# answer for 30 s a hang), so that an input that waits for one is a finding.
UNIT_TIMEOUT=60
MAX_LEN=32768

for t in $TARGETS; do
    case " $ALL_TARGETS " in
        *" $t "*) ;;
        *) echo "fuzz: no target $t (targets: $ALL_TARGETS)" >&2; exit 2 ;;
    esac
done

CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja \
    -DVELQO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    $(command -v ccache >/dev/null && echo -DCMAKE_C_COMPILER_LAUNCHER=ccache \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
ninja -C "$BUILD" -j2 $(for t in $TARGETS; do printf 'velqo_fuzz_%s ' "$t"; done)

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if [ "${1:-}" = "--merge" ]; then
    for t in $TARGETS; do
        found="$BUILD/corpus/$t"
        if [ ! -d "$found" ] || [ -z "$(ls -A "$found")" ]; then
            echo "fuzz: $t: nothing to merge in $found"
            continue
        fi
        before=$(ls "$ROOT/fuzz/corpus/$t" | wc -l)
        "$BUILD/bin/velqo_fuzz_$t" -merge=1 -max_len=$MAX_LEN -timeout=$UNIT_TIMEOUT \
            "$ROOT/fuzz/corpus/$t" "$found" 2>"$BUILD/merge-$t.log" || {
            echo "fuzz: $t: merge failed, see $BUILD/merge-$t.log" >&2
            exit 1
        }
        echo "fuzz: $t: fuzz/corpus/$t grew from $before to $(ls "$ROOT/fuzz/corpus/$t" | wc -l) inputs"
    done
    exit 0
fi

# Inputs that once found a fault must stay harmless.
for t in $TARGETS; do
    dir="$REGRESSIONS/$t"
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir" 2>/dev/null)" ]; then
        echo "fuzz: replaying $(ls -A "$dir" | wc -l) $t regression input(s), $REPLAYS times each"
        log="$BUILD/replay-$t.log"
        "$BUILD/bin/velqo_fuzz_$t" -timeout=$UNIT_TIMEOUT -runs="$REPLAYS" "$dir"/* >"$log" 2>&1 || {
            tail -n 40 "$log" >&2
            echo "fuzz: a $t regression input fails again; the whole output is in $log" >&2
            exit 1
        }
    fi
done

count=$(echo $TARGETS | wc -w)
if [ -n "${VELQO_FUZZ_SECONDS_PER_TARGET:-}" ]; then
    share=$VELQO_FUZZ_SECONDS_PER_TARGET
else
    share=$(( ${VELQO_FUZZ_SECONDS:-120} / count ))
fi
[ "$share" -ge 1 ] || share=1
failed=""
for t in $TARGETS; do
    corpus="$BUILD/corpus/$t"
    artifacts="$BUILD/artifacts/$t"
    [ "${VELQO_FUZZ_FRESH:-0}" = 1 ] && rm -rf "$corpus"
    rm -rf "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    cp "$ROOT/fuzz/corpus/$t"/* "$corpus/"
    echo "fuzz: $t for $share s from $(ls "$corpus" | wc -l) inputs (started $(date '+%H:%M:%S'))"
    # Paths are absolute: some fuzzers work from their own temporary folder.
    status=0
    "$BUILD/bin/velqo_fuzz_$t" -max_total_time="$share" -max_len=$MAX_LEN \
        -timeout=$UNIT_TIMEOUT -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" || status=$?
    if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
        echo "fuzz: $t FOUND a fault (exit status $status); inputs in $artifacts:" >&2
        ls -l "$artifacts" >&2
        failed="$failed $t"
    else
        echo "fuzz: $t: nothing found in $share s; corpus now $(ls "$corpus" | wc -l) inputs"
    fi
done
if [ -n "$failed" ]; then
    echo "fuzz: faults found in:$failed" >&2
    exit 1
fi
echo "fuzz: nothing found in $share s each over: $TARGETS"
