#!/usr/bin/env bash
# Korean through a real input method: fcitx5 with its Hangul engine, on a display and a session
# bus of its own, takes 2-beolsik keys into the real window, once in Korean and once in English.
# Checks the stored pages, the underline under the syllable being composed (on an empty page),
# and that a drawn button clicked mid-syllable puts the syllable on the page it was typed on
# before it acts. PAGELET_SHOTS=DIR keeps the screenshots.
# Usage: input_method.sh BUILD_DIR. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xwininfo dbus-run-session dbus-send fcitx5 fcitx5-remote import convert python3; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
    done
    for lib in qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so fcitx5/hangul.so; do
        compgen -G "/usr/lib/*/$lib" >/dev/null || { echo "SKIP: $lib is missing (fcitx5-frontend-qt6, fcitx5-hangul)"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec env PAGELET_IN_XVFB=1 timeout 150 xvfb-run -a -s "-screen 0 800x600x24" dbus-run-session -- bash "$0" "$@"
fi

work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/fcitx5" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
shots="${PAGELET_SHOTS:-$work/shots}"
mkdir -p "$shots"

# Hangul from the first key: the profile that works under Xvfb.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=hangul

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=hangul
Layout=

[GroupOrder]
0=Default
EOF
fcitx5 >"$work/fcitx5.log" 2>&1 &
pids+=($!)
# Asked over the bus, not by fcitx5-remote, which would have the bus start a second one.
running() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q true
}
for _ in $(seq 100); do running && break; sleep 0.1; done
running || { echo "fcitx5 did not start: $(tail -5 "$work/fcitx5.log")"; exit 1; }

page_text() { # the text of a page file: UTF-16LE after the weather and the length
    tail -c +9 "$1" | iconv -f UTF-16LE -t UTF-8
}

# The default skin's buttons at 100 %, window pixels.
click() {
    local x y
    case "$1" in
        weather) x=130 y=11 ;;
        stamp) x=154 y=11 ;;
        prev) x=173 y=11 ;;
        next) x=208 y=11 ;;
        edit) x=225 y=258 ;; # edit, or save while writing
    esac
    xdotool mousemove --window "$win" "$x" "$y" click 1
    sleep 0.6
}

shot() { import -window "$win" "$shots/$lang-$1.png"; }

# Typed through the input method, slowly enough for it; the last syllable stays composing.
keys() {
    xdotool type --delay 150 "$1"
    sleep 0.6
}

today="$(date +%Y%m%d)"
tomorrow="$(date -d tomorrow +%Y%m%d)"
for lang in ko_KR.UTF-8 en_US.UTF-8; do
    user="$work/$lang"
    mkdir -p "$user/config" "$user/data"
    export XDG_CONFIG_HOME="$user/config" XDG_DATA_HOME="$user/data"
    "$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
    diary="$XDG_DATA_HOME/Pagelet/diary"
    win=
    for _ in 1 2 3; do
        LANG="$lang" LC_ALL="$lang" LANGUAGE= QT_IM_MODULE=fcitx "$build/bin/pagelet" 2>"$work/stderr" &
        pid=$!
        win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) && [ -n "$win" ] && break
        kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; win=
    done
    [ -n "$win" ] || { echo "$lang: no window: $(cat "$work/stderr")"; exit 1; }
    pids+=("$pid")
    xdotool windowfocus --sync "$win"
    sleep 0.5
    fcitx5-remote -o
    sleep 0.3

    # An empty page: "안녕", its second syllable composing and underlined; the weather button
    # hands it over and changes nothing else on the page.
    keys dkssud
    shot composing
    click weather
    shot committed
    python3 - "$shots/$lang-composing.png" "$shots/$lang-committed.png" <<'PY' || exit 1
import subprocess, sys
def pixels(path):
    raw = subprocess.run(["convert", path, "rgb:-"], check=True, capture_output=True).stdout
    return raw
w, h = 240, 270
a, b = pixels(sys.argv[1]), pixels(sys.argv[2])
ink = bytes((30, 34, 44))
best = 0
for y in range(24, 246):  # the page, between the rows of buttons
    run = 0
    for x in range(w):
        i = (y * w + x) * 3
        if a[i:i + 3] != b[i:i + 3] and a[i:i + 3] == ink:
            run += 1
            best = max(best, run)
        else:
            run = 0
print(f"longest ink run only while composing: {best} px")
sys.exit(0 if best >= 8 else 1)
PY

    # Mid-syllable, the next day's button: "하" goes onto today's page, then the day changes.
    keys gk
    click next
    # A new page: "안녕", then the time stamp button mid-syllable: the stamp comes after "녕".
    keys dkssud
    click stamp
    keys gk
    click prev # stores tomorrow's page with "하" at its end
    [ "$(page_text "$diary/$today.dry")" = "안녕하" ] || { echo "$lang: today holds '$(page_text "$diary/$today.dry")'"; exit 1; }
    tomorrow_text="$(page_text "$diary/$tomorrow.dry")"
    [[ "$tomorrow_text" =~ ^안녕[^안녕하]*[0-9][^안녕하]*하$ ]] || { echo "$lang: tomorrow holds '$tomorrow_text'"; exit 1; }

    # Mid-page: today's page opened for editing, typed at its end, saved by its button mid-syllable.
    click edit
    xdotool key ctrl+End
    keys tpdy
    click edit
    [ "$(page_text "$diary/$today.dry")" = "안녕하세요" ] || { echo "$lang: today holds '$(page_text "$diary/$today.dry")'"; exit 1; }
    shot saved
    kill -TERM "$pid"; wait "$pid" || true
    echo "$lang: 안녕하세요 typed through fcitx5, underlined while composing, each syllable on its own page"
done
