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
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=build/native/bin
win=build/win/bin
work=build/bench-window
rounds=${WINDOW_BENCH_ROUNDS:-7}
size=$((16 * 1024 * 1024))
cli_port=1001
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$work"
mkdir -p "$work/box" "$work/pc/config" "$work/cli/config"
head -c "$size" /dev/urandom >"$work/box/big.bin"
printf 'Bench big.bin 2\n' >"$work/box/manifest.txt"
printf 'BOXIP=127.0.0.1\nPORT=01000\nPASSWORD=7351\n' >"$work/pc/config/config.ini"
cp "$win/VELQO_LAN_MM.exe" "$work/pc/"

pids=()
cleanup() {
    wineserver -k 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

"$native/velqo-boxsim" --folder "$work/box" --port 1000 >"$work/box.out" 2>"$work/box.err" &
pids+=($!)
"$native/velqo-boxsim" --folder "$work/box" --port "$cli_port" >"$work/box2.out" 2>"$work/box2.err" &
pids+=($!)
sleep 0.5
if ! kill -0 "${pids[0]}" 2>/dev/null; then
    echo "window rows skipped: the substitute box cannot listen on 127.0.0.1:1000 ($(cat "$work/box.err"))"
    exit 0
fi
kill -0 "${pids[1]}" 2>/dev/null || { echo "no substitute box on port $cli_port: $(cat "$work/box2.err")"; exit 1; }

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
(cd "$work/pc" && exec wine explorer /desktop=bench,1000x860 VELQO_LAN_MM.exe) >"$work/wine.log" 2>&1 &
pids+=($!)

# The command line: a get less a list, both whole runs, so that what remains is
# the transfer (process start, connect and login cancel out).
cli=(wine "$win/velqo-cli.exe" --host 127.0.0.1 --port "$cli_port" --password 7351 -C "$work/cli")
run_ms() {
    local start end
    start=$(date +%s%N)
    "${cli[@]}" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
window=() lists=() gets=()
for round in $(seq "$rounds"); do
    # The driver logs in on its first run; later runs find the window logged in.
    # A file, not a pipe: Wine's helper processes may keep a pipe open.
    # Windows programs end their lines with CR LF.
    wine "$win/velqo-drive-window.exe" --desktop bench --downloads 1 >"$work/drive.raw" 2>&1
    tr -d '\r' <"$work/drive.raw" >"$work/drive-$round.log"
    window+=("$(sed -n 's/^download 1: \([0-9.]*\) ms$/\1/p' "$work/drive-$round.log")")
    lists+=("$(run_ms list)")
    gets+=("$(run_ms get big.bin)")
done
cmp -s "$work/box/big.bin" "$work/pc/big.bin" || { echo "the window's download differs"; exit 1; }
cmp -s "$work/box/big.bin" "$work/cli/big.bin" || { echo "velqo-cli.exe's download differs"; exit 1; }
peak_kib=$(sed -n 's/^peak working set: \([0-9]*\) KiB$/\1/p' "$work/drive-$rounds.log")

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
window_ms=$(printf '%s\n' "${window[@]}" | median)
list_ms=$(printf '%s\n' "${lists[@]}" | median)
get_ms=$(printf '%s\n' "${gets[@]}" | median)
cli_ms=$(awk -v g="$get_ms" -v l="$list_ms" 'BEGIN { print g - l }')
# Each round's own ratio too: the two halves of a round met the same load.
ratios=()
for i in $(seq 0 $((rounds - 1))); do
    ratios+=("$(awk -v w="${window[$i]}" -v g="${gets[$i]}" -v l="${lists[$i]}" \
        'BEGIN { print (g > l) ? w / (g - l) : 0 }')")
done
round_ratio=$(printf '%s\n' "${ratios[@]}" | median)

awk -v w="$window_ms" -v c="$cli_ms" -v p="$peak_kib" -v n="$rounds" -v f="${window[0]}" \
    -v r="$round_ratio" 'BEGIN {
    ratio = w / c
    printf "\nThe window under Wine, 16 MiB download (median of %d rounds, each the window then the command line):\n", n
    printf "  %-34s %9.0f ms\n", "through the window", w
    printf "  %-34s %9.0f ms\n", "velqo-cli.exe (get less list)", c
    printf "  %-34s %9.2f x   aim within 1.2x: %s\n", "window / command line", ratio, (ratio <= 1.2 ? "PASS" : "MISS")
    printf "  %-34s %9.2f x\n", "median of the rounds'"'"' own ratios", r
    printf "  %-34s %9d KiB aim under 16 MiB: %s\n", "window peak working set", p, (p < 16384 ? "PASS" : "MISS")
    printf "  %-34s %9.0f ms\n", "first download (for drift)", f
}'

# The backup row: a new pair of boxes on a folder of 28 files, a new window.
wineserver -k 2>/dev/null || true
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
wait 2>/dev/null || true
pids=()
files=28
mkdir -p "$work/box28" "$work/pc28/config"
: >"$work/box28/manifest.txt"
for i in $(seq -w 1 "$files"); do
    head -c $((4 * 1024 * 1024 / files)) /dev/urandom >"$work/box28/file$i.bin"
    printf 'Group%s file%s.bin 2\n' $((10#$i % 4)) "$i" >>"$work/box28/manifest.txt"
done
cp "$work/pc/config/config.ini" "$work/pc28/config/"
cp "$win/VELQO_LAN_MM.exe" "$work/pc28/"
"$native/velqo-boxsim" --folder "$work/box28" --port 1000 >"$work/box.out" 2>"$work/box.err" &
pids+=($!)
"$native/velqo-boxsim" --folder "$work/box28" --port "$cli_port" >"$work/box2.out" 2>"$work/box2.err" &
pids+=($!)
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
(cd "$work/pc28" && exec wine explorer /desktop=bench,1000x860 VELQO_LAN_MM.exe) >"$work/wine.log" 2>&1 &
pids+=($!)
window=() backups=() lists=()
for round in $(seq "$rounds"); do
    wine "$win/velqo-drive-window.exe" --desktop bench --backup >"$work/drive.raw" 2>&1
    tr -d '\r' <"$work/drive.raw" >"$work/backup-$round.log"
    window+=("$(sed -n 's/^backup: \([0-9.]*\) ms$/\1/p' "$work/backup-$round.log")")
    lists+=("$(run_ms list)")
    backups+=("$(run_ms backup --into backup)")  # within -C
done
# Every backup complete and equal to the box.
for b in "$work"/pc28/backup/*/ "$work"/cli/backup/*/; do
    [ ! -e "$b/INCOMPLETE" ] && (cd "$b" && sha256sum -c --quiet SHA256SUMS) ||
        { echo "backup $b is not complete"; exit 1; }
    cmp -s "$b/file01.bin" "$work/box28/file01.bin" || { echo "backup $b differs from the box"; exit 1; }
done
[ "$(ls "$work/pc28/backup" | wc -l)" = "$rounds" ] || { echo "the window made no backup each round"; exit 1; }
window_ms=$(printf '%s\n' "${window[@]}" | median)
list_ms=$(printf '%s\n' "${lists[@]}" | median)
backup_ms=$(printf '%s\n' "${backups[@]}" | median)
ratios=()
for i in $(seq 0 $((rounds - 1))); do
    ratios+=("$(awk -v w="${window[$i]}" -v g="${backups[$i]}" -v l="${lists[$i]}" \
        'BEGIN { print (g > l) ? w / (g - l) : 0 }')")
done
round_ratio=$(printf '%s\n' "${ratios[@]}" | median)
awk -v w="$window_ms" -v b="$backup_ms" -v l="$list_ms" -v n="$rounds" -v r="$round_ratio" \
    -v load="$(cut -d' ' -f1-3 /proc/loadavg)" 'BEGIN {
    c = b - l
    ratio = w / c
    printf "\nThe window under Wine, backup of 28 files, 4 MiB (median of %d rounds, load %s):\n", n, load
    printf "  %-34s %9.0f ms\n", "Back up now in the window", w
    printf "  %-34s %9.0f ms\n", "velqo-cli.exe (backup less list)", c
    printf "  %-34s %9.2f x   aim within 1.2x: %s\n", "window / command line", ratio, (ratio <= 1.2 ? "PASS" : "MISS")
    printf "  %-34s %9.2f x\n", "median of the rounds'"'"' own ratios", r
}'
