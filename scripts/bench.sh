#!/usr/bin/env bash
# Builds the benchmarks and runs the whole-process comparisons and the editor's, interleaved.
# Each prints medians with their spread; quote the machine and its load with them (uptime).
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages cmake ninja-build g++ libdtl-dev nlohmann-json3-dev libyaml-cpp-dev libsodium-dev libssl-dev qt6-base-dev qt6-multimedia-dev libsndfile1-dev libpulse-dev libbenchmark-dev \
    xvfb xauth fonts-nanum ripgrep grep
configure
cmake --build "$build" --target pagelet pagelet-setup bench_startup bench_search bench_editor bench_days bench_crypto
uptime
# Both sides of a start meet a real window system.
xvfb-run -a -s "-screen 0 800x600x24" "$build/bin/bench_startup"
"$build/bin/bench_search" --rounds 5 --blocks 3
"$build/bin/bench_editor" --rss-race 10485760
"$build/bin/bench_editor" --benchmark_filter=BM_OpenInTurn
"$build/bin/bench_days" --benchmark_filter=InTurn
"$build/bin/bench_crypto" --rounds 15
uptime
