#!/usr/bin/env bash
# Two machines: two Pagelets on two X displays, each with its own home, data folder, sound
# server and session bus, the folders kept in step by two Syncthing instances on loopback only.
# Both write a line on the same day at about the same time and store it, a few rounds, then both
# record a memo of that day at once, each hearing its own tone. Once Syncthing is idle and every
# question is answered, both folders are equal, the page decodes, every typed line is in the page,
# in a conflict copy the program offers, or in a machine's history, both recordings are in the
# memo, a memo's conflict copy or the history on each machine, and each window shows the page its
# folder holds (read over AT-SPI).
# Usage: sync.sh BUILD_DIR. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in Xvfb xdotool syncthing curl python3 iconv pulseaudio dbus-daemon dbus-send sha256sum; do
    command -v "$tool" >/dev/null ||
        { echo "SKIP: $tool is missing (Debian: xvfb, xdotool, syncthing, curl, python3, pulseaudio, dbus)"; exit 77; }
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: $launcher is missing (Debian: at-spi2-core)"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: pyatspi is missing (Debian: python3-pyatspi)"; exit 77; }
unset QT_QPA_PLATFORM
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
source "$here/own-home.sh"
own_home "$work"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do timeout 10 tail --pid "$p" -f /dev/null 2>/dev/null || kill -9 "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for m in a b; do
        [ -s "$work/$m/syncthing.log" ] && { echo "-- syncthing $m:"; tail -8 "$work/$m/syncthing.log"; }
        [ -s "$work/$m/stderr" ] && { echo "-- pagelet $m:"; tail -8 "$work/$m/stderr"; }
        # Without a cookie of its own the server warns at every start; the rest is news.
        grep -q -v cookie "$work/$m/pulse.log" 2>/dev/null && { echo "-- pulseaudio $m:"; grep -v cookie "$work/$m/pulse.log" | tail -4; }
    done
    exit 1
}

declare -A display id gui listen apikey data pid win
as_machine() { # as_machine MACHINE: its user's home, XDG folders and display in ${machine[@]}
    machine=(HOME="$work/$1/home" XDG_CONFIG_HOME="$work/$1/home/.config" XDG_DATA_HOME="$work/$1/home/.local/share"
        XDG_STATE_HOME="$work/$1/home/.local/state" XDG_CACHE_HOME="$work/$1/home/.cache" XDG_RUNTIME_DIR="$work/$1/run"
        DISPLAY="${display[$1]:-}" PULSE_SERVER="unix:$work/$1/run/pulse/native" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/$1/run/bus")
    mkdir -p "$work/$1/home/.config" "$work/$1/home/.local/share" "$work/$1/home/.local/state" "$work/$1/home/.cache" "$work/$1/run"
    chmod 700 "$work/$1/run"
}
on() { # on MACHINE COMMAND...: the command as that machine's user
    as_machine "$1"
    shift
    env "${machine[@]}" "$@"
}

# An X display each; Xvfb picks a free number and writes it to fd 3.
for m in a b; do
    mkdir -p "$work/$m"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/$m/display" 2>"$work/$m/xvfb.log" &
    pids+=($!)
done
for m in a b; do
    for _ in $(seq 100); do [ -s "$work/$m/display" ] && break; sleep 0.1; done
    [ -s "$work/$m/display" ] || fail "Xvfb $m did not start: $(cat "$work/$m/xvfb.log")"
    display[$m]=":$(head -1 "$work/$m/display")"
done

# A sound server each whose microphone is a tone of its own, so each recording is known by
# its sound; a session bus each, with the accessibility bus of that machine's display.
declare -A tone=([a]=300 [b]=900)
for m in a b; do
    as_machine "$m"
    env "${machine[@]}" pulseaudio --daemonize=no -n --exit-idle-time=-1 --load="module-null-sink sink_name=speaker" \
        --load="module-sine-source source_name=mic frequency=${tone[$m]}" --load=module-native-protocol-unix >"$work/$m/pulse.log" 2>&1 &
    pids+=($!)
    env "${machine[@]}" dbus-daemon --session --nofork --address="unix:path=$work/$m/run/bus" >"$work/$m/dbus.log" 2>&1 &
    pids+=($!)
done
for m in a b; do
    for _ in $(seq 100); do [ -S "$work/$m/run/bus" ] && break; sleep 0.1; done
    [ -S "$work/$m/run/bus" ] || fail "the session bus of $m did not start: $(cat "$work/$m/dbus.log")"
    as_machine "$m"
    env "${machine[@]}" "$launcher" --launch-immediately >"$work/$m/launcher.log" 2>&1 &
    pids+=($!)
done
a11y_bus() { # whether the launcher holds its name yet; asked without starting one
    on "$1" dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
for m in a b; do
    for _ in $(seq 100); do
        [ -S "$work/$m/run/pulse/native" ] && a11y_bus "$m" && break
        sleep 0.1
    done
    [ -S "$work/$m/run/pulse/native" ] || fail "the sound server of $m did not start"
    a11y_bus "$m" || fail "no accessibility bus on $m: $(cat "$work/$m/launcher.log")"
done

# An install each, and a Syncthing each keeping its diary folder.
read -r gui[a] listen[a] gui[b] listen[b] < <(python3 -c '
import socket
held = [socket.socket() for _ in range(4)]
for s in held:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in held))')
for m in a b; do
    on "$m" "$build/bin/pagelet-setup" --program-path "$work/$m/home/.local/share/Pagelet" >/dev/null
    data[$m]="$work/$m/home/.local/share/Pagelet/diary"
    mkdir -p "${data[$m]}/.stfolder"
    on "$m" syncthing generate --home="$work/$m/st" --no-default-folder --skip-port-probing >/dev/null 2>&1
    id[$m]="$(on "$m" syncthing --home="$work/$m/st" --device-id)"
    apikey[$m]="pagelet-$m-$RANDOM$RANDOM$RANDOM"
done
for m in a b; do
    peer=$([ "$m" = a ] && echo b || echo a)
    python3 "$here/sync-config.py" "$work/$m/st/config.xml" "${gui[$m]}" "${listen[$m]}" "${apikey[$m]}" "${data[$m]}" \
        "${id[$m]}" "${id[$peer]}" "${listen[$peer]}"
    # STMONITORED: no monitor process of its own, so the PID is Syncthing's.
    as_machine "$m"
    env "${machine[@]}" STNOUPGRADE=1 STMONITORED=1 syncthing serve --home="$work/$m/st" --no-browser --no-restart --logflags=0 \
        >"$work/$m/syncthing.log" 2>&1 &
    pids+=($!)
done

rest() { # rest MACHINE PATH [curl options]: a REST call to that machine's Syncthing
    local m=$1 path=$2
    shift 2
    curl -sf --max-time 5 -H "X-API-Key: ${apikey[$m]}" "$@" "http://127.0.0.1:${gui[$m]}/rest/$path"
}
field() { python3 -c 'import json, sys; v = json.load(sys.stdin)
for k in sys.argv[1:]: v = v.get(k, {}) if isinstance(v, dict) else {}
print(v)' "$@"; }
connected() { rest a system/connections | field connections "${id[b]}" connected; }
for _ in $(seq 60); do [ "$(connected 2>/dev/null)" = True ] && break; sleep 1; done
[ "$(connected)" = True ] || fail "the two Syncthings did not connect within 60 s"

# Idle: nothing to scan, pull or send on either side, and the two folders alike.
folder_sums() { (cd "${data[$1]}" && find . \( -name .stfolder -o -name '.syncthing.*' -o -name .stversions \) -prune -o -type f -print0 |
    sort -z | xargs -0r md5sum); }
idle() {
    local m peer
    for m in a b; do
        peer=$([ "$m" = a ] && echo b || echo a)
        [ "$(rest "$m" "db/status?folder=diary" | field state)" = idle ] || return 1
        [ "$(rest "$m" "db/status?folder=diary" | field needTotalItems)" = 0 ] || return 1
        [ "$(rest "$m" "db/completion?folder=diary&device=${id[$peer]}" | field completion)" = 100 ] || return 1
    done
    [ "$(folder_sums a)" = "$(folder_sums b)" ]
}
settle() { # a save that lands during a pull waits for a rescan: one is asked for at every look
    local deadline=$((SECONDS + 90)) calm=0
    while [ "$SECONDS" -lt "$deadline" ]; do
        for m in a b; do rest "$m" "db/scan?folder=diary" -X POST >/dev/null || true; done
        sleep 1
        if idle 2>/dev/null; then
            calm=$((calm + 1))
            [ "$calm" -ge 3 ] && return 0
        else
            calm=0
        fi
    done
    fail "the folders did not settle within 90 s"
}

start() { # waits for the diary window; a start that cannot reach the display is tried again
    local m=$1
    for _ in 1 2 3; do
        as_machine "$m"
        env "${machine[@]}" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/bin/pagelet" 2>>"$work/$m/stderr" &
        pid[$m]=$!
        if win[$m]=$(on "$m" timeout 15 xdotool search --sync --onlyvisible --pid "${pid[$m]}" --name '^Pagelet$' 2>/dev/null |
            head -1) && [ -n "${win[$m]}" ]; then
            pids+=("${pid[$m]}")
            return 0
        fi
        kill -9 "${pid[$m]}" 2>/dev/null || true
        wait "${pid[$m]}" 2>/dev/null || true
    done
    fail "pagelet $m did not show its window"
}
answer_boxes() { # a message the other writer's change brought up is answered with its default
    local m=$1 w
    for w in $(on "$m" xdotool search --onlyvisible --pid "${pid[$m]}" 2>/dev/null || true); do
        [ "$w" = "${win[$m]}" ] && continue
        echo "$m: answered $(on "$m" /usr/bin/python3 "$here/sync-shown.py" --questions 2>&1 | head -1)"
        on "$m" xdotool windowfocus --sync "$w" key Return 2>/dev/null || true
        sleep 0.3
    done
}
write_line() { # at the end of the page, on a line of its own, then stored
    local m=$1 line=$2
    on "$m" xdotool windowfocus --sync "${win[$m]}"
    on "$m" xdotool key ctrl+e ctrl+End Return
    on "$m" xdotool type --delay 20 "$line"
    on "$m" xdotool key ctrl+s
}

for m in a b; do start "$m"; done
typed=()
for round in 1 2 3; do
    for m in a b; do answer_boxes "$m"; done
    write_line a "alpha line $round" &
    writers=($!)
    write_line b "bravo line $round" &
    writers+=($!)
    wait "${writers[@]}"
    typed+=("alpha line $round" "bravo line $round")
    settle
done
answer_all() { # settles, answers every question that came up, and again until none comes
    local asked
    for _ in 1 2 3 4; do
        settle
        asked=$(for m in a b; do answer_boxes "$m"; done)
        [ -n "$asked" ] || return 0
        echo "$asked"
    done
    fail "questions kept coming after four answers"
}
# The recorder is known as the window beside the diary's: no question may stand there first.
answer_all

today="$(date +%Y%m%d)"
tone_of() { # the tone a recording holds, in Hz, from how often the sound crosses zero
    python3 -c 'import array, sys, wave
w = wave.open(sys.argv[1])
assert w.getsampwidth() == 2 and w.getnchannels() == 1
s = array.array("h", w.readframes(w.getnframes()))
print(round(sum((a < 0) != (b < 0) for a, b in zip(s, s[1:])) / 2 / (len(s) / w.getframerate())))' "$1"
}
record_memo() { # two seconds through the real recorder, kept with Return; its bytes noted at once
    local m=$1 memo="${data[$1]}/$today.wav" w recorder= before after
    on "$m" xdotool windowfocus --sync "${win[$m]}" key ctrl+m
    for _ in $(seq 50); do
        for w in $(on "$m" xdotool search --onlyvisible --pid "${pid[$m]}" 2>/dev/null || true); do
            [ "$w" != "${win[$m]}" ] && recorder=$w
        done
        [ -n "$recorder" ] && break
        sleep 0.1
    done
    [ -n "$recorder" ] || fail "Ctrl+M opened no recorder on $m"
    on "$m" xdotool windowfocus --sync "$recorder" key r
    sleep 2
    before=$(stat -c %i "$memo" 2>/dev/null || true)
    on "$m" xdotool key s Return
    # Stop puts the recording in place; the peer's memo takes a second or more to come.
    for _ in $(seq 50); do
        after=$(stat -c %i "$memo" 2>/dev/null || true)
        [ -n "$after" ] && [ "$after" != "$before" ] && cp "$memo" "$work/$m/recorded.wav" 2>/dev/null && break
        sleep 0.05
    done
    [ -s "$work/$m/recorded.wav" ] || fail "the recorder on $m kept no memo"
}
declare -A recorded
record_memo a &
recorders=($!)
record_memo b &
recorders+=($!)
for p in "${recorders[@]}"; do wait "$p" || exit 1; done
for m in a b; do
    heard=$(tone_of "$work/$m/recorded.wav")
    # Nearer its own tone than the other's: the bytes noted are this machine's recording.
    python3 -c 'import math, sys; h, own, other = map(float, sys.argv[1:]); sys.exit(abs(math.log(h / own)) >= abs(math.log(h / other)))' \
        "$heard" "${tone[$m]}" "${tone[$([ "$m" = a ] && echo b || echo a)]}" ||
        fail "$m's memo holds a tone of $heard Hz, not its own ${tone[$m]} Hz"
    recorded[$m]=$(sha256sum <"$work/$m/recorded.wav" | cut -c1-64)
    echo "$m recorded a memo of ${tone[$m]} Hz (heard $heard Hz)"
done
answer_all
text_of() { tail -c +9 "$1" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r'; }
decodes() { # weather 0..4, then a length the file holds (in UTF-16 units)
    local size weather length
    size=$(stat -c %s "$1")
    [ "$size" -ge 8 ] || return 1
    read -r weather length < <(od -An -t u4 -N 8 "$1")
    [ "$weather" -le 4 ] && [ $((8 + 2 * length)) -le "$size" ]
}
[ "$(folder_sums a)" = "$(folder_sums b)" ] || fail "the folders differ: $(diff <(folder_sums a) <(folder_sums b))"
page="${data[a]}/$today.dry"
[ -f "$page" ] || fail "no page for today"
decodes "$page" || fail "the page does not decode"
for line in "${typed[@]}"; do
    if text_of "$page" | grep -qx "$line"; then
        continue
    fi
    where=
    for copy in "${data[a]}/$today".sync-conflict-*.dry; do
        [ -f "$copy" ] && text_of "$copy" | grep -qx "$line" && where="the conflict copy $(basename "$copy")"
    done
    for m in a b; do
        for kept in "$work/$m/home/.local/state/Pagelet/history"/*/*.dry; do
            [ -f "$kept" ] && [ -z "$where" ] && text_of "$kept" | grep -qx "$line" && where="$m's history"
        done
    done
    [ -n "$where" ] || fail "'$line' is lost: the page holds $(text_of "$page" | tr '\n' '|')"
    echo "'$line' is in $where"
done

# Each recording, by its bytes, is the day's memo, a memo's conflict copy, or in that machine's
# history.
for m in a b; do
    sums=$(for kept in "${data[$m]}/$today.wav" "${data[$m]}/$today".sync-conflict-*.wav \
        "$work/$m/home/.local/state/Pagelet/history"/*/"$today"*.wav; do
        [ -f "$kept" ] || continue
        echo "$(sha256sum <"$kept" | cut -c1-64) $kept"
    done)
    for r in a b; do
        where=$(grep "^${recorded[$r]} " <<<"$sums" | head -1 | cut -d' ' -f2-) ||
            fail "on $m, $r's recording is lost; $m holds: $sums"
        echo "on $m, $r's recording is ${where#$work/}"
    done
done

# Each window shows what its folder holds, with no question left standing over it.
for m in a b; do
    on "$m" /usr/bin/python3 "$here/sync-shown.py" "${data[$m]}/$today.dry" >"$work/$m/shown" 2>&1 ||
        fail "$m's window is not its folder's page: $(cat "$work/$m/shown")"
    echo "$m: $(cat "$work/$m/shown")"
done
echo "after $SECONDS s both folders are equal and the page holds: $(text_of "$page" | tr '\n' '|')"
