#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under the sanitizers and runs each for a fixed number
# of inputs. Arguments of the form -DNAME=VALUE configure the build; the rest go to ctest.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build="${PAGELET_BUILD_DIR:-$root/build-fuzz}"
split_args "$@"
ensure_packages clang libclang-rt-14-dev
export CC=clang CXX=clang++
configure -DPAGELET_FUZZ=ON -DPAGELET_TESTS=OFF -DPAGELET_BENCH=OFF "${cmake_args[@]}"
cmake --build "$build" --target fuzz_all
cd "$build"
ctest --output-on-failure -j2 -R '^fuzz_' "${ctest_args[@]}"
