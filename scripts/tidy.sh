#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the libraries' sources (not the
# windows, the browser edition's engine (Emscripten's), tests or tools), with the
# compile commands of BUILD_DIR (default: build, configured by scripts/build.sh). Any
# finding fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ -f "$build/compile_commands.json" ] || { echo "tidy.sh: no $build/compile_commands.json (run scripts/build.sh first)" >&2; exit 2; }
cd "$root"
mapfile -t files < <(git ls-files 'platform/*.cpp' 'rawdata/*.cpp' 'positioning/*.cpp' 'quality/*.cpp' \
                                  'convert/*.cpp' 'app/*.cpp' | grep -v -e '^app/gui/' -e '^app/web/' | sed "s|^|$root/|")
start=$(date +%s)
run-clang-tidy -p "$build" -j "$(nproc)" -quiet "${files[@]}" > "$build/tidy.log" 2>&1 && status=0 || status=$?
grep -E '(error|warning): ' "$build/tidy.log" | sort -u || true
echo "tidy.sh: ${#files[@]} files in $(( $(date +%s) - start )) s, exit status $status (log $build/tidy.log)"
exit "$status"
