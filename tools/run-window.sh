#!/bin/bash
# Runs VELQO_LAN_MM.exe under Wine in build/run, against the substitute box on
# 127.0.0.1:1000 with demo content.
#   tools/run-window.sh            interactive when a display is there; without
#                                  one, under Xvfb with a screenshot
#   tools/run-window.sh --screenshot FILE [--working | --backups | --broken-off | --find |
#                                           --update]
#                                  under Xvfb: the window right after start (with
#                                  --working: logged in, config.txt downloaded into
#                                  the text panel; with --backups: the backups dialog
#                                  after a backup and a compare, config.txt changed on
#                                  the box in between; with --broken-off: the dialog
#                                  after a backup broken off with Cancel and Break
#                                  off, its status three lines long; with --find: the
#                                  find boxes dialog after a search of 127.0.0.0/29, a
#                                  second box that needs a newer tool on 127.0.0.3 and a
#                                  backup of the first in the store; with --update: the
#                                  backups dialog after a firmware update that reset
#                                  the Settings group, kept and put back), saved to
#                                  FILE, then everything ends
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=build/native/bin
win=build/win/bin
run=build/run
box=build/run-box
shot=""
working=""
backups=""
brokenOff=""
find=""
update=""
if [ "${1:-}" = "--screenshot" ]; then
    shot=${2:?--screenshot needs a file}
    [ "${3:-}" = "--working" ] && working=1
    [ "${3:-}" = "--backups" ] && backups=1
    [ "${3:-}" = "--broken-off" ] && brokenOff=1
    [ "${3:-}" = "--find" ] && find=1
    [ "${3:-}" = "--update" ] && update=1
fi
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$run" "$box"
mkdir -p "$run/config" "$run/status" "$run/help"
cp "$win/VELQO_LAN_MM.exe" "$run/"
cp resources/status/CONN_*.PNG "$run/status/"
printf 'BOXIP=127.0.0.1\nPORT=01000\nPASSWORD=7351\n' >"$run/config/config.ini"
"$native/velqo-boxsim" --make-demo "$box" >/dev/null
# Some of the box's files already on the PC, and a help page for each text file.
awk '!/^[[:space:]]*(#|$)/ { print $2, $3 }' "$box/manifest.txt" | while read -r name type; do
    case "$type" in
        1) printf 'Format of %s\r\n\r\nOne setting per line: KEY=VALUE.\r\n' "$name" >"$run/help/hlp_$name" ;;
    esac
done
for f in config.txt channels.db; do
    [ -f "$box/$f" ] && cp "$box/$f" "$run/"
done

pids=()
cleanup() {
    # The window first, then the virtual display it draws on. Each is waited
    # for, so that the next run finds port 1000 and the display free.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# A backup to break off needs a box slow enough to be caught in a transfer.
boxOptions=()
[ -n "$brokenOff" ] && boxOptions=(--pace-ms 300)
# A box that takes update.pkg as its firmware, restarts and resets its settings.
if [ -n "$update" ]; then
    boxOptions=(--update-file update.pkg --update-restart 1 --update-resets Settings)
    printf 'volume=12\r\nstandby=off\r\n' >"$box/config.txt"
    printf 'firmware 2.0\n' >"$run/update.pkg"
fi
"$native/velqo-boxsim" --folder "$box" --port 1000 --wait-phase "${boxOptions[@]}" >"$box.out" 2>"$box.err" &
pids+=($!)
sleep 0.5
if ! kill -0 "${pids[0]}" 2>/dev/null; then
    cat "$box.err"
    echo "The substitute box could not listen on 127.0.0.1:1000, the port the window uses."
    echo "Ports below 1024 need root on Linux: run 'make run' as root, or allow it once with"
    echo "  sudo setcap cap_net_bind_service=+ep $root/$native/velqo-boxsim"
    exit 1
fi
echo "Substitute box on 127.0.0.1:1000 serving $box; the window runs in $run."
if [ -n "$find" ]; then
    # Something more for the search to find, and a backup of the first box.
    "$native/velqo-boxsim" --folder "$box" --listen 127.0.0.3 --port 1000 --require-version 28673 \
        >"$box.3.out" 2>"$box.3.err" &
    pids+=($!)
    "$native/velqo-cli" -C "$run" --host 127.0.0.1 backup >"$run/backup.log" 2>&1
fi

if [ -z "$shot" ] && [ -n "${DISPLAY:-}" ]; then
    (cd "$run" && wine VELQO_LAN_MM.exe)
    exit 0
fi

# No display (or a screenshot asked for): a virtual one.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
# Wine's own desktop window draws the captions, as there is no window manager.
(cd "$run" && exec wine explorer /desktop=velqo,1000x860 VELQO_LAN_MM.exe) >"$run/wine.log" 2>&1 &
pids+=($!)
out=${shot:-build/screenshots/run.png}
mkdir -p "$(dirname "$out")"
sleep "${VELQO_SETTLE_SECONDS:-8}"
if [ -n "$working" ]; then
    # Login, then the first file of the first group (config.txt) downloaded.
    wine "$win/velqo-drive-window.exe" --desktop velqo --group 0 --file 0 >"$run/drive.log" 2>&1
    sleep 2
fi
if [ -n "$backups" ]; then
    drive=(wine "$win/velqo-drive-window.exe" --desktop velqo)
    "${drive[@]}" --backup >"$run/drive.log" 2>&1
    printf 'volume=12\r\nstandby=off\r\n' >"$box/config.txt"
    "${drive[@]}" --compare >>"$run/drive.log" 2>&1
    sleep 2
fi
if [ -n "$find" ]; then
    wine "$win/velqo-drive-window.exe" --desktop velqo --find 127.0.0.0/29 >"$run/drive.log" 2>&1
    sleep 2
fi
if [ -n "$update" ]; then
    wine "$win/velqo-drive-window.exe" --desktop velqo --update update.pkg --timeout-ms 60000 \
        >"$run/drive.log" 2>&1
    sleep 2
fi
if [ -n "$brokenOff" ]; then
    wine "$win/velqo-drive-window.exe" --desktop velqo --break-off >"$run/drive.log" 2>&1
    sleep 2
fi
import -display "$display" -window root "$out.full.png"
# Cut away the desktop around the window: frame the picture in the desktop's
# colour, then trim that colour.
convert "$out.full.png" -trim +repage "$out.desktop.png"
desktop=$(convert "$out.desktop.png" -gravity southeast -crop 1x1+0+0 -format '%[pixel:p{0,0}]' info:)
convert "$out.desktop.png" -bordercolor "$desktop" -border 1 -trim +repage "$out"
rm -f "$out.desktop.png"
rm -f "$out.full.png"
echo "No display here: the window ran under Xvfb; its screenshot is $out"
