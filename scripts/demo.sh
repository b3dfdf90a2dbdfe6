#!/usr/bin/env bash
# Installs what is needed, builds, writes the sample raw files with the simulator
# and converts the binary one to RINEX unattended. Output goes to out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
BUILD_DIR=${BUILD_DIR:-$root/build} bash "$root/scripts/build.sh" -DQERN_TESTS=OFF
build=${BUILD_DIR:-$root/build}
out="$root/out"
mkdir -p "$out"
"$build/tools/rawsim/rawsim" sample "$out"
"$build/app/main/qern2rinex" "$out/sample.bin" "OBS:$out/sample.obs" "NAV:$out/sample.nav" S
echo "Converted $out/sample.bin:"
ls -l "$out"/sample.obs "$out"/sample.nav
head -n 25 "$out/sample.obs"
