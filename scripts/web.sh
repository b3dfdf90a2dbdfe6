#!/usr/bin/env bash
# Builds the browser edition into build-web/qern2rinex.html (or WEB_BUILD_DIR): the
# libraries and the engine of app/web compiled by Emscripten into one JavaScript
# file with the WebAssembly inside, then the page of app/web/page with the engine
# inlined, one HTML file that works from the disk without a server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WEB_BUILD_DIR:-$root/build-web}
start=$(date +%s)
# Debian's Emscripten runs its JavaScript tools on Node.js with Debian's modules
# (acorn); a Node.js from elsewhere finds them through NODE_PATH.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
emcmake cmake -S "$root" -B "$build/engine" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQERN_GUI=OFF -DQERN_TESTS=OFF -DCMAKE_CXX_FLAGS="-fexceptions" >/dev/null
cmake --build "$build/engine" -j"$(nproc)" --target qern2rinex-engine
echo "web.sh: engine built in $(( $(date +%s) - start )) s"
page=$root/app/web/page
# The page's npm packages as package-lock.json pins them (installed once).
(cd "$page" && { [ -d node_modules ] && npm ls >/dev/null 2>&1 || npm ci --no-audit --no-fund >/dev/null; })
node "$page/build.mjs" "$build/engine/app/web/qern2rinex-engine.js" "$build/qern2rinex.html"
echo "web.sh: $build/qern2rinex.html ($(stat -c %s "$build/qern2rinex.html") bytes) in $(( $(date +%s) - start )) s"
