#!/usr/bin/env bash
# The real program under Xvfb with a private sound server, as a new user meets it: delete a day
# with a memo, record a memo with the recorder beside the memo button, find it after a restart,
# play it, and erase it with Cancel. PAGELET_SHOTS=DIR keeps a screenshot of every step.
# Usage: memo.sh BUILD_DIR. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xwininfo openbox pulseaudio python3; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi

work="$(mktemp -d)"
source "$(dirname "$0")/own-home.sh"
own_home "$work"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/home" "$work/config" "$work/data"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_STATE_HOME="$work/state"
export PULSE_SERVER="unix:$work/run/pulse/native"
pulseaudio --daemonize=no -n --exit-idle-time=-1 --load="module-null-sink sink_name=speaker" \
    --load="module-null-source source_name=mic" --load=module-native-protocol-unix >/dev/null 2>&1 &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/run/pulse/native" ] && break; sleep 0.1; done

"$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
diary="$XDG_DATA_HOME/Pagelet/diary"
day="$diary/$(date +%Y%m%d)"
python3 - "$day" <<'PY'
import math, struct, sys, wave
text = "지울 일기".encode("utf-16-le")
open(sys.argv[1] + ".dry", "wb").write(struct.pack("<ii", 1, len(text) // 2) + text)
w = wave.open(sys.argv[1] + ".wav", "wb")
w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b"".join(struct.pack("<h", int(5000 * math.sin(i * 0.1))) for i in range(8000)))
w.close()
PY

pid=
start() { # retried: a start right after a client went away sometimes misses the display
    for _ in 1 2 3; do
        "$build/bin/pagelet" 2>"$work/stderr" &
        pid=$!
        if win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pagelet$' 2>/dev/null | head -1) && [ -n "$win" ]; then
            eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "X="$4} /Absolute upper-left Y/{print "Y="$4}')"
            pids+=("$pid")
            sleep 0.5
            return 0
        fi
        kill -9 "$pid" 2>/dev/null || true
    done
    echo "pagelet did not show its window: $(cat "$work/stderr")"; exit 1
}
step=0
shot() { # waits for the window to settle; keeps a screenshot when asked to
    sleep 0.6
    step=$((step + 1))
    [ -z "${PAGELET_SHOTS:-}" ] || import -window root "$PAGELET_SHOTS/$(printf %02d $step)-$1.png"
}
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; } # client coordinates, default skin
fail() { echo "$1"; exit 1; }
memo_button=(38 258)
trash_button=(200 258)

start
click "${trash_button[@]}"; shot delete-question
xdotool key Return; shot deleted
[ ! -e "$day.dry" ] && [ ! -e "$day.wav" ] || fail "the day's files are still there"
echo "deleting the day removed its page and memo"

click "${memo_button[@]}"; shot recorder
xdotool key r; sleep 2; shot recording
xdotool key s; shot stopped
xdotool key Return; shot kept
seconds=$(python3 -c "import wave,sys; w=wave.open(sys.argv[1]); print(w.getnframes()/w.getframerate())" "$day.wav") ||
    fail "no readable memo was recorded"
python3 -c "import sys; sys.exit(not 1.5 < float(sys.argv[1]) < 6)" "$seconds" || fail "the memo lasts $seconds s"
echo "recorded a memo of $seconds s"

kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
start; shot restarted
click "${memo_button[@]}"; sleep 0.3
xdotool key p; shot playing
sleep "$seconds"
xdotool key Escape; shot erase-question
xdotool key Return; shot kept-on-return
sleep 0.3
[ -e "$day.wav" ] || fail "Cancel then Return erased the memo: the question's default must be No"
click "${memo_button[@]}"; sleep 0.3
xdotool key Escape; sleep 0.3
xdotool key y; shot erased
[ ! -e "$day.wav" ] || fail "Cancel and Yes left the memo"
echo "after a restart the memo played; Cancel then Return kept it, Cancel then Yes erased it"
kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
