#!/usr/bin/env bash
# The real program under Xvfb: a page being written is stored on SIGTERM, SIGHUP and SIGINT;
# a second start leaves one window; the desktop entry's first start makes the user's install.
# Usage: window.sh BUILD_DIR. Exit 77 (skipped) when Xvfb or xdotool are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xwininfo; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: xvfb, xdotool, x11-utils)"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi

work="$(mktemp -d)"
source "$(dirname "$0")/own-home.sh"
own_home "$work"
trap 'rm -rf "$work"' EXIT
pid=

fresh_user() {
    export XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" XDG_STATE_HOME="$work/$1/state"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
}

# Starts pagelet and waits for its window; a start right after a client went away sometimes
# cannot reach the display, so it is tried again.
start() {
    for _ in 1 2 3; do
        # A shell starts background jobs with SIGINT ignored, which pagelet then keeps ignoring.
        env --default-signal=INT "$build/bin/pagelet" "$@" 2>"$work/stderr" &
        pid=$!
        if win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) && [ -n "$win" ]; then
            return 0
        fi
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "pagelet did not show its window: $(cat "$work/stderr")"
    exit 1
}

page_text() { # the text of a page file: UTF-16LE after the weather and the length
    tail -c +9 "$1" | iconv -f UTF-16LE -t UTF-8
}

today="$(date +%Y%m%d)"
for sig in TERM HUP INT; do
    fresh_user "$sig"
    "$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
    start
    xdotool windowfocus --sync "$win"
    xdotool type --delay 20 "kept by SIG$sig"
    sleep 0.3
    kill -s "$sig" "$pid"
    status=0; timeout 15 tail --pid "$pid" -f /dev/null || { echo "SIG$sig: still running"; kill -9 "$pid"; exit 1; }
    wait "$pid" || status=$?
    [ "$status" = 0 ] || { echo "SIG$sig: ended with status $status"; exit 1; }
    page="$XDG_DATA_HOME/Pagelet/diary/$today.dry"
    [ -f "$page" ] || { echo "SIG$sig: no page stored"; exit 1; }
    [ "$(page_text "$page")" = "kept by SIG$sig" ] || { echo "SIG$sig: page holds '$(page_text "$page")'"; exit 1; }
    echo "SIG$sig stored the page and ended with status 0"
done

# Browsing a read-only data folder (a tmpfs remounted read-only in a mount namespace of its own,
# where that can be made): no message comes up and no page changes.
if unshare -m sh -c 'mount -t tmpfs none /mnt && mount -o remount,ro /mnt' 2>/dev/null; then
    fresh_user readonly
    "$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
    stage="$work/readonly/pages"; mkdir -p "$stage"
    for d in yesterday today tomorrow; do # weather 1, the text "page" with an LF only
        printf '\1\0\0\0\5\0\0\0p\0a\0g\0e\0\n\0' >"$stage/$(date -d "$d" +%Y%m%d).dry"
    done
    before="$(cd "$stage" && md5sum -- *)"
    data="$XDG_DATA_HOME/Pagelet/diary"
    for _ in 1 2 3; do
        unshare -m sh -c "mount -t tmpfs none '$data' && cp '$stage'/* '$data'/ && mount -o remount,ro '$data' && exec \"\$0\"" \
            "$build/bin/pagelet" 2>"$work/stderr" &
        pid=$!
        win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) && [ -n "$win" ] && break
        kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; win=
    done
    [ -n "$win" ] || { echo "read-only: no window: $(cat "$work/stderr")"; exit 1; }
    for x in 208 173 173 173 208 208; do # next, prev, prev, prev (a day without a page), next, next
        xdotool mousemove --window "$win" "$x" 11 click 1
        sleep 0.3
    done
    count="$(xdotool search --onlyvisible --pid "$pid" --name "^Pagelet$" | wc -l)"
    [ "$count" = 1 ] || { echo "read-only: $count windows while browsing (a message box)"; exit 1; }
    after="$(nsenter -t "$pid" -m sh -c "cd '$data' && md5sum -- *")"
    [ "$after" = "$before" ] || { echo "read-only: the pages changed"; exit 1; }
    kill -TERM "$pid"; wait "$pid" || true
    echo "a read-only data folder was browsed without a message, its pages unchanged"
else
    echo "read-only browsing not tried: no mount namespace here (needs root)"
fi

# The desktop entry's first start for a new user: the install is made and the diary opens.
fresh_user desktop
start --desktop
# QSettings writes the space of the value name as %20.
[ "$(grep "^Program%20Path=" "$XDG_CONFIG_HOME/Tarnwick/Pagelet.conf")" = "Program%20Path=$XDG_DATA_HOME/Pagelet" ] ||
    { echo "no install registered"; exit 1; }
[ -f "$XDG_DATA_HOME/Pagelet/config.dat" ] || { echo "no config.dat"; exit 1; }
size="$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
[ "$size" = "240x270" ] || { echo "the first window is $size, not the diary"; exit 1; }
echo "the desktop start made the install and opened the diary"

# A second start comes back at once and leaves the one window.
second=0; "$build/bin/pagelet" --desktop || second=$?
[ "$second" = 0 ] || { echo "the second start ended with $second"; exit 1; }
count="$(xdotool search --onlyvisible --name '^Pagelet$' | wc -l)"
[ "$count" = 1 ] || { echo "$count windows after a second start"; exit 1; }
kill -0 "$pid" || { echo "the first copy is gone"; exit 1; }
echo "a second start left one window"
kill -TERM "$pid"; wait "$pid" || true
