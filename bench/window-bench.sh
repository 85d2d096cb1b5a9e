#!/bin/bash
# The window under Wine: a 16 MiB download through the real window (driven from
# outside, as the screenshots are) beside velqo-cli.exe under Wine fetching the
# same file, and the window's peak working set after those downloads; then a
# backup of a box of 28 files (4 MiB in all) through the window's backups
# dialog beside `velqo-cli.exe backup` of the same box.
# The two take turns, round after round, so that both see the machine as it is
# at that moment: runs taken one after the other (all of the window's, then all
# of the command line's) compare two different machines when others work on it.
# The window always uses port 1000 and the box serves one PC at a time, so the
# command line has a second substitute box on the same folder. Port 1000 needs
# root (or the capability); without it this part is skipped with a word.
# Both programs run as they ship: stripped, as the zip holds them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=build/native/bin
win=build/win/bin
work=build/bench-window
rounds=${WINDOW_BENCH_ROUNDS:-7}
cli_port=1001
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=":$((90 + RANDOM % 100))"
export DISPLAY=$display

rm -rf "$work"
mkdir -p "$work/cli/config"
x86_64-w64-mingw32-strip -o "$work/VELQO_LAN_MM.exe" "$win/VELQO_LAN_MM.exe"
x86_64-w64-mingw32-strip -o "$work/velqo-cli.exe" "$win/velqo-cli.exe"

pids=()
stop_all() {
    wineserver -k 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    pids=()
}
trap stop_all EXIT

# Two substitute boxes on the folder $1 (the window's on port 1000), the
# display, and the window started in the folder $2 with its settings.
start_scene() {
    local box=$1 pc=$2
    mkdir -p "$pc/config"
    printf 'BOXIP=127.0.0.1\nPORT=01000\nPASSWORD=7351\n' >"$pc/config/config.ini"
    cp "$work/VELQO_LAN_MM.exe" "$pc/"
    "$native/velqo-boxsim" --folder "$box" --port 1000 >"$work/box.out" 2>"$work/box.err" &
    pids+=($!)
    "$native/velqo-boxsim" --folder "$box" --port "$cli_port" >"$work/box2.out" 2>"$work/box2.err" &
    pids+=($!)
    sleep 0.5
    if ! kill -0 "${pids[0]}" 2>/dev/null; then
        echo "window rows skipped: the substitute box cannot listen on 127.0.0.1:1000 ($(cat "$work/box.err"))"
        exit 0
    fi
    kill -0 "${pids[1]}" 2>/dev/null || { echo "no substitute box on port $cli_port: $(cat "$work/box2.err")"; exit 1; }
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    (cd "$pc" && exec wine explorer /desktop=bench,1000x860 VELQO_LAN_MM.exe) >"$work/wine.log" 2>&1 &
    pids+=($!)
}

# One driver run; its output without Windows' CR, in the file $1.
# A file, not a pipe: Wine's helper processes may keep a pipe open.
drive() {
    local log=$1
    shift
    wine "$win/velqo-drive-window.exe" --desktop bench "$@" >"$work/drive.raw" 2>&1
    tr -d '\r' <"$work/drive.raw" >"$log"
}

# A whole command-line run, in milliseconds.
cli=(wine "$work/velqo-cli.exe" --host 127.0.0.1 --port "$cli_port" --password 7351 -C "$work/cli")
run_ms() {
    local start end
    start=$(date +%s%N)
    "${cli[@]}" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Rounds of: the window's run (drive arguments $2..., its time read by the
# sed pattern $1), then `velqo-cli.exe list` and the command line's run
# ($cli_run). The command line's time is its run less its list, so that what
# remains is the work (process start, connect and login cancel out).
# Sets window_ms, cli_ms and round_ratio (the median of each round's own
# ratio: the two halves of a round met the same load).
take_rounds() {
    local pattern=$1
    shift
    local window=() lists=() runs=() ratios=() i
    for round in $(seq "$rounds"); do
        # The driver logs in on its first run; later runs find the window logged in.
        drive "$work/drive-$round.log" "$@"
        window+=("$(sed -n "$pattern" "$work/drive-$round.log")")
        lists+=("$(run_ms list)")
        runs+=("$(run_ms "${cli_run[@]}")")
    done
    window_ms=$(printf '%s\n' "${window[@]}" | median)
    cli_ms=$(awk -v r="$(printf '%s\n' "${runs[@]}" | median)" \
        -v l="$(printf '%s\n' "${lists[@]}" | median)" 'BEGIN { print r - l }')
    for i in $(seq 0 $((rounds - 1))); do
        ratios+=("$(awk -v w="${window[$i]}" -v g="${runs[$i]}" -v l="${lists[$i]}" \
            'BEGIN { print (g > l) ? w / (g - l) : 0 }')")
    done
    round_ratio=$(printf '%s\n' "${ratios[@]}" | median)
    first_ms=${window[0]}
}

# The row's title $1, its two labels $2 and $3, and the figures take_rounds set.
print_rounds() {
    awk -v title="$1" -v wl="$2" -v cl="$3" -v w="$window_ms" -v c="$cli_ms" \
        -v r="$round_ratio" 'BEGIN {
        ratio = w / c
        printf "\n%s\n", title
        printf "  %-34s %9.0f ms\n", wl, w
        printf "  %-34s %9.0f ms\n", cl, c
        printf "  %-34s %9.2f x   aim within 1.2x: %s\n", "window / command line", ratio, (ratio <= 1.2 ? "PASS" : "MISS")
        printf "  %-34s %9.2f x\n", "median of the rounds'"'"' own ratios", r
    }'
}

# The download row.
mkdir -p "$work/box"
head -c $((16 * 1024 * 1024)) /dev/urandom >"$work/box/big.bin"
printf 'Bench big.bin 2\n' >"$work/box/manifest.txt"
start_scene "$work/box" "$work/pc"
cli_run=(get big.bin)
take_rounds 's/^download 1: \([0-9.]*\) ms$/\1/p' --downloads 1
cmp -s "$work/box/big.bin" "$work/pc/big.bin" || { echo "the window's download differs"; exit 1; }
cmp -s "$work/box/big.bin" "$work/cli/big.bin" || { echo "velqo-cli.exe's download differs"; exit 1; }
peak_kib=$(sed -n 's/^peak working set: \([0-9]*\) KiB$/\1/p' "$work/drive-$rounds.log")
# What any window costs under this Wine, for scale.
x86_64-w64-mingw32-strip -o "$work/velqo-empty-window.exe" "$win/velqo-empty-window.exe"
wine "$work/velqo-empty-window.exe" >"$work/empty.raw" 2>&1
empty_kib=$(tr -d '\r' <"$work/empty.raw" | sed -n 's/^peak working set: \([0-9]*\) KiB$/\1/p')
print_rounds "The window under Wine, 16 MiB download (median of $rounds rounds, each the window then the command line):" \
    "through the window" "velqo-cli.exe (get less list)"
awk -v p="$peak_kib" -v e="$empty_kib" -v f="$first_ms" 'BEGIN {
    printf "  %-34s %9d KiB aim under 16 MiB: %s\n", "window peak working set", p, (p < 16384 ? "PASS" : "MISS")
    printf "  %-34s %9d KiB\n", "an empty window, same Wine", e
    printf "  %-34s %9.0f ms\n", "first download (for drift)", f
}'

# The backup row: a new pair of boxes on a folder of 28 files, a new window.
stop_all
files=28
mkdir -p "$work/box28"
: >"$work/box28/manifest.txt"
for i in $(seq -w 1 "$files"); do
    head -c $((4 * 1024 * 1024 / files)) /dev/urandom >"$work/box28/file$i.bin"
    printf 'Group%s file%s.bin 2\n' $((10#$i % 4)) "$i" >>"$work/box28/manifest.txt"
done
start_scene "$work/box28" "$work/pc28"
cli_run=(backup --into backup)  # within -C
take_rounds 's/^backup: \([0-9.]*\) ms$/\1/p' --backup
# Every backup complete and equal to the box.
for b in "$work"/pc28/backup/*/ "$work"/cli/backup/*/; do
    [ ! -e "$b/INCOMPLETE" ] && (cd "$b" && sha256sum -c --quiet SHA256SUMS) ||
        { echo "backup $b is not complete"; exit 1; }
    cmp -s "$b/file01.bin" "$work/box28/file01.bin" || { echo "backup $b differs from the box"; exit 1; }
done
[ "$(ls "$work/pc28/backup" | wc -l)" = "$rounds" ] || { echo "the window made no backup each round"; exit 1; }
print_rounds "The window under Wine, backup of 28 files, 4 MiB (median of $rounds rounds, load $(cut -d' ' -f1-3 /proc/loadavg)):" \
    "Back up now in the window" "velqo-cli.exe (backup less list)"
