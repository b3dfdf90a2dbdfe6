#!/usr/bin/env bash
# The browser edition's tests: builds the page (scripts/web.sh), the command line and
# the simulator (BUILD_DIR, default build), writes the raw files with the simulator,
# then converts them in headless Chromium and compares with the command line
# (app/web/page/test). The page's screenshot goes to build-web/web-page.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
web=${WEB_BUILD_DIR:-$root/build-web}
bash "$root/scripts/web.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
fi
cmake --build "$build" --target qern2rinex rawsim -j"$(nproc)" >/dev/null
rawsim=$build/tools/rawsim/rawsim
files=$web/test-files
mkdir -p "$files"
[ -s "$files/sample.bin" ] || "$rawsim" sample "$files" >/dev/null
synth() { local out=$files/$1; shift; [ -s "$out" ] || "$rawsim" synth --out "$out" --no-truth "$@" >/dev/null; }
synth satellite.bin --kind R --minutes 10 --interval 5 --dual
synth part1.bin --minutes 10 --interval 5 --start 2300:259200
synth part2.bin --minutes 10 --interval 5 --start 2300:259800
synth day.bin --kind Q --hours 24 --dual --max-sats 12
# A damaged file: the sample cut short, its records overwritten past the first kilobyte.
[ -s "$files/damaged.bin" ] || python3 - "$files/sample.bin" "$files/damaged.bin" <<'PY'
import random, sys
data = bytearray(open(sys.argv[1], 'rb').read()[:6000])
rng = random.Random(7)
for i in range(1024, len(data)):
    data[i] = rng.randrange(256)
open(sys.argv[2], 'wb').write(data)
PY
cd "$root/app/web/page"
QERN_PAGE=$web/qern2rinex.html QERN_CLI=$build/app/main/qern2rinex QERN_FILES=$files QERN_SHOTS=$web \
  node --test test/browser.test.mjs
