#!/usr/bin/env bash
# Builds everything and runs every test (the window tests run offscreen).
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages cmake ninja-build g++ qt6-base-dev googletest libgtest-dev libbenchmark-dev \
    xvfb xauth xdotool x11-utils fonts-nanum qt6-translations-l10n desktop-file-utils appstream
configure
cmake --build "$build"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
