#!/bin/bash
# Screenshots of the icon button's drop-down menu in the menu demonstration dialog,
# with the pointer on a disabled item: build/screenshots/menu-classic.png (the
# classic look, Wine's default Windows version) and build/screenshots/menu-flat.png
# (the flat look: Windows XP, which Wine reports for a copy of the program, without
# the classic theme). Each runs under its own Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
demo=build/win/bin/velqo-menu-demo.exe
run=build/menu-demo
out=build/screenshots
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
appdefaults='HKCU\Software\Wine\AppDefaults'

rm -rf "$run"
mkdir -p "$run" "$out"
cp "$demo" "$run/menu-classic.exe"
cp "$demo" "$run/menu-flat.exe"
wine reg add "$appdefaults\\menu-flat.exe" /v Version /d winxp /f >/dev/null 2>&1
wine reg delete "$appdefaults\\menu-classic.exe" /f >/dev/null 2>&1 || true
wineserver -w

shoot() {
    local look=$1 display pids=()
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    # Wine's own desktop window draws the caption, as there is no window manager.
    (cd "$run" && DISPLAY=$display exec wine explorer /desktop=menu,420x300 \
        "menu-$look.exe" --seconds 30) >"$run/wine-$look.log" 2>&1 &
    pids+=($!)
    sleep "${VELQO_SETTLE_SECONDS:-8}"
    local shot="$out/menu-$look.png"
    import -display "$display" -window root "$shot.full.png"
    # The desktop's area: frame it in the desktop's colour, then trim that colour.
    convert "$shot.full.png" -trim +repage "$shot.desktop.png"
    local desktop
    desktop=$(convert "$shot.desktop.png" -gravity southeast -crop 1x1+0+0 -format '%[pixel:p{0,0}]' info:)
    convert "$shot.desktop.png" -bordercolor "$desktop" -border 1 -trim +repage "$shot"
    rm -f "$shot.full.png" "$shot.desktop.png"
    DISPLAY=$display wineserver -k 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    echo "The $look look of the drop-down menu: $shot"
}

shoot classic
shoot flat
