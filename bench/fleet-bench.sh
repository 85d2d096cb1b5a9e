#!/bin/bash
# The fleet row: 64 substitute boxes on 127.0.0.2-127.0.0.65, port 1000, each
# holding about 0.8 MB and paced as a box on a home LAN (--pace-ms 4), so that
# one box's backup takes about four seconds. velqo-cli find --login
# --inventory finds them and writes the inventory; ansible-playbook -f 64
# with the collection's backup.yml backs them all up, one run. Beside it,
# Ansible's own floor: the same hosts with a task that does nothing, plus one
# box's backup; the aim is within 1.2x of it. The first sixteen are also
# backed up by a shell loop running velqo-cli backup for each in turn.
# Port 1000 needs root (or the capability); without it the row is skipped with a word.
# Usage: bench/fleet-bench.sh BIN COLLECTION  (BIN: velqo-cli and velqo-boxsim)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "$1")
collection=$(realpath "$2")
work=$root/build/bench-fleet
boxes=64
looped=16
pace_ms=4
box_bytes=800000

rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

"$bin/velqo-boxsim" --make-demo "$work/demo" >/dev/null
head -c "$box_bytes" /dev/zero | tr '\0' 'c' >"$work/demo/channels.db"
inventory=$work/inventory.yml
for i in $(seq 2 $((boxes + 1))); do
    cp -r "$work/demo" "$work/box$i"
    "$bin/velqo-boxsim" --folder "$work/box$i" --listen "127.0.0.$i" --port 1000 \
        --pace-ms "$pace_ms" >"$work/box$i.out" 2>&1 &
    pids+=($!)
done
sleep 0.5
for i in $(seq 2 $((boxes + 1))); do
    if ! grep -q "listening on 127.0.0.$i:1000" "$work/box$i.out"; then
        echo "fleet row skipped: a substitute box cannot listen on 127.0.0.$i:1000 ($(cat "$work/box$i.out"))"
        exit 0
    fi
done

seconds() {
    local start=$(date +%s%N)
    "$@" >"$work/last.log" 2>&1 || { cat "$work/last.log" >&2; exit 1; }
    awk -v ns=$(($(date +%s%N) - start)) 'BEGIN { printf "%.2f", ns / 1e9 }'
}
# The range named, never the PC's own networks; the demo box's password.
find_boxes() {
    "$bin/velqo-cli" --password 7351 -C "$work" find --login --inventory \
        "127.0.0.2-$((boxes + 1))" >"$inventory"
}
one_box() { "$bin/velqo-cli" --host 127.0.0.2 backup --into "$work/one"; }
loop() {
    for i in $(seq 2 $((looped + 1))); do
        "$bin/velqo-cli" --host "127.0.0.$i" backup --into "$work/loop" || return 1
    done
}
export ANSIBLE_COLLECTIONS_PATH=$work/collections ANSIBLE_LOCAL_TEMP=$work/ansible-tmp
ansible-galaxy collection install "$collection" -p "$ANSIBLE_COLLECTIONS_PATH" >/dev/null
playbook() {
    ansible-playbook -i "$inventory" -f "$boxes" "$root/ansible/examples/backup.yml" \
        -e target=boxes -e velqo_backups="$work/playbook" -e velqo_cli="$bin/velqo-cli"
}
printf -- '- hosts: boxes\n  gather_facts: false\n  tasks:\n    - ansible.builtin.debug:\n        msg: ""\n' \
    >"$work/nothing.yml"
nothing() { ansible-playbook -i "$inventory" -f "$boxes" "$work/nothing.yml"; }

find_s=$(seconds find_boxes)
found=$(grep -c 'ansible_host:' "$inventory" || true)
[ "$found" = "$boxes" ] || { echo "find --inventory found $found boxes, not $boxes"; exit 1; }
one_s=$(seconds one_box)
loop_s=$(seconds loop)
playbook_s=$(seconds playbook)
nothing_s=$(seconds nothing)
made=$(find "$work/playbook" -mindepth 1 -maxdepth 1 -type d | wc -l)
[ "$made" = "$boxes" ] || { echo "the playbook made $made backup folders, not $boxes"; exit 1; }
awk -v one="$one_s" -v l="$loop_s" -v p="$playbook_s" -v n="$nothing_s" -v f="$find_s" \
    -v b="$boxes" -v lb="$looped" -v pace="$pace_ms" -v bytes="$box_bytes" 'BEGIN {
    floor = n + one
    printf "\nFleet: %d substitute boxes on 127.0.0.2-127.0.0.%d:1000, --pace-ms %d, %.1f MB each; one run:\n", b, b + 1, pace, (bytes + 34000) / 1e6
    printf "  %-44s %8.2f s\n", "velqo-cli find --login --inventory", f
    printf "  %-44s %8.2f s\n", "one box, velqo-cli backup", one
    printf "  %-44s %8.2f s\n", "shell loop over " lb ", velqo-cli backup for each", l
    printf "  %-44s %8.2f s\n", "ansible-playbook -f " b ", a task doing nothing", n
    printf "  %-44s %8.2f s\n", "ansible-playbook -f " b " backup.yml", p
    printf "  %-44s %8.2f x   aim at most 1.2x: %s\n", "playbook / (nothing + one box)", p / floor, (p / floor <= 1.2 ? "PASS" : "MISS")
}'
