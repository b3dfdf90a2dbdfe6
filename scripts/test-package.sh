#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), installs it into this system with
# apt-get, runs the installed programs on the simulator's sample from another
# folder, checks the manual page and the desktop entry, then removes the package
# and checks that nothing of it is left. Needs root or sudo; an earlier
# installation of qern2rinex is removed first, and the package is removed again
# when a check fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

fail() { echo "test-package.sh: $*" >&2; exit 1; }
# dpkg's state of the package: installed, config-files, ..., or empty when unknown.
state() { dpkg-query -W -f='${db:Status-Status}' qern2rinex 2>/dev/null || true; }
present() { case "$(state)" in ""|not-installed) return 1 ;; esac; }

bash "$root/scripts/package.sh"
debs=("$root"/build-package/qern2rinex_*_*.deb)
deb=${debs[0]}

if present; then
  echo "Removing the qern2rinex installed before this test"
  $SUDO apt-get purge -y qern2rinex
fi
work=$(mktemp -d)
cleanup() {
  if present; then $SUDO apt-get purge -y qern2rinex >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# What the package holds; its folders that do not exist yet must go with it.
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^/\?$')
new_dirs=()
for p in "${paths[@]}"; do
  if [ -e "$p" ] && [ ! -d "$p" ]; then fail "$p exists before the package is installed"; fi
  if [ ! -d "$p" ]; then new_dirs+=("$p"); fi
done

# Minimal images may keep manual pages and documents out (dpkg path-exclude):
# this package's are let in, so that the test sees what a desktop system gets.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y \
  -o 'Dpkg::Options::=--path-include=/usr/share/man/man1/qern*' \
  -o 'Dpkg::Options::=--path-include=/usr/share/doc/qern2rinex/*' "$deb"
[ "$(state)" = installed ] || fail "qern2rinex is not installed after apt-get install"

# The installed programs, run from a folder of their own with a home of their own.
[ "$(command -v qern2rinex)" = /usr/bin/qern2rinex ] || fail "qern2rinex is not /usr/bin/qern2rinex"
[ "$(command -v qern-rawsim)" = /usr/bin/qern-rawsim ] || fail "qern-rawsim is not /usr/bin/qern-rawsim"
mkdir -p "$work/home" "$work/home2" "$work/run"
(
  cd "$work/run"
  export HOME="$work/home"
  unset XDG_CONFIG_HOME DISPLAY
  qern-rawsim sample . >/dev/null
  qern2rinex --qc-plots sample.bin OBS:sample.obs NAV:sample.nav S > summary.txt
  qern2rinex --version
  # Without OBS: and NAV: and with an empty profile, the outputs go to the default
  # data folder: the current one for /usr/bin/qern2rinex (no /usr/RAW).
  HOME="$work/home2" qern2rinex sample.csv S > default-folder.txt
)
run="$work/run"
grep -q '^Observation file: sample.obs$' "$run/summary.txt" || fail "no summary: $(cat "$run/summary.txt")"
head -n 1 "$run/sample.obs" | grep -q 'OBSERVATION DATA' || fail "sample.obs is no RINEX observation file"
head -n 1 "$run/sample.nav" | grep -q 'NAV' || fail "sample.nav is no RINEX navigation file"
grep -q ' epochs, ' "$run/summary.txt" || fail "summary without epochs"
for chart in sky cn0 multipath satellites position-time position-scatter; do
  [ -s "$run/sample.obs.qc.$chart.png" ] || fail "no chart $chart (Qt of the package's dependencies)"
done
[ -s "$run/sample.obs.qc" ] || fail "no quality report"
[ -f "$work/home/.config/qern2rinex.ini" ] || fail "no profile in \$HOME/.config"
cat "$run/summary.txt"
grep -qx "Observation file: $run/sample.RNX" "$run/default-folder.txt" ||
  fail "default data folder is not the current one: $(head -n 1 "$run/default-folder.txt")"

[ "$(man -w qern2rinex)" = /usr/share/man/man1/qern2rinex.1.gz ] || fail "man -w qern2rinex: $(man -w qern2rinex 2>&1)"
[ "$(man -w qern-rawsim)" = /usr/share/man/man1/qern-rawsim.1.gz ] || fail "man -w qern-rawsim"
desktop-file-validate /usr/share/applications/qern2rinex.desktop || fail "desktop-file-validate"
echo "Installed: $(dpkg-query -W qern2rinex), $(man -w qern2rinex), desktop entry valid"

# Removal: no file of the package, and none of the folders it brought, is left.
$SUDO apt-get purge -y qern2rinex
if present; then fail "qern2rinex is still $(state) after the purge"; fi
for p in "${paths[@]}"; do
  [ -d "$p" ] || [ ! -e "$p" ] || fail "$p is left after the purge"
done
for d in "${new_dirs[@]}"; do
  [ ! -e "$d" ] || fail "folder $d is left after the purge"
done
echo "Removed: none of the package's ${#paths[@]} paths is left"
