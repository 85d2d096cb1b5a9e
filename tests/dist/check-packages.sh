#!/bin/bash
# Checks the packages of `make dist` as a user meets them:
#  - the .deb: version the zip's with a Debian revision; lintian finds no
#    error or warning, and even with --pedantic no hardening tag and no
#    unneeded section; unpacked with dpkg-deb -x,
#    both programs run (velqo-cli lists a velqo-boxsim of the same package over
#    loopback), both man pages read with man -l and hold their added sections,
#    velqo-cli's synopsis holds each usage line and its description none,
#    the doc folder holds copyright (LICENSE's text), changelog, README and
#    every file the README links to, and the shell completion completes
#    (tests/dist/check-completion.sh, on the programs of the .deb);
#  - the zip unpacked into a fresh folder, under a fresh Wine prefix: it holds
#    the licence, the window starts and logs its banner and version, and
#    velqo-cli.exe, given the box only by config\config.ini as README.txt
#    says, lists a velqo-boxsim.exe of the same zip over loopback.
# Everything talks to 127.0.0.1 only.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
dist=build/dist
work=$root/build/dist-check
probe=$root/build/win/bin/window_log_probe.exe

fail() {
    echo "check-packages: FAILED: $*" >&2
    exit 1
}
ok() { echo "check-packages: ok: $*"; }

# Waits for "listening on 127.0.0.1:PORT" in a file and prints PORT.
listening_port() {
    local out=$1
    for _ in $(seq 1 150); do
        if grep -q 'listening on 127.0.0.1:' "$out" 2>/dev/null; then
            sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$out" | head -n1
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# The manifest's files as velqo-cli lists them: GROUP<TAB>NAME<TAB>TYPE, by group.
check_list() {
    local list=$1 demo=$2
    tr -d '\r' <"$list" >"$list.lf"
    local names
    names=$(awk '!/^[[:space:]]*(#|$)/ { print $2 }' "$demo/manifest.txt" | sort)
    [ -n "$names" ] || fail "the demo manifest lists nothing"
    [ "$(cut -f2 "$list.lf" | sort)" = "$names" ] || fail "list output differs: $(cat "$list.lf")"
}

inside_display() {
    local folder=$1 version=$2
    export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot -i >/dev/null 2>&1
    wineserver -w
    trap 'wineserver -k 2>/dev/null || true' EXIT
    # The window only connects when asked to; the settings say loopback anyway.
    printf 'BOXIP=127.0.0.1\r\nPORT=01000\r\nPASSWORD=7351\r\n' >"$folder/config/config.ini"
    cd "$folder"
    # A name relative to the folder: Wine maps the working directory, not Unix paths in arguments.
    wine "$probe" VELQO_LAN_MM.exe "Version: v$version" 60 >"$work/window.log" 2>&1 ||
        fail "the window did not log its version: $(cat "$work/window.log")"
    grep -q 'VELQO_LAN_MM.exe - ' "$work/window.log" || fail "no banner: $(cat "$work/window.log")"
    ok "the zip's window starts in a fresh prefix and logs: $(head -c 120 "$work/window.log" | tr '\r\n' '  ')"

    wine velqo-boxsim.exe --make-demo demo >/dev/null 2>&1 || fail "velqo-boxsim.exe --make-demo"
    wine velqo-boxsim.exe --folder demo --port 0 --once >"$work/boxsim-win.out" 2>&1 &
    local box=$!
    local port
    port=$(listening_port "$work/boxsim-win.out") || fail "velqo-boxsim.exe did not listen"
    # As Notepad writes it; the port only because a test cannot count on 1000.
    printf 'BOXIP=127.0.0.1\r\nPORT=%s\r\nPASSWORD=7351\r\n' "$port" >config/config.ini
    wine velqo-cli.exe list >"$work/list-win.out" 2>"$work/list-win.err" ||
        fail "velqo-cli.exe list: $(cat "$work/list-win.err")"
    wait "$box" || fail "velqo-boxsim.exe ended with an error"
    check_list "$work/list-win.out" demo
    ok "the zip's velqo-cli.exe lists the zip's velqo-boxsim.exe on port $port by config.ini"
}

if [ "${1:-}" = "--inside-display" ]; then
    inside_display "$2" "$3"
    exit 0
fi

shopt -s nullglob
zips=("$dist"/VELQO_LAN_MM-*-win64.zip)
debs=("$dist"/velqo-tools_*_amd64.deb)
[ ${#zips[@]} = 1 ] || fail "expected one zip in $dist, found ${#zips[@]}"
[ ${#debs[@]} = 1 ] || fail "expected one .deb in $dist, found ${#debs[@]}"
zip=${zips[0]}
deb=${debs[0]}
version=$(basename "$zip" | sed 's/^VELQO_LAN_MM-\(.*\)-win64\.zip$/\1/')
deb_version=$(dpkg-deb -f "$deb" Version)
[[ $(dpkg-deb -f "$deb" Recommends) == bash-completion && $(dpkg-deb -f "$deb" Suggests) == git ]] ||
    fail "the .deb should recommend bash-completion and suggest git"
[[ $deb_version =~ ^${version//./\.}-[0-9]+$ ]] ||
    fail "the .deb has version $deb_version, not the zip's $version with a Debian revision"
[ "$(basename "$deb")" = "velqo-tools_${deb_version}_amd64.deb" ] || fail "odd .deb name $deb"
rm -rf "$work"
mkdir -p "$work"

# The Debian package.
dpkg-deb -x "$deb" "$work/deb"
for program in velqo-cli velqo-boxsim; do
    bin=$work/deb/usr/bin/$program
    [ -x "$bin" ] || fail "$program is not in the .deb"
    # All of it is read: a reader that leaves early would make the write fail.
    "$bin" --help | grep '^Usage' >/dev/null || fail "$program --help"
    page=$work/deb/usr/share/man/man1/$program.1.gz
    [ -f "$page" ] || fail "no man page for $program"
    MANWIDTH=80 MANPAGER=cat man -l "$page" >"$work/$program.man" 2>"$work/$program.man.err" ||
        fail "man -l $program: $(cat "$work/$program.man.err")"
    [ ! -s "$work/$program.man.err" ] || fail "man -l $program warns: $(cat "$work/$program.man.err")"
    for word in NAME SYNOPSIS DESCRIPTION "$program" "$version" --help; do
        grep -q -- "$word" "$work/$program.man" || fail "the man page of $program lacks '$word'"
    done
done
grep -q -- '--verify' "$work/velqo-cli.man" || fail "velqo-cli's man page lacks --verify"
# One usage per line in the synopsis, none left over for the description.
usages=$("$work/deb/usr/bin/velqo-cli" --help | sed -nE 's/^(Usage:| +or:) +//p')
# Wide, so that no usage line is wrapped.
MANWIDTH=200 MANPAGER=cat man -l "$work/deb/usr/share/man/man1/velqo-cli.1.gz" >"$work/velqo-cli.wide"
synopsis=$(sed -n '/^SYNOPSIS$/,/^DESCRIPTION$/p' "$work/velqo-cli.wide" | sed -nE 's/^ +//p')
[ -n "$usages" ] || fail "velqo-cli --help has no usage lines"
while IFS= read -r usage; do
    grep -qxF -- "$usage" <<<"$synopsis" || fail "velqo-cli's synopsis lacks the line '$usage': $synopsis"
done <<<"$usages"
sed -n '/^DESCRIPTION$/,/^[A-Z]/p' "$work/velqo-cli.wide" | grep -q 'velqo-cli \[OPTION\]' &&
    fail "a usage line of velqo-cli stands under DESCRIPTION"
grep -q -- '--corrupt-uploads' "$work/velqo-boxsim.man" || fail "velqo-boxsim's man page lacks a fault"
# The sections --help does not hold, from packaging/man.
for section in EXAMPLES FILES ENVIRONMENT "SEE ALSO"; do
    grep -qx "$section" "$work/velqo-cli.man" || fail "velqo-cli's man page has no $section"
done
for section in EXAMPLES FILES "SEE ALSO"; do
    grep -qx "$section" "$work/velqo-boxsim.man" || fail "velqo-boxsim's man page has no $section"
done
for word in VELQO_PASSWORD config/config.ini 'velqo-cli backup' 'velqo-cli restore' \
    'velqo-cli compare' 'velqo-boxsim(1)'; do
    grep -q -- "$word" "$work/velqo-cli.man" || fail "velqo-cli's man page lacks '$word'"
done

lintian -I --pedantic --fail-on error,warning "$deb" >"$work/lintian.out" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.out")"
! grep -E 'hardening-|binary-has-unneeded-section' "$work/lintian.out" ||
    fail "lintian: the programs are not built and stripped as Debian's"
doc=$work/deb/usr/share/doc/velqo-tools
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$doc/copyright" || fail "the copyright file is not in Debian's machine-readable format"
# The last paragraph holds the licence: LICENSE's text from its permission notice on.
diff <(tac "$doc/copyright" | sed '/^License: Expat$/q' | tac | tail -n +2 | sed 's/^ //; s/^\.$//') \
    <(sed -n '/^Permission/,$p' LICENSE) >"$work/copyright.diff" ||
    fail "the copyright file's licence differs from LICENSE: $(cat "$work/copyright.diff")"
grep -qF "Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)" "$doc/copyright" ||
    fail "the copyright file lacks LICENSE's copyright line"
gzip -dc "$doc/changelog.Debian.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$deb_version" ] ||
    fail "the changelog's newest entry is not version $deb_version"
cmp -s "$doc/README.md" README.md || fail "the .deb's README differs from README.md"
grep -oE '\]\([^):# ]+\)' README.md | sed -E 's/^\]\((.*)\)$/\1/' | sort -u | while read -r link; do
    cmp -s "$doc/$link" "$link" || fail "the shipped README links to $link, which is not beside it"
done
[ -f "$doc/docs/json/velqo-cli.schema.json" ] || fail "the .deb lacks the JSON schema"
completions=$work/deb/usr/share/bash-completion/completions
for program in velqo-cli velqo-boxsim; do
    [ -f "$completions/$program" ] || fail "no bash completion for $program"
done
zsh_completion=$work/deb/usr/share/zsh/vendor-completions/_velqo-cli
[ -f "$zsh_completion" ] || fail "no zsh completion"
grep -qF /usr/share/bash-completion/completions/velqo-cli "$zsh_completion" ||
    fail "the zsh completion does not read the installed bash completion"
tests/dist/check-completion.sh "$work/deb/usr/bin" "$completions/velqo-cli" "$zsh_completion"
demo=$work/deb-demo
"$work/deb/usr/bin/velqo-boxsim" --make-demo "$demo" >/dev/null
"$work/deb/usr/bin/velqo-boxsim" --folder "$demo" --port 0 --once >"$work/boxsim.out" 2>&1 &
box=$!
port=$(listening_port "$work/boxsim.out") || fail "the .deb's velqo-boxsim did not listen"
"$work/deb/usr/bin/velqo-cli" --host 127.0.0.1 --port "$port" list >"$work/list.out" \
    2>"$work/list.err" || fail "the .deb's velqo-cli list: $(cat "$work/list.err")"
wait "$box" || fail "the .deb's velqo-boxsim ended with an error"
check_list "$work/list.out" "$demo"
ok "$(basename "$deb"): lintian clean and hardened, programs run, man pages read, completion works, velqo-cli lists velqo-boxsim"

# The zip, in a fresh folder.
unzip -q "$zip" -d "$work/zip"
folder=$work/zip/VELQO_LAN_MM-$version-win64
for f in VELQO_LAN_MM.exe velqo-cli.exe velqo-boxsim.exe README.txt LICENSE.txt \
    status/CONN_1.PNG status/CONN_2.PNG status/CONN_3.PNG help/ABOUT-HELP.txt \
    json/velqo-cli.schema.json; do
    [ -f "$folder/$f" ] || fail "$f is not in the zip"
done
[ -d "$folder/config" ] && [ -z "$(ls -A "$folder/config")" ] || fail "no empty config/ in the zip"
[ "$(ls -A "$folder/help")" = "ABOUT-HELP.txt" ] || fail "help/ holds more than its note"
grep -q "$version" "$folder/README.txt" || fail "README.txt does not name version $version"
tr -d '\r' <"$folder/LICENSE.txt" | cmp -s - LICENSE || fail "the zip's LICENSE.txt differs from LICENSE"
[ -f "$probe" ] || fail "$probe is not built (make win)"
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside-display "$folder" "$version"
echo "check-packages: all checks passed for version $version"
