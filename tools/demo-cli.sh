#!/bin/bash
# Demonstrates velqo-cli against the substitute box with demo content, in
# build/run-cli: a list, a download and an upload. Loopback only.
set -euo pipefail
bin=${1:-build/native/bin}
bin=$(cd "$bin" && pwd)
run=build/run-cli
rm -rf "$run"
mkdir -p "$run/pc"
"$bin/velqo-boxsim" --make-demo "$run/box" >/dev/null
"$bin/velqo-boxsim" --folder "$run/box" --port 0 --wait-phase >"$run/boxsim.out" 2>"$run/boxsim.err" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    grep -q listening "$run/boxsim.out" 2>/dev/null && break
    sleep 0.1
done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$run/boxsim.out")
[ -n "$port" ] || { echo "the substitute box did not start:"; cat "$run/boxsim.err"; exit 1; }
cli=("$bin/velqo-cli" --host 127.0.0.1 --port "$port" -C "$run/pc")
echo "== substitute box on 127.0.0.1:$port, working directory $run/pc"
echo "== velqo-cli list"
"${cli[@]}" list
first_text=$("${cli[@]}" list 2>/dev/null | awk -F'\t' '$3 == 1 { print $2; exit }')
echo "== velqo-cli get $first_text"
"${cli[@]}" get "$first_text"
echo "== velqo-cli put $first_text (after an edit)"
printf 'edited by velqo-cli demo\r\n' >>"$run/pc/$first_text"
"${cli[@]}" put "$first_text"
echo "== the box now holds:"
tail -n 2 "$run/box/$first_text"
