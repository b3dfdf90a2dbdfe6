#!/usr/bin/env bash
# Installs what the build, the tests, the fuzzing, the Debian package and the
# window screenshots need on a minimal Debian 12 machine (one with nothing but
# ca-certificates and git). Every package is named: recommended packages are not
# installed, so a package that another only recommends must be listed here.
# Safe to run again: installed packages are left as they are.
set -euo pipefail
packages=(
  # build; zlib for gzip-compressed raw data files and gzipped outputs
  cmake ninja-build g++ make zlib1g-dev
  # windows and charts (Qt Charts needs Qt OpenGL's development files, which
  # qt6-base-dev only recommends); platform plugins (offscreen, xcb) and a font
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins fonts-dejavu-core
  # tests: GoogleTest, the independent RINEX reader, the decimal-comma locale,
  # Python for the JSON checks, GNU time and parallel for the recipes, mount for
  # the full-disk test (a small tmpfs)
  libgtest-dev libgmock-dev rtklib locales python3 time parallel mount
  # benchmarks; sanitizers and libFuzzer; clang-tidy (scripts/tidy.sh)
  libbenchmark-dev clang libclang-rt-14-dev clang-tidy
  # window screenshots under a virtual X server
  xvfb xauth
  # the Debian package: building, checking, manual page, icons
  dpkg-dev lintian desktop-file-utils man-db librsvg2-bin
  # the browser edition: Emscripten (which runs on Node.js with Debian's acorn),
  # Node.js for the page's bundler and tests, Chromium for the tests
  emscripten node-acorn nodejs chromium
)
# A Node.js from elsewhere brings its own npm (and conflicts with Debian's).
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  start=$(date +%s)
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  echo "setup.sh: ${#missing[@]} packages installed in $(( $(date +%s) - start )) s"
fi
