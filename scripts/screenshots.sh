#!/usr/bin/env bash
# Renders every window of the program to PNG files for review, under Xvfb with the
# X11 platform: build/window-shots/<window>.png (BUILD_DIR to change the build
# tree, OUT_DIR the folder). Not part of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${OUT_DIR:-$build/window-shots}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DQERN_GUI=ON
fi
cmake --build "$build" --target window_shots
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/windowshots/window_shots" "$out"
