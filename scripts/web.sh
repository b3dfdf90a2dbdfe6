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
# Emscripten keeps its compiled system libraries in a cache; Debian's is read-only
# for anyone but root, so a cache of the build's own.
export EM_CACHE=${EM_CACHE:-$build/emscripten-cache}
if [ ! -d "$EM_CACHE" ]; then
  mkdir -p "$EM_CACHE"
  cp -r /usr/share/emscripten/cache/. "$EM_CACHE"/ 2>/dev/null || true
fi
emcmake cmake -S "$root" -B "$build/engine" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQERN_GUI=OFF -DQERN_TESTS=OFF -DCMAKE_CXX_FLAGS="-fexceptions" >/dev/null
cmake --build "$build/engine" -j"$(nproc)" --target qern2rinex-engine
echo "web.sh: engine built in $(( $(date +%s) - start )) s"
page=$root/app/web/page
if [ -f "$page/package.json" ]; then
  (cd "$page" && { [ -d node_modules ] && npm ls >/dev/null 2>&1 || npm ci --no-audit --no-fund >/dev/null; })
  node "$page/build.mjs" "$build/engine/app/web/qern2rinex-engine.js" "$build/qern2rinex.html"
  echo "web.sh: $build/qern2rinex.html ($(stat -c %s "$build/qern2rinex.html") bytes) in $(( $(date +%s) - start )) s"
fi
