#!/usr/bin/env bash
# The real program under Xvfb and its crash journal: killed at random moments while typing and
# changing days, every page decodes and every word typed more than two seconds before the kill
# is in a page or the journal; the next start offers the journal back (Yes shows it in edit
# mode, No removes it, Escape keeps it for the next start, whatever is typed meanwhile);
# SIGTERM with a page that can't be stored keeps it there and ends with 0.
# Usage: journal.sh BUILD_DIR [ROUNDS]. Exit 77 (skipped) when Xvfb or xdotool are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
rounds="${2:-${PAGELET_JOURNAL_ROUNDS:-12}}"
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool iconv; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: xvfb, xdotool)"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi

work="$(mktemp -d)"
source "$(dirname "$0")/own-home.sh"
own_home "$work"
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -s "$work/stderr" ] && tail -20 "$work/stderr"; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"' ERR

fresh_user() {
    export XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" XDG_STATE_HOME="$work/$1/state"
    export HOME="$work/$1/home" XDG_CACHE_HOME="$work/$1/cache" XDG_RUNTIME_DIR="$work/$1/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME" "$XDG_CACHE_HOME"
    mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
    "$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
    data="$XDG_DATA_HOME/Pagelet/diary"
}
windows() { { xdotool search --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null || true; } | wc -l; }
start() { # waits for the diary window; a start right after a client left is tried again
    for _ in 1 2 3; do
        env --default-signal=INT "$@" "$build/bin/pagelet" 2>>"$work/stderr" &
        pid=$!
        if win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) && [ -n "$win" ]; then
            return 0
        fi
        kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
    done
    fail "pagelet did not show its window: $(cat "$work/stderr")"
}
ended() { # waits for the program to end; its status in $status
    timeout 15 tail --pid "$pid" -f /dev/null || { kill -9 "$pid"; fail "still running"; }
    status=0; wait "$pid" || status=$?; pid=
}
decodes() { # a page file: weather 0..4, then a length the file holds (in UTF-16 units)
    local size; size=$(stat -c %s "$1")
    [ "$size" -ge 8 ] || return 1
    local weather length; read -r weather length < <(od -An -t u4 -N 8 "$1")
    [ "$weather" -le 4 ] && [ $((8 + 2 * length)) -le "$size" ]
}
text_of() { tail -c +9 "$1" | iconv -f UTF-16LE -t UTF-8; }
ends_holding() { # SIGTERM: the program ends with 0 and today's page holds every word given
    local what=$1; shift
    kill -TERM "$pid"
    ended; [ "$status" = 0 ] || fail "$what: SIGTERM status $status"
    for word in "$@"; do
        text_of "$data/$today.dry" | grep -qw "$word" || fail "$what: '$word' is not in the page: '$(text_of "$data/$today.dry")'"
    done
}
journal() { { find "$XDG_STATE_HOME/Pagelet/journal" -name "$1.dry" 2>/dev/null || true; } | head -1; }
now() { date +%s%N; }
ask_start() { # starts the program and waits for its question, in $box
    box=
    for _ in 1 2 3; do # a start right after a client left may not reach the display: tried again
        env --default-signal=INT "$build/bin/pagelet" 2>>"$work/stderr" &
        pid=$!
        for _ in $(seq 50); do # the question comes before the diary's window
            box=$(xdotool search --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | while read -r w; do
                [ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/{print $2}')" != 240x270 ] && echo "$w"; done | head -1) || true
            [ -n "$box" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        [ -n "$box" ] && break
        kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
    done
}
type_word() { xdotool type --delay 15 "$1 "; }

# Killed at random moments: each round types words on a day, sometimes moves to the next day
# (which stores the page), and is killed by SIGKILL at a random point.
for round in $(seq "$rounds"); do
    fresh_user "kill$round"
    start
    xdotool windowfocus --sync "$win"
    declare -A said=()   # word -> the time it was typed
    declare -A dayOf=()  # word -> the day it was typed on
    day=$(date +%Y%m%d); n=0
    stop=$(( $(now) + (2000 + RANDOM % 3000) * 1000000 ))
    while [ "$(now)" -lt "$stop" ]; do
        if [ $((RANDOM % 6)) = 0 ] && [ "$n" -gt 0 ]; then
            xdotool mousemove --window "$win" 208 11 click 1 # the next day: the page is stored
            day=$(date -d "${day:0:4}-${day:4:2}-${day:6:2} + 1 day" +%Y%m%d)
            sleep 0.2
            xdotool mousemove --window "$win" 120 150 click 1
        fi
        word="w${round}x$n"; n=$((n + 1))
        type_word "$word"
        said[$word]=$(now); dayOf[$word]=$day
        sleep "0.$((RANDOM % 4))"
    done
    killed=$(now)
    kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=
    for page in "$data"/*.dry "$XDG_STATE_HOME"/Pagelet/journal/*/*.dry; do
        [ -e "$page" ] || continue
        decodes "$page" || fail "round $round: $page does not decode"
    done
    for word in "${!said[@]}"; do
        [ $((killed - said[$word])) -gt 2000000000 ] || continue
        d=${dayOf[$word]}; found=
        [ -f "$data/$d.dry" ] && text_of "$data/$d.dry" | grep -qw "$word" && found=1
        j=$(journal "$d"); [ -n "$j" ] && text_of "$j" | grep -qw "$word" && found=1
        [ -n "$found" ] || fail "round $round: '$word', typed $(( (killed - said[$word]) / 1000000 )) ms before the kill, is lost"
    done
    unset said dayOf
done
echo "killed $rounds times while typing and changing days: every page decodes, no word older than 2 s lost"

# The next start offers what the journal holds: No removes it, Yes shows it to be stored.
today=$(date +%Y%m%d)
for answer in No Yes; do
    fresh_user "offer$answer"
    start
    xdotool windowfocus --sync "$win"
    type_word "journal$answer"
    sleep 2.5
    kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=
    [ -n "$(journal "$today")" ] || fail "no journal after typing and a kill"
    ask_start
    [ -n "$box" ] || fail "the start did not ask about the journal"
    xdotool windowfocus --sync "$box"
    if [ "$answer" = Yes ]; then xdotool key Return; else xdotool key n; fi
    for _ in $(seq 50); do [ "$(windows)" = 1 ] && ! xdotool getwindowname "$box" >/dev/null 2>&1 && break; sleep 0.2; done
    [ "$(windows)" = 1 ] || fail "the question did not close, or no diary came"
    sleep 0.5
    kill -TERM "$pid"
    ended; [ "$status" = 0 ] || fail "SIGTERM after the question: status $status"
    if [ "$answer" = Yes ]; then
        [ "$(text_of "$data/$today.dry")" = "journalYes " ] || fail "Yes: the page holds '$(text_of "$data/$today.dry" 2>&1)'"
    else
        [ ! -f "$data/$today.dry" ] || fail "No: a page was stored"
    fi
    [ -z "$(journal "$today")" ] || fail "$answer: the journal was left"
done
echo "the next start asks; No removes the journal, Yes shows its text and it is stored"

# The question closed with Escape keeps the journal: typing on its day and changing day merge
# with it rather than replace it, and the next start asks again; Yes then shows both.
fresh_user offerEscape
start
xdotool windowfocus --sync "$win"
type_word "journalEscape"
sleep 2.5
kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=
ask_start
[ -n "$box" ] || fail "Escape: the start did not ask about the journal"
xdotool windowfocus --sync "$box"
xdotool key Escape
for _ in $(seq 50); do [ "$(windows)" = 1 ] && ! xdotool getwindowname "$box" >/dev/null 2>&1 && break; sleep 0.2; done
[ "$(windows)" = 1 ] || fail "Escape: the question did not close"
win=$(xdotool search --onlyvisible --pid "$pid" --name '^Pagelet$' | head -1)
xdotool windowfocus --sync "$win"
xdotool mousemove --window "$win" 120 150 click 1
type_word "typedAfter"
sleep 2.5
xdotool mousemove --window "$win" 208 11 click 1 # the next day: today's page is stored
sleep 0.5
kill -TERM "$pid"
ended; [ "$status" = 0 ] || fail "Escape: SIGTERM status $status"
text_of "$data/$today.dry" | grep -qw typedAfter || fail "Escape: the page holds '$(text_of "$data/$today.dry" 2>&1)'"
j=$(journal "$today")
[ -n "$j" ] || fail "Escape: the journal is gone"
for word in journalEscape typedAfter; do
    text_of "$j" | grep -qw "$word" || fail "Escape: '$word' is not in the journal: '$(text_of "$j")'"
done
ask_start
[ -n "$box" ] || fail "Escape: the next start did not ask again"
xdotool windowfocus --sync "$box"
xdotool key Return
for _ in $(seq 50); do [ "$(windows)" = 1 ] && ! xdotool getwindowname "$box" >/dev/null 2>&1 && break; sleep 0.2; done
sleep 0.5
ends_holding "Escape, then Yes" journalEscape typedAfter
[ -z "$(journal "$today")" ] || fail "Escape, then Yes: the journal was left"
echo "a question closed with Escape keeps its journal through typing and a change of day, and comes back"

# SIGTERM while the page being written was changed elsewhere: the two are merged and stored
# without a word to anyone (nobody is there to answer at a logout), and the program ends with 0.
fresh_user mergedAtQuit
start
xdotool windowfocus --sync "$win"
type_word "base"
xdotool key ctrl+s
sleep 0.5
xdotool key ctrl+e ctrl+End
type_word "ours"
sleep 0.3
{ printf '\0\0\0\0\x0b\0\0\0'; printf 'base theirs' | iconv -f UTF-8 -t UTF-16LE; } >"$data/.outside"
mv "$data/.outside" "$data/$today.dry"
sleep 0.5
ends_holding "a page changed elsewhere" ours theirs
echo "SIGTERM over a page changed elsewhere stored the merge without a question and ended with 0"

# SIGTERM with a page that can't be stored (the data folder a read-only tmpfs in a mount
# namespace of its own, where that can be made): status 0, the text kept in the journal.
if unshare -m sh -c 'mount -t tmpfs none /mnt && mount -o remount,ro /mnt' 2>/dev/null; then
    fresh_user readonly
    win=
    for _ in 1 2 3; do
        unshare -m sh -c "mount -t tmpfs none '$data' && mount -o remount,ro '$data' && exec env --default-signal=INT \"\$0\"" \
            "$build/bin/pagelet" 2>>"$work/stderr" &
        pid=$!
        win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) || true
        [ -n "$win" ] && break
        kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
    done
    [ -n "$win" ] || fail "read-only: no window"
    xdotool windowfocus --sync "$win"
    type_word "unstorable"
    sleep 0.3
    kill -TERM "$pid"
    ended; [ "$status" = 0 ] || fail "SIGTERM with an unstorable page: status $status"
    j=$(journal "$today")
    [ -n "$j" ] && [ "$(text_of "$j")" = "unstorable " ] || fail "SIGTERM with an unstorable page: the journal holds '${j:+$(text_of "$j")}'"
    echo "SIGTERM with a page that can't be stored ended with 0 and left it in the journal"
else
    echo "the unstorable page not tried: no mount namespace here (needs root)"
fi
