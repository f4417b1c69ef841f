#!/usr/bin/env bash
# Two machines: two Pagelets on two X displays, each with its own home and data folder, the
# folders kept in step by two Syncthing instances on loopback only. Both write a line on the same
# day at about the same time and store it, a few rounds; once Syncthing is idle both folders are
# equal, the page decodes, and every typed line is in the page, in a conflict copy the program
# offers, or in a machine's history.
# Usage: sync.sh BUILD_DIR. Exit 77 (skipped) when Xvfb, xdotool, syncthing, curl or python3 are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in Xvfb xdotool syncthing curl python3 iconv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: xvfb, xdotool, syncthing, curl, python3)"; exit 77; }
done
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
    done
    exit 1
}

declare -A display id gui listen apikey data pid win
as_machine() { # as_machine MACHINE: its user's home, XDG folders and display in ${machine[@]}
    machine=(HOME="$work/$1/home" XDG_CONFIG_HOME="$work/$1/home/.config" XDG_DATA_HOME="$work/$1/home/.local/share"
        XDG_STATE_HOME="$work/$1/home/.local/state" XDG_CACHE_HOME="$work/$1/home/.cache" XDG_RUNTIME_DIR="$work/$1/run"
        DISPLAY="${display[$1]:-}")
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
        env "${machine[@]}" "$build/bin/pagelet" 2>>"$work/$m/stderr" &
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
        echo "$m: answered \"$(on "$m" xdotool getwindowname "$w" 2>/dev/null)\""
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
for m in a b; do answer_boxes "$m"; done
settle

today="$(date +%Y%m%d)"
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
echo "after $SECONDS s both folders are equal and the page holds: $(text_of "$page" | tr '\n' '|')"
