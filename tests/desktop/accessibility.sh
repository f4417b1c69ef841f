#!/usr/bin/env bash
# The real program read and worked over AT-SPI, as a screen reader does, in Korean and English:
# a session bus and an accessibility bus of the test's own on its own X display.
# Usage: accessibility.sh BUILD_DIR. Exit 77 (skipped) when a tool is missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: xvfb, xdotool, dbus)"; exit 77; }
    done
    [ -x "$launcher" ] || { echo "SKIP: $launcher is missing (Debian: at-spi2-core)"; exit 77; }
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: pyatspi is missing (Debian: python3-pyatspi)"; exit 77; }
    unset QT_QPA_PLATFORM
    # One accessibility bus per display: the display and the session bus are both the test's.
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" dbus-run-session -- bash "$0" "$@"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$launcher" --launch-immediately 2>"$work/launcher.log" &
pids+=($!)
for _ in $(seq 50); do xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix && break; sleep 0.1; done

for lang in ko en; do
    locale=ko_KR.UTF-8; [ "$lang" = en ] && locale=en_US.UTF-8
    export XDG_CONFIG_HOME="$work/$lang/config" XDG_DATA_HOME="$work/$lang/data"
    export XDG_STATE_HOME="$work/$lang/state" XDG_CACHE_HOME="$work/$lang/cache"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME"
    "$build/bin/pagelet-setup" --program-path "$XDG_DATA_HOME/Pagelet" >/dev/null
    LANGUAGE= LANG="$locale" LC_ALL="$locale" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$build/bin/pagelet" 2>"$work/$lang.stderr" &
    pid=$!
    pids+=("$pid")
    status=0
    LANG="$locale" LC_ALL="$locale" timeout 120 /usr/bin/python3 "$here/accessibility.py" "$lang" \
        "$XDG_DATA_HOME/Pagelet/diary" || status=$?
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$status" = 0 ] || { echo "pagelet's errors: $(cat "$work/$lang.stderr")"; exit 1; }
done
