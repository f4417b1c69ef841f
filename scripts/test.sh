#!/usr/bin/env bash
# Builds everything and runs every test (the window tests run offscreen).
# Arguments of the form -DNAME=VALUE configure the build (-DPAGELET_SANITIZE=ON runs the suite
# under AddressSanitizer and UndefinedBehaviorSanitizer); the rest go to ctest.
set -euo pipefail
source "$(dirname "$0")/common.sh"

split_args "$@"

ensure_packages cmake ninja-build g++ libdtl-dev nlohmann-json3-dev libyaml-cpp-dev libarchive-dev libsodium-dev libssl-dev qt6-base-dev qt6-multimedia-dev libsndfile1-dev libpulse-dev pulseaudio googletest libgtest-dev libbenchmark-dev zip \
    xvfb xauth xdotool x11-utils openbox weston qt6-wayland wl-clipboard imagemagick fonts-nanum qt6-translations-l10n qt6-l10n-tools qt6-tools-dev desktop-file-utils \
    appstream locales python3 dbus at-spi2-core python3-pyatspi fcitx5 fcitx5-hangul fcitx5-frontend-qt6 syncthing curl
ensure_locales ko_KR.UTF-8 en_US.UTF-8
configure "${cmake_args[@]}"
cmake --build "$build"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "${ctest_args[@]}"
