#!/bin/bash
# The shell completion of velqo-cli and velqo-boxsim, driven as bash drives
# it: the script is sourced, `complete -p` names its function, and the
# function is called with COMP_WORDS and COMP_CWORD set as bash sets them.
# Two substitute boxes on 127.0.0.1: box A, named by the settings file, and
# box B, named only on the command line being completed; get's names must
# come from A alone, and from no box at all without a settings file that
# names one with its password.
#
# Usage: check-completion.sh BIN_DIR BASH_SCRIPT [ZSH_SCRIPT]
set -euo pipefail
bin=$(cd "$1" && pwd)
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
zsh_script=${3:-}
work=$(mktemp -d)
boxes=()
cleanup() {
    for pid in "${boxes[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
export PATH=$bin:$PATH
unset VELQO_PASSWORD

fail() {
    echo "check-completion: FAILED: $*" >&2
    exit 1
}

# Starts a substitute box serving FOLDER on a free loopback port, in this shell
# so that the clean-up knows it.
start_box() {
    velqo-boxsim --folder "$1" --port 0 --verbose >"$1.out" 2>&1 &
    boxes+=($!)
}

# The port of the box serving FOLDER, once it listens.
port_of() {
    local out=$1.out
    for _ in $(seq 1 100); do
        if grep -q 'listening on 127.0.0.1:' "$out"; then
            sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$out" | head -n1
            return 0
        fi
        sleep 0.1
    done
    fail "velqo-boxsim did not listen: $(cat "$out")"
}

velqo-boxsim --make-demo "$work/box-a" >/dev/null
# A name that is not UTF-8 is offered as bash quotes it; one that velqo-cli
# shows escaped (a right-to-left override) cannot be typed as shown.
printf 'Other "caf\xe9.txt" 1\nOther "\xe2\x80\xaetxt.exe" 1\n' >>"$work/box-a/manifest.txt"
touch "$work/box-a/caf"$'\xe9'".txt" "$work/box-a/"$'\xe2\x80\xae'"txt.exe"
mkdir -p "$work/box-b"
printf 'Other "only on b.txt" 1\n' >"$work/box-b/manifest.txt"
printf 'b\n' >"$work/box-b/only on b.txt"
start_box "$work/box-a"
start_box "$work/box-b"
port_a=$(port_of "$work/box-a")
port_b=$(port_of "$work/box-b")

mkdir -p "$work/pc/config" "$work/pc/backups/one" "$work/bare" "$work/nopass/config"
printf 'BOXIP=127.0.0.1\r\nPORT=%s\r\nPASSWORD=7351\r\n' "$port_a" >"$work/pc/config/config.ini"
printf 'BOXIP=127.0.0.1\nPORT=%s\n' "$port_a" >"$work/nopass/config/config.ini"
touch "$work/pc/local one.txt" "$work/pc/config.txt" "$work/pc/backups/one/config.txt" \
    "$work/pc/backups/one/manifest.txt" "$work/pc/backups/one/SHA256SUMS"
mkdir -p "$work/pc/backup/127.0.0.1+4000-20261201-100000-2" "$work/pc/backup/127.0.0.1-20261201-100000"

# The words offered for a command line whose last word is being completed,
# one per line, sorted.
complete_line() {
    local shell_words=$1
    (
        # shellcheck disable=SC1090
        source "$script"
        local registered
        registered=$(complete -p "${shell_words%% *}") || exit 1
        local function=${registered#*-F }
        function=${function%% *}
        read -ra COMP_WORDS <<<"$shell_words"
        [[ $shell_words == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMPREPLY=()
        "$function"
        printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
    )
}

connections() {
    grep -c 'connection accepted' "$1" || true
}

# Each case: the folder completed in, the command line (a trailing blank
# starts a new word), and what must be offered, '|' between the words; a
# first word "+" asks for these among others (commands and options grow).
cases=(
    "pc|velqo-cli |+|backup|compare|diff|get|history|list|put|restore|update"
    "pc|velqo-cli --ver|--verbose|--verify|--version"
    "pc|velqo-cli -|+|-C|-H|-V|-h|-p|-q|-v|--directory|--help|--host|--into|--json|--keep|--port"
    "pc|velqo-cli get con|config.txt"
    "pc|velqo-cli get ca|\$'caf\\351.txt'"
    "pc|velqo-cli -H 127.0.0.1 -p $port_b get |\$'caf\\351.txt'|bootlogo.bmp|channels.db|config.txt|favourites.txt|satellites.db|timers.txt|update.pkg"
    "pc|velqo-cli put |config.txt|local\\ one.txt"
    "pc|velqo-cli update |config.txt|local\\ one.txt"
    "pc|velqo-cli restore back|backup|backups"
    "pc|velqo-cli compare backups/one |config.txt"
    "pc|velqo-cli restore lat|latest|latest~1"
    "pc|velqo-cli diff latest |+|box|latest|latest~1|backups"
    "pc|velqo-cli history |127.0.0.1|127.0.0.1+4000"
    "pc|velqo-cli --into ba|backup|backups"
    "pc|velqo-cli --port |"
    "pc|velqo-cli fi|find"
    "pc|velqo-cli find --w|--wide|--write-settings"
    "pc|velqo-cli find --ho|--host"
    "pc|velqo-cli backup --ke|--keep"
    "pc|velqo-cli find 127.0.0.|"
    "bare|velqo-cli -C ../pc put l|local\\ one.txt"
    "bare|velqo-cli get |"
    "nopass|velqo-cli get |"
    "bare|velqo-boxsim --fo|--folder|--force"
    "bare|velqo-boxsim --update-|--update-fails|--update-file|--update-resets|--update-restart"
    "bare|velqo-boxsim --folder ../p|../pc"
    "bare|velqo-boxsim --port |"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r folder line expected_words <<<"$entry"
    among=""
    if [[ $expected_words == "+|"* ]]; then
        among=1
        expected_words=${expected_words#+|}
    fi
    expected=$(tr '|' '\n' <<<"$expected_words" | sed '/^$/d' | sort)
    before_a=$(connections "$work/box-a.out")
    got=$(cd "$work/$folder" && complete_line "$line") || fail "no completion for '$line'"
    if [[ $line == *" get "* ]]; then
        # Only B's names prove a contact with B; A is asked only when named.
        [[ $got != *"only on b"* ]] || fail "'$line' asked box B"
    else
        [[ $(connections "$work/box-a.out") == "$before_a" ]] ||
            fail "'$line' in $folder contacted the box"
    fi
    if [[ -n $among ]]; then
        # Every word asked for is offered, and only words that fit the line.
        missing=$(comm -23 <(echo "$expected") <(echo "$got"))
        word=${line##* }
        [[ -z $missing ]] || fail "'$line' in $folder did not offer: $missing"
        ! grep -v -- "^$word" <<<"$got" || fail "'$line' in $folder offered words that do not fit"
        continue
    fi
    [[ $got == "$expected" ]] ||
        fail "'$line' in $folder offered [$(tr '\n' ' ' <<<"$got")], not [$(tr '\n' ' ' <<<"$expected")]"
done
# A settings file without the password, and a folder without one: no contact.
for folder in nopass bare; do
    before_a=$(connections "$work/box-a.out")
    (cd "$work/$folder" && complete_line "velqo-cli get ") >/dev/null
    [[ $(connections "$work/box-a.out") == "$before_a" ]] || fail "get in $folder contacted box A"
done
[[ $(connections "$work/box-b.out") == 0 ]] || fail "box B was contacted"
echo "check-completion: bash: ${#cases[@]} command lines complete as they should"

if [[ -n $zsh_script ]]; then
    command -v zsh >/dev/null || fail "zsh is not installed"
    zsh -n "$zsh_script" || fail "$zsh_script does not parse"
    # The bash functions under zsh's bashcompinit, as _velqo-cli loads them.
    got=$(cd "$work/pc" && zsh -f -c '
        autoload -U +X compinit && compinit -u
        autoload -U +X bashcompinit && bashcompinit
        source "$1"
        setopt ksharrays
        COMP_WORDS=(velqo-cli get con) COMP_CWORD=2 COMPREPLY=()
        _velqo_cli
        print -r -- "${COMPREPLY[@]}"' zsh "$script")
    [[ $got == config.txt ]] || fail "under zsh, 'velqo-cli get con' offered [$got]"
    echo "check-completion: zsh: the same functions complete through bashcompinit"
fi
