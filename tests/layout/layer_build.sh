#!/bin/bash
# The layers hold by themselves: a copy of src/ with cmake/layers.txt configures and passes the
# check step as it is, and fails both, naming the file and the arrow, once a file includes a
# folder it may not. Usage: layer_build.sh REPOSITORY CMAKE GENERATOR.
set -u
repo=$1
cmake=$2
generator=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

mkdir -p "$work/tree/cmake"
cp -r "$repo/src" "$work/tree/src"
cp "$repo/cmake/Layers.cmake" "$repo/cmake/layers.txt" "$work/tree/cmake/"
# Only the libraries and the check of the real build, without the libraries they link.
cat > "$work/tree/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.22)
project(layers LANGUAGES CXX)
include(cmake/Layers.cmake)
pagelet_add_layers(${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/cmake/layers.txt qt)
EOF
configure() { "$cmake" -S "$work/tree" -B "$work/build" -G "$generator" >"$work/out" 2>&1; }
check() { "$cmake" --build "$work/build" --target pagelet_layer_check >"$work/out" 2>&1; }

configure || { cat "$work/out"; fail "the tree as it is does not configure"; }
check || { cat "$work/out"; fail "the tree as it is fails the check step"; }

# One include up, put in after the configure: the build step stops. (A second later, so the file
# is newer than the step's stamp even where file times are coarse.)
arrow='src/base/Day.cpp includes "diary/ShownDay.h": base -> diary points up'
sleep 1
echo '#include "diary/ShownDay.h"' >>"$work/tree/src/base/Day.cpp"
if check; then fail "the check step passed an include up"; fi
grep -qF "$arrow" "$work/out" || { cat "$work/out"; fail "the check step did not name: $arrow"; }
# And a fresh configure stops too.
rm -rf "$work/build"
if configure; then fail "configure passed an include up"; fi
grep -qF "$arrow" "$work/out" || { cat "$work/out"; fail "configure did not name: $arrow"; }
cp "$repo/src/base/Day.cpp" "$work/tree/src/base/Day.cpp"

# Other wrong includes, each alone in the tree, through the same check the build runs.
while IFS='|' read -r file line expected; do
    cp "$work/tree/src/$file" "$work/saved"
    echo "$line" >>"$work/tree/src/$file"
    if "$cmake" -DSOURCE_DIR="$work/tree/src" -DLAYERS="$work/tree/cmake/layers.txt" -DQT_FREE_BELOW=qt \
        -P "$work/tree/cmake/Layers.cmake" >"$work/out" 2>&1; then
        fail "$file with $line passed"
    fi
    grep -qF "$expected" "$work/out" || { cat "$work/out"; fail "$file with $line: no \"$expected\""; }
    cp "$work/saved" "$work/tree/src/$file"
done <<'EOF'
base/Text.cpp|#include "text/Catalogue.h"|base -> text points up (text is listed after base in the layer base)
store/DayKey.cpp|#include "state/PageHistory.h"|store -> state points up (the layer state is above the layer keeping)
import/DayImport.cpp|#include "diary/ShownDay.h"|import -> diary points up
app/MainDialog.cpp|#include "qt/start/DiaryApp.h"|app -> qt points up
ui/DiaryEdit.cpp|#include <QString>|src/ui/DiaryEdit.cpp includes a Qt header
EOF

mkdir "$work/tree/src/stray"
if configure; then fail "a folder in no layer configured"; fi
grep -qF "src/stray is in no layer" "$work/out" || { cat "$work/out"; fail "the folder in no layer was not named"; }
exit $failed
