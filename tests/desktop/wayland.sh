#!/usr/bin/env bash
# The real program on a headless Wayland compositor: the window is mapped, the keys open the
# calendar and the recorder and zoom, and SIGTERM stores the page being written. The headless
# compositor has no seat, so the keys come through the driver's standard input (see
# wayland-driver.cpp). PAGELET_SHOTS=DIR keeps the screenshots.
# Usage: wayland.sh BUILD_DIR. Exit 77 (skipped) when weston or Qt's Wayland plugin is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in weston weston-screenshooter; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: weston)"; exit 77; }
done
plugins="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"
ls "$plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 || { echo "SKIP: Qt's Wayland plugin is missing (Debian: qt6-wayland)"; exit 77; }

work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/config" "$work/data" "$work/shots"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export WAYLAND_DISPLAY=pagelet-test QT_QPA_PLATFORM=wayland
# Qt 6.4's Wayland input method crashes on a key when the compositor has no seat.
export QT_IM_MODULE=none
unset DISPLAY
fail() { echo "$1"; tail -n 3 "$work/out" "$work/stderr" || true; exit 1; }

# Pixman: the headless default draws nothing, so screenshots would never come.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --width=800 --height=600 \
    --debug >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/run/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$work/run/$WAYLAND_DISPLAY" ] || fail "weston did not start"

"$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
mkfifo "$work/keys"
env --default-signal=INT "$build/bin/pagelet-wayland-driver" <"$work/keys" >"$work/out" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
exec 3>"$work/keys"

wait_for() { # a line of the driver's output
    for _ in $(seq 150); do grep -q "$1" "$work/out" && return 0; sleep 0.1; done
    fail "no '$1' from the driver: $(cat "$work/out" "$work/stderr")"
}
step=0
shot() {
    sleep 0.5
    step=$((step + 1))
    (cd "$work/shots" && timeout 10 weston-screenshooter) || fail "no screenshot of $1"
    local file; file="$(ls -t "$work/shots"/wayland-screenshot-*.png | head -1)"
    mv "$file" "$work/shots/$(printf %02d $step)-$1.png"
    [ -z "${PAGELET_SHOTS:-}" ] || cp "$work/shots/$(printf %02d $step)-$1.png" "$PAGELET_SHOTS/"
}
keys() { # sends a line of keys and waits until it has run; says which window has the keyboard then
    local before; before="$(grep -c '^done ' "$work/out" || true)"
    echo "$1" >&3
    for _ in $(seq 150); do
        [ "$(grep -c '^done ' "$work/out" || true)" -gt "$before" ] && break
        sleep 0.1
    done
    grep '^done ' "$work/out" | sed -n "$((before + 1))p" | awk '{print $(NF-1), $NF}'
}

wait_for "^mapped wayland 240x270"
echo "the diary window was mapped on Wayland at 240x270"
shot diary

[ "$(keys "text:written on Wayland")" = "pagelet::PageletWindow 240x270" ] || fail "typing did not reach the diary"
[ "$(keys "Ctrl+D")" = "pagelet::PageletWindow 240x270" ] || fail "Ctrl+D went elsewhere"
shot calendar
keys "Escape" >/dev/null

[[ "$(keys "Ctrl+M")" == "pagelet::RecorderWindow "* ]] || fail "Ctrl+M opened no recorder"
shot recorder
[ "$(keys "Escape")" = "pagelet::PageletWindow 240x270" ] || fail "Escape left the recorder open"

settings="$(keys "Ctrl+,")"
[ "${settings%% *}" != pagelet::PageletWindow ] || fail "Ctrl+, opened no settings dialog"
shot settings
[ "$(keys "Escape")" = "pagelet::PageletWindow 240x270" ] || fail "Escape left the settings dialog open"

[ "$(keys "Ctrl+=")" = "pagelet::PageletWindow 360x405" ] || fail "Ctrl+= did not zoom the window"
shot zoomed
[ "$(keys "Ctrl+0")" = "pagelet::PageletWindow 240x270" ] || fail "Ctrl+0 did not bring the window back"
echo "typing, the calendar, the recorder, the settings dialog and the zoom work by their keys"

# A second start hands its activation token to the running copy and ends; this compositor has
# no activation protocol, so only the hand-over and the one window are checked here.
second=0; XDG_ACTIVATION_TOKEN=from-the-launcher timeout 15 "$build/bin/pagelet" || second=$?
[ "$second" = 0 ] || fail "the second start ended with $second"
kill -0 "$pid" || fail "the first copy is gone"
[ "$(keys "Ctrl+0")" = "pagelet::PageletWindow 240x270" ] || fail "the diary does not have the keys after a second start"
echo "a second start on Wayland left the one window"

kill -TERM "$pid"
status=0; timeout 15 tail --pid "$pid" -f /dev/null || fail "still running after SIGTERM"
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "ended with status $status"
page="$XDG_DATA_HOME/Pagelet/diary/$(date +%Y%m%d).dry"
[ -f "$page" ] || fail "no page stored"
text="$(tail -c +9 "$page" | iconv -f UTF-16LE -t UTF-8)"
[ "$text" = "written on Wayland" ] || fail "the page holds '$text'"
echo "SIGTERM stored the page on Wayland"
