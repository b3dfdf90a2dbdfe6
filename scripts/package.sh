#!/usr/bin/env bash
# Builds the Debian package qern2rinex_VERSION_ARCH.deb into build-package/ and
# checks it with lintian: errors fail the script, warnings are listed. Installs what
# it needs through scripts/setup.sh. The package is not installed here (scripts/test-package.sh
# does that).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}

bash "$root/scripts/setup.sh"

# The browser edition's page, built by its own script (Emscripten, not the
# package's compiler); the package installs the file it made. Built before
# Debian's flags below are exported: they are not Emscripten's.
web=${WEB_BUILD_DIR:-$root/build-web}
nice bash "$root/scripts/web.sh"

# Debian's compiler and linker flags, hardening included (CMake does not read
# CPPFLAGS: they go with the compiler flags).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"

# --fresh: the flags above are read by a first configure only.
nice cmake --fresh -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQERN_TESTS=OFF -DQERN_GUI=ON \
  -DQERN_WEB_PAGE="$web/qern2rinex.html"
nice cmake --build "$build" -j"$(nproc)"
rm -f "$build"/qern2rinex_*.deb
(cd "$build" && cpack -G DEB)

debs=("$build"/qern2rinex_*_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: expected one qern2rinex_VERSION_ARCH.deb in $build" >&2
  exit 1
fi
deb=${debs[0]}
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
expected=()
for size in 16 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/qern2rinex.png")
done
expected+=(./usr/bin/qern2rinex ./usr/bin/qern-rawsim ./usr/share/man/man1/qern2rinex.1.gz
           ./usr/share/applications/qern2rinex.desktop ./usr/share/icons/hicolor/scalable/apps/qern2rinex.svg
           ./usr/share/doc/qern2rinex/README.md ./usr/share/doc/qern2rinex/copyright
           ./usr/lib/systemd/system/qern2rinex-station@.service
           ./usr/share/qern2rinex/qern2rinex.html)
for path in "${expected[@]}"; do
  if ! grep -q " $path\$" <<<"$contents"; then
    echo "package.sh: $path is missing from $deb" >&2
    exit 1
  fi
done

# Lintian: errors fail the script (its exit status); warnings and notes are shown.
report=$(lintian --fail-on error --display-info "$deb" 2>&1) && status=0 || status=$?
echo "$report"
if [ "$status" -ne 0 ]; then
  echo "package.sh: lintian found errors in $deb" >&2
  exit 1
fi
warnings=$(grep '^W: ' <<<"$report" || true)
echo "Warnings kept: ${warnings:-none}"
echo "Package: $deb"
