#!/usr/bin/env bash
# The real program on Wayland with a real seat: a weston nested in an X window under Xvfb, so
# xdotool's keys and clicks reach the program as a user's would. Checked by the stored page and
# by the screenshots' pixels: typing, the calendar under its button (click and Ctrl+D), the
# recorder beside the memo button (click and Ctrl+M), the settings dialog, the zoom keys, the
# clipboard both ways, a second start, and SIGTERM. PAGELET_SHOTS=DIR keeps the screenshots.
# Usage: wayland.sh BUILD_DIR. Exit 77 (skipped) when a tool or Qt's Wayland plugin is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in weston xvfb-run xdotool openbox import convert wl-copy wl-paste; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: weston xvfb xdotool openbox imagemagick wl-clipboard)"; exit 77; }
    done
    plugins="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"
    ls "$plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 || { echo "SKIP: Qt's Wayland plugin is missing (Debian: qt6-wayland)"; exit 77; }
    unset QT_QPA_PLATFORM
    # Larger than weston's output, so the window manager leaves its X window whole.
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

work="$(mktemp -d)"
source "$(dirname "$0")/own-home.sh"
own_home "$work"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/home" "$work/config" "$work/data" "$work/shots"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_STATE_HOME="$work/state"
fail() { echo "$1"; tail -n 5 "$work/stderr" 2>/dev/null || true; exit 1; }

# A black desktop without a panel: whatever is not black is a window.
printf '[core]\nidle-time=0\n[shell]\nbackground-color=0xff000000\npanel-position=none\nlocking=false\n' >"$work/weston.ini"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
weston --config="$work/weston.ini" --backend=x11-backend.so --socket=pagelet-test --width=800 --height=600 \
    --use-pixman >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q 'window id' "$work/weston.log" && [ -S "$work/run/pagelet-test" ] && break; sleep 0.1; done
wid="$(grep -o 'window id [0-9]*' "$work/weston.log" | awk '{print $3}')"
[ -n "$wid" ] || fail "weston did not start: $(tail -n 3 "$work/weston.log")"
export WAYLAND_DISPLAY=pagelet-test QT_QPA_PLATFORM=wayland
# Otherwise weston's on-screen keyboard comes up over the window.
export QT_IM_MODULE=none
xdotool windowfocus --sync "$wid"
# The pointer starts inside the X window, where weston only notices it once it has come in.
xdotool mousemove 0 0

"$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
# PAGELET_KEEP_LOADED: set by the sanitizer build (tests/desktop/KeepLoaded.cpp).
env --default-signal=INT LD_PRELOAD="${PAGELET_KEEP_LOADED:-}" "$build/bin/pagelet" 2>"$work/stderr" &
pid=$!
pids+=("$pid")

step=0
shot() { # the compositor's output; kept as NN-NAME.png under PAGELET_SHOTS when set
    sleep 0.7
    step=$((step + 1))
    last="$work/shots/$(printf %02d $step)-$1.png"
    import -window "$wid" "$last"
    [ -z "${PAGELET_SHOTS:-}" ] || cp "$last" "$PAGELET_SHOTS/"
}
windows() { # every window in the last shot, largest first, as WxH+X+Y (not what lies inside one)
    convert "$last" -fill white -fuzz 1% +opaque black -define connected-components:verbose=true \
        -connected-components 8 null: | awk '/srgb\(255,255,255\)/{split($2,a,/[x+]/); print a[1]*a[2], $2}' |
        sort -rn | awk 'BEGIN { n = 0 } $1 > 2000 {
            split($2, b, /[x+]/)
            for (i = 0; i < n; i++)
                if (b[3] >= x[i] && b[4] >= y[i] && b[3] + b[1] <= x[i] + w[i] && b[4] + b[2] <= y[i] + h[i]) next
            w[n] = b[1]; h[n] = b[2]; x[n] = b[3]; y[n++] = b[4]; print $2
        }'
}
lit() { # the share (0..100) of non-black pixels in W H X Y, client coordinates, of the last shot
    convert "$last" -crop "$1x$2+$((cx + $3))+$((cy + $4))" +repage -fill white -fuzz 1% +opaque black \
        -colorspace gray -format '%[fx:int(100*mean)]' info:
}
color_in() { # whether colour R,G,B shows in W H X Y, client coordinates, of the last shot
    convert "$last" -crop "$2x$3+$((cx + $4))+$((cy + $5))" +repage -fuzz 2% -fill black +opaque "rgb($1)" \
        -fill white -opaque "rgb($1)" -format '%[fx:maxima.r]' info: | grep -q '^1'
}
click() { xdotool mousemove --window "$wid" $((cx + $1)) $((cy + $2)) sleep 0.1 click 1; } # client coordinates
chord() { # held as a hand holds them: weston refuses a popup to a key already let go
    xdotool keydown "$1" keydown "$2" sleep 0.15 keyup "$2" keyup "$1"
}

# The window is found on the black desktop; the client lies inside the decoration's equal side
# and bottom borders.
for _ in $(seq 30); do
    shot diary
    read -r w h x y < <(windows | head -1 | tr 'x+' '   ') || true
    [ "${w:-0}" -ge 240 ] && [ "${h:-0}" -ge 270 ] && break
    w=0
done
[ "$w" -ge 240 ] || fail "the diary window did not come up"
side=$(((w - 240) / 2)); cx=$((x + side)); cy=$((y + h - side - 270))
echo "the diary window came up on Wayland (client 240x270 at $cx,$cy)"

calendar_title="125,108,84"    # the default skin's calendar title bar
memo=(38 258) calendar_button=(228 11) page=(120 150)
below=(160 25 60 276)          # under the window's bottom edge, right of the memo button
click "${page[@]}"
xdotool type --delay 30 "typed on Wayland"

click "${calendar_button[@]}"; shot calendar
color_in "$calendar_title" 150 40 80 14 || fail "a click on its button showed no calendar under it"
xdotool key Escape; shot calendar-closed
! color_in "$calendar_title" 150 40 80 14 || fail "Escape left the calendar open"
chord ctrl d; shot calendar-by-key
color_in "$calendar_title" 150 40 80 14 || fail "Ctrl+D showed no calendar"
xdotool key Escape; sleep 0.3
echo "the calendar opens under its button by a click and by Ctrl+D, and closes on Escape"

click "${memo[@]}"; shot recorder
[ "$(lit "${below[@]}")" -ge 90 ] || fail "a click on the memo button showed no recorder beside it"
xdotool key Escape; shot recorder-closed
[ "$(lit "${below[@]}")" -le 5 ] || fail "Escape left the recorder open"
chord ctrl m; shot recorder-by-key
[ "$(lit "${below[@]}")" -ge 90 ] || fail "Ctrl+M showed no recorder beside the memo button"
xdotool key Escape; shot recorder-by-key-closed
[ "$(lit "${below[@]}")" -le 5 ] || fail "Escape left the recorder open"
echo "the recorder opens beside the memo button by a click and by Ctrl+M, and closes on Escape"

chord ctrl comma; shot settings
dialog="$(windows | sed -n 2p | tr 'x+' '  ' | awk '{print $1 * $2}')"
[ "${dialog:-0}" -ge $((150 * 150)) ] || fail "Ctrl+, showed no settings dialog"
xdotool key Escape; shot settings-closed
[ "$(windows | wc -l)" = 1 ] || fail "Escape left the settings dialog open"
width_becomes() { # whether the window's width reaches $1 within a few seconds (a loaded machine resizes late)
    for _ in $(seq 8); do
        [ "$(windows | head -1 | cut -dx -f1)" = "$1" ] && return 0
        shot "$2"
    done
    return 1
}
# Weston gives the focus back to the diary late after a dialog closes; a click on the page takes it.
click "${page[@]}"
chord ctrl equal; shot zoomed
width_becomes $((360 + 2 * side)) zoomed || fail "Ctrl+= did not zoom the window: $(windows | head -1)"
chord ctrl 0; shot unzoomed
width_becomes "$w" unzoomed || fail "Ctrl+0 did not bring the window back: $(windows | head -1)"
echo "Ctrl+, opens the settings dialog; Ctrl+= and Ctrl+0 zoom the window"

# The clipboard both ways: the page's text copied out, and a text from outside pasted in.
read -r _ _ x y < <(windows | head -1 | tr 'x+' '   ')
cx=$((x + side)); cy=$((y + h - side - 270))
click "${page[@]}"
chord ctrl a; chord ctrl c; sleep 0.3
copied="$(timeout 5 wl-paste --no-newline)" || fail "wl-paste found nothing"
[ "$copied" = "typed on Wayland" ] || fail "the clipboard holds '$copied'"
timeout 5 wl-copy " and pasted" 2>/dev/null
click "${page[@]}"
chord ctrl End; chord ctrl v
echo "a copy in the page reaches the Wayland clipboard, and its text pastes back"

# A second start hands its activation token to the running copy and ends, leaving one window.
second=0; XDG_ACTIVATION_TOKEN=from-the-launcher timeout 15 "$build/bin/pagelet" 2>"$work/second-stderr" || second=$?
[ "$second" = 0 ] || fail "the second start ended with $second: $(tail -n 20 "$work/second-stderr")"
kill -0 "$pid" || fail "the first copy is gone"
shot second-start
[ "$(windows | wc -l)" = 1 ] || fail "a second start left $(windows | wc -l) windows"
echo "a second start left the one window"

kill -TERM "$pid"
status=0; timeout 15 tail --pid "$pid" -f /dev/null || fail "still running after SIGTERM"
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "ended with status $status"
file="$XDG_DATA_HOME/Pagelet/diary/$(date +%Y%m%d).dry"
[ -f "$file" ] || fail "no page stored"
text="$(tail -c +9 "$file" | iconv -f UTF-16LE -t UTF-8)"
[ "$text" = "typed on Wayland and pasted" ] || fail "the page holds '$text'"
echo "SIGTERM stored the page with the typed and the pasted text"
