#!/usr/bin/env bash
# Builds Pagelet and starts it; the first time, it makes a demo install in the user's data folder.
set -euo pipefail
source "$(dirname "$0")/common.sh"

ensure_packages cmake ninja-build g++ libdtl-dev nlohmann-json3-dev libyaml-cpp-dev libarchive-dev libsodium-dev libssl-dev qt6-base-dev qt6-multimedia-dev libsndfile1-dev libpulse-dev qt6-translations-l10n qt6-l10n-tools qt6-tools-dev qt6-wayland fonts-nanum
configure
cmake --build "$build" --target pagelet pagelet-setup

install_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Pagelet"
"$build/bin/pagelet-setup" --program-path "$install_dir" --unless-installed
exec "$build/bin/pagelet" "$@"
