#!/usr/bin/env bash
# A seeded random walk of a person's and the world's actions on the real program under Xvfb,
# checking after every step that no kept word or memo is lost (trust.py says how).
# Usage: trust.sh BUILD_DIR [STEPS] [SEEDS...]. CI runs a short walk; a long one is this script
# with more steps and seeds. Exit 77 (skipped) when Xvfb, xdotool or python3 are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
steps="${2:-${PAGELET_TRUST_STEPS:-40}}"
shift $(( $# > 1 ? 2 : 1 ))
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=("${PAGELET_TRUST_SEED:-$(( $(date +%s) % 100000 ))}")
if [ -z "${PAGELET_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool python3; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (Debian: xvfb, xdotool, python3)"; exit 77; }
    done
    unset QT_QPA_PLATFORM
    exec env PAGELET_IN_XVFB=1 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$steps" "${seeds[@]}"
fi
status=0
for seed in "${seeds[@]}"; do
    python3 "$(dirname "$0")/trust.py" "$build" --seed "$seed" --steps "$steps" || status=1
done
exit $status
