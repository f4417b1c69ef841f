#!/usr/bin/env bash
# A change timed against the build before it: the start (whole processes, interleaved, on the
# same installs) and the edited change of day (the two builds' bench_days run in turn, the order
# turning each round). Usage: before-after.sh BEFORE_BIN AFTER_BIN [ROUNDS]; each BIN a build's
# bin/ folder with pagelet, bench_startup and bench_days. Run under a display (xvfb-run -a).
set -euo pipefail
before="$(cd "$1" && pwd)" after="$(cd "$2" && pwd)" rounds="${3:-8}"
echo "# start, to the window's first paint"
"$after/bench_startup" --cases empty,10k --before "$before/pagelet" --pagelet "$after/pagelet"
echo "# start, to the page's text painted"
"$after/bench_startup" --cases empty,10k --until text --before "$before/pagelet" --pagelet "$after/pagelet"
echo "# edited change of day, 100 KB pages (each run 45 changes; its median)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for ((i = 0; i < rounds; i++)); do
    order=(before after)
    (( i % 2 )) && order=(after before)
    for side in "${order[@]}"; do
        bin="$before"; [ "$side" = after ] && bin="$after"
        "$bin/bench_days" --benchmark_filter='^BM_ChangeDayEditedInTurn/' --benchmark_format=json \
            >"$out/$side-$i.json" 2>/dev/null
    done
done
python3 - "$out" "$rounds" <<'PY'
import json, statistics, sys
out, rounds = sys.argv[1], int(sys.argv[2])
def figure(side, i, name):
    return json.load(open(f"{out}/{side}-{i}.json"))["benchmarks"][0][name]
for name in ("pagelet_cpu_ms", "pagelet_wall_ms", "cpu_ratio"):
    cols = {s: [figure(s, i, name) for i in range(rounds)] for s in ("before", "after")}
    ratio = [a / b for a, b in zip(cols["after"], cols["before"])]
    row = lambda v: f"{statistics.median(v):.3f} ({min(v):.3f}-{max(v):.3f})"
    print(f"{name:16} before {row(cols['before'])}  after {row(cols['after'])}  after/before {row(ratio)}")
PY
