#!/bin/bash
# The peer row: velqo-cli against velqo-boxsim beside curl against tftpd-hpa,
# a protocol of the same lock-step kind (a 1024-byte block, then its
# acknowledgement), moving the same 16 MiB file both ways over 127.0.0.1, the
# four transfers taking turns round after round. For each transfer the time
# that passes on the client and the CPU time of both programs are taken
# (perf's task-clock, which also counts tftpd's forked children). The CPU time
# is the figure to judge by: on a busy machine the time that passes is mostly
# waiting for a CPU, and swings from run to run.
# tftpd listens on 127.0.0.1 only and serves a folder of its own, into which
# it changes root: it needs root, as perf does to count another user's
# process; without root, curl, tftpd or perf the row is skipped with a word.
# Usage: bench/peer-bench.sh BIN [ROUNDS]  (BIN: velqo-cli and velqo-boxsim)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "$1")
rounds=${2:-5}
work=$root/build/bench-peer
size_mib=16
block=1024
password=1234
wait_steps=100 # of 0.1 s: the longest wait for a server to start or end

skip() {
    printf '\nPeer row skipped: %s\n' "$*"
    exit 0
}
[ "$(id -u)" = 0 ] || skip "tftpd needs root to change root into its folder"
command -v curl >/dev/null || skip "no curl"
[ -x /usr/sbin/in.tftpd ] || skip "no /usr/sbin/in.tftpd (Debian package tftpd-hpa)"
perf stat -x, -e task-clock -o /dev/null true >/dev/null 2>&1 ||
    skip "perf cannot count task-clock here"

# The current transfer's perf and server, while they run.
live=()
cleanup() {
    for p in "${live[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

rm -rf "$work"
mkdir -p "$work/box" "$work/tftp" "$work/pc"
head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$work/box/big.bin"
cp "$work/box/big.bin" "$work/tftp/big.bin"
cp "$work/box/big.bin" "$work/pc/up.bin"
printf 'Bench big.bin 0\nBench up.bin 0\n' >"$work/box/manifest.txt"
# tftpd serves as the user nobody: it reads and creates files there.
chmod 777 "$work/tftp"
chmod 644 "$work/tftp/big.bin"
tftp_port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
export VELQO_PASSWORD=$password

# The task-clock milliseconds in a perf stat -x, output file.
cpu_ms() { awk -F, '$3 == "task-clock" { print $1 }' "$1"; }
# The pid of the program that perf (pid $1) runs, once it is there.
child_of() {
    local c=""
    for _ in $(seq $wait_steps); do
        c=$(pgrep -P "$1" | head -1) && [ -n "$c" ] && break
        sleep 0.1
    done
    echo "$c"
}
fail() {
    echo "peer row: $*" >&2
    exit 1
}

# One transfer: KIND is vget, vput (velqo) or tget, tput (TFTP). Adds a line
# to the results: the kind, the client's wall milliseconds and the CPU
# milliseconds of both programs.
transfer() {
    local kind=$1 port server perfpid start wall
    rm -f "$work/pc/big.bin" "$work/pc/got.bin" "$work/box/up.bin" "$work/tftp/up.bin" \
        "$work"/*.perf "$work/box.out"
    case $kind in
    v*)
        perf stat -x, -e task-clock -o "$work/server.perf" -- "$bin/velqo-boxsim" \
            --folder "$work/box" --listen 127.0.0.1 --port 0 --password $password --once \
            >"$work/box.out" 2>&1 &
        perfpid=$!
        server=$(child_of $perfpid)
        live=("$server" "$perfpid")
        for _ in $(seq $wait_steps); do
            port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/box.out")
            [ -n "$port" ] && break
            sleep 0.1
        done
        [ -n "$port" ] || fail "velqo-boxsim did not start: $(cat "$work/box.out")"
        ;;
    t*)
        perf stat -x, -e task-clock -o "$work/server.perf" -- /usr/sbin/in.tftpd -L \
            -a "127.0.0.1:$tftp_port" -s "$work/tftp" -c -p -u nobody &
        perfpid=$!
        server=$(child_of $perfpid)
        live=("$server" "$perfpid")
        for _ in $(seq $wait_steps); do
            grep -q " 0100007F:$(printf '%04X' "$tftp_port") " /proc/net/udp && break
            sleep 0.1
        done
        ;;
    esac
    local count=(perf stat -x, -e task-clock -o "$work/client.perf" --)
    start=$(date +%s%N)
    case $kind in
    vget) (cd "$work/pc" && "${count[@]}" "$bin/velqo-cli" -H 127.0.0.1 -p "$port" get big.bin) ;;
    vput) (cd "$work/pc" && "${count[@]}" "$bin/velqo-cli" -H 127.0.0.1 -p "$port" put up.bin) ;;
    tget) "${count[@]}" curl -sS --tftp-blksize $block -o "$work/pc/got.bin" \
        "tftp://127.0.0.1:$tftp_port/big.bin" ;;
    tput) "${count[@]}" curl -sS --tftp-blksize $block -T "$work/pc/up.bin" \
        "tftp://127.0.0.1:$tftp_port/up.bin" ;;
    esac >"$work/client.out" 2>&1 || fail "$kind failed: $(tail -3 "$work/client.out")"
    wall=$((($(date +%s%N) - start) / 1000000))
    if [ "${kind:0:1}" = t ]; then
        # tftpd ends its transfer's process after the last acknowledgement.
        for _ in $(seq $wait_steps); do
            pgrep -P "$server" >/dev/null || break
            sleep 0.1
        done
        kill "$server"
    fi
    wait "$perfpid" || true
    live=()
    case $kind in
    vget) cmp -s "$work/box/big.bin" "$work/pc/big.bin" ;;
    tget) cmp -s "$work/box/big.bin" "$work/pc/got.bin" ;;
    vput) cmp -s "$work/pc/up.bin" "$work/box/up.bin" ;;
    tput) cmp -s "$work/pc/up.bin" "$work/tftp/up.bin" ;;
    esac || fail "$kind: the file that arrived differs"
    awk -v k="$kind" -v w="$wall" -v c="$(cpu_ms "$work/client.perf")" \
        -v s="$(cpu_ms "$work/server.perf")" \
        'BEGIN { if (c == "" || s == "") exit 1; printf "%s %d %.1f\n", k, w, c + s }' \
        >>"$work/results" || fail "$kind: perf counted nothing"
}

kinds=(vget tget vput tput)
for r in $(seq "$rounds"); do
    for k in 0 1 2 3; do
        transfer "${kinds[$(((r + k) % 4))]}"
    done
done

awk -v n="$rounds" -v mib=$size_mib -v blk=$block '
function median(kind, col,    v, i, j, t, m) {
    m = 0
    for (i = 1; i <= count; i++) if (k[i] == kind) v[++m] = (col == 1 ? w[i] : c[i])
    for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return m % 2 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
}
{ count++; k[count] = $1; w[count] = $2; c[count] = $3 }
END {
    printf "\nPeer: velqo-cli and velqo-boxsim beside curl and tftpd-hpa (%d-byte blocks), a\n", blk
    printf "%d MiB file over 127.0.0.1, %d rounds taking turns; medians. cpu: both programs\n", mib, n
    printf "together; ratio: TFTP / velqo (above 1: velqo costs less).\n"
    printf "%-10s %10s %10s %7s %11s %11s %7s\n", "operation", "velqo cpu", "tftp cpu", "ratio", "velqo time", "tftp time", "ratio"
    split("get put", dir, " ")
    split("download upload", name, " ")
    for (d = 1; d <= 2; d++) {
        vc = median("v" dir[d], 2); tc = median("t" dir[d], 2)
        vw = median("v" dir[d], 1); tw = median("t" dir[d], 1)
        printf "%-10s %7.0f ms %7.0f ms %7.2f %8.0f ms %8.0f ms %7.2f\n", name[d], vc, tc, tc / vc, vw, tw, tw / vw
    }
}' "$work/results"
