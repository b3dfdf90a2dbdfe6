#!/usr/bin/env bash
# Proves the README's two commands on a machine that has never seen the project:
# a minimal Debian 12 root (mmdebstrap, variant apt, with ca-certificates and git
# only) gets a clean clone of HEAD, and `bash scripts/demo.sh` then
# `bash scripts/test.sh` run inside it under chroot, as root, without a terminal
# and with CI unset. Each command's exit status, time and last lines are printed;
# the logs are kept. Exits non-zero when a command fails or the demo leaves no
# RINEX observation file.
#
#   bash scripts/fresh-check.sh [--demo-only] [--keep]
#
# --demo-only  runs the first command only
# --keep       leaves the root in place afterwards (for a look inside)
#
# The root's tarball is cached in $QERN_FRESH_CACHE (default
# ~/.cache/qern2rinex/fresh-root) and made again after 7 days; the work folder is
# $QERN_FRESH_DIR (default /var/tmp/qern-fresh). Needs root and the package archive.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

demo_only=0
keep=0
for arg in "$@"; do
  case "$arg" in
    --demo-only) demo_only=1 ;;
    --keep) keep=1 ;;
    *) echo "usage: $0 [--demo-only] [--keep]" >&2; exit 2 ;;
  esac
done

[ "$(id -u)" -eq 0 ] || { echo "fresh-check.sh: needs root (mmdebstrap and chroot)" >&2; exit 2; }
command -v mmdebstrap >/dev/null || { echo "fresh-check.sh: mmdebstrap is not installed" >&2; exit 2; }

cache=${QERN_FRESH_CACHE:-$HOME/.cache/qern2rinex/fresh-root}
work=${QERN_FRESH_DIR:-/var/tmp/qern-fresh}
tarball="$cache/debian12-apt.tar"
chroot_dir="$work/root"
logs="$work/logs"
mkdir -p "$cache" "$work" "$logs"

now() { date +%s; }
t_start=$(now)

# Anything still mounted at or under a folder, deepest first.
mounts_under() {
  awk -v d="$1" '$2 == d || index($2, d "/") == 1 { print $2 }' /proc/mounts | sort -r
}
unmount_all() {
  local m
  for m in $(mounts_under "$chroot_dir"); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
}
# Deletes the root only when nothing is mounted under it: with the machine's /dev
# bound into it, rm -rf would delete the machine's device nodes.
remove_root() {
  [ -e "$chroot_dir" ] || return 0
  if [ -n "$(mounts_under "$chroot_dir")" ]; then
    echo "fresh-check.sh: still mounted under $chroot_dir, not deleted:" >&2
    mounts_under "$chroot_dir" >&2
    return 1
  fi
  rm -rf --one-file-system "$chroot_dir"
}
cleanup() {
  unmount_all
  if [ "$keep" -eq 0 ]; then remove_root || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The root left by an interrupted run goes first.
unmount_all
remove_root

# 1. The minimal root, from the machine's own apt sources.
t0=$(now)
if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
  sources=()
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -s "$f" ] && sources+=("$f")
  done
  echo "== making a minimal Debian 12 root (mmdebstrap, variant apt)"
  mmdebstrap --variant=apt --format=tar --include=ca-certificates,git bookworm "$cache/new.tar" "${sources[@]}" \
    >"$logs/mmdebstrap.log" 2>&1 || { tail -n 20 "$logs/mmdebstrap.log"; exit 1; }
  mv "$cache/new.tar" "$tarball"
  root_note="made"
else
  root_note="from the cache"
fi
mkdir -p "$chroot_dir"
tar -C "$chroot_dir" -xf "$tarball"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
t_root=$(( $(now) - t0 ))
echo "== root $root_note and unpacked in ${t_root} s"

# 2. A clean clone of HEAD: what a new user gets, nothing of this work tree's builds.
git clone --quiet --no-local "$root" "$chroot_dir/root/qern2rinex"
git -C "$chroot_dir/root/qern2rinex" checkout --quiet "$(git -C "$root" rev-parse HEAD)"

mount -t proc proc "$chroot_dir/proc"
mount -t sysfs sysfs "$chroot_dir/sys"
mount --bind /dev "$chroot_dir/dev"
mount --bind /dev/pts "$chroot_dir/dev/pts"

# Runs one command inside the root, without a terminal and with a plain
# environment (no CI, no DISPLAY), prints its status, time and last lines.
run_in_root() {
  local name=$1 cmd=$2 status t
  echo "== $cmd (inside the fresh root; log $logs/$name.log)"
  t=$(now)
  set +e
  chroot "$chroot_dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/qern2rinex && $cmd" </dev/null >"$logs/$name.log" 2>&1
  status=$?
  set -e
  t=$(( $(now) - t ))
  tail -n 15 "$logs/$name.log" | sed 's/^/    /'
  echo "== $cmd: exit status $status after ${t} s"
  eval "status_$name=$status; time_$name=$t"
}

run_in_root demo "bash scripts/demo.sh"
failed=0
[ "$status_demo" -eq 0 ] || failed=1
obs="$chroot_dir/root/qern2rinex/out/sample.obs"
if ! head -n 1 "$obs" 2>/dev/null | grep -q 'OBSERVATION DATA'; then
  echo "== the demo left no RINEX observation file at out/sample.obs"
  failed=1
fi
# The demo's own lines say how long the packages and the build took.
packages=$(sed -n 's/^setup.sh: .* installed in \([0-9]*\) s$/\1/p' "$logs/demo.log" | head -n 1)
built=$(sed -n 's/^build.sh: built in \([0-9]*\) s$/\1/p' "$logs/demo.log" | head -n 1)
summary="root ${t_root} s, demo ${time_demo} s (packages ${packages:-?} s, build ${built:-?} s)"
if [ "$demo_only" -eq 0 ]; then
  run_in_root test "bash scripts/test.sh"
  [ "$status_test" -eq 0 ] || failed=1
  built=$(sed -n 's/^build.sh: built in \([0-9]*\) s$/\1/p' "$logs/test.log" | head -n 1)
  summary="$summary, tests ${time_test} s (build ${built:-?} s)"
  grep -E 'tests passed|tests failed' "$logs/test.log" | tail -n 1 | sed 's/^/== /' || true
fi
echo "== fresh-check: $summary, whole $(( $(now) - t_start )) s; logs in $logs"
if [ "$failed" -ne 0 ]; then
  echo "fresh-check.sh: FAILED" >&2
  exit 1
fi
echo "fresh-check.sh: passed"
