#!/usr/bin/env bash
# Spreads a batch of raw data files over several computers with GNU Parallel: one
# `qern2rinex --batch --jobs 1` per file, as many at a time on each computer as it
# has cores, the file sent there and its outputs fetched back.
#
#   bash scripts/parallel-batch.sh [-S HOSTFILE] [-o OUTDIR] [-p PROGRAM] [-n] LIST [-- OPTIONS...]
#
#   LIST         a file with one raw data file a line ("-": standard input)
#   -S HOSTFILE  GNU Parallel's --sshloginfile: one computer a line ("user@host",
#                "8/host" for 8 jobs there, ":" for this computer); default: this
#                computer only
#   -o OUTDIR    the folder of the outputs (default: the current folder)
#   -p PROGRAM   the qern2rinex to run on every computer (default: the one on its PATH)
#   -n           print the GNU Parallel command line and run nothing
#   OPTIONS      long options of every conversion (--marker NAME, --rinex 3, ...)
#
# Every computer converts with its own profile (~/.config/qern2rinex.ini); give the
# settings that matter as OPTIONS. Each job writes into a folder of its own, and the
# outputs are then moved into OUTDIR; two jobs that wrote the same name (files of
# one site and day on two computers: each took file index 0) are reported and the
# second one's outputs stay in OUTDIR/.parallel-batch/out/JOB. Exit status: 0 when
# every file was converted, 1 otherwise, 2 for a misuse.
set -euo pipefail

hostfile=""
outdir=.
program=qern2rinex
dry=0
usage() { sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; }
while getopts "S:o:p:nh" opt; do
  case "$opt" in
    S) hostfile=$OPTARG ;;
    o) outdir=$OPTARG ;;
    p) program=$OPTARG ;;
    n) dry=1 ;;
    h) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { usage >&2; exit 2; }
list=$1
shift
[ "${1:-}" = "--" ] && shift
command -v parallel >/dev/null || { echo "parallel-batch.sh: GNU Parallel is missing (Debian: parallel)" >&2; exit 1; }
[ -d "$outdir" ] || { echo "parallel-batch.sh: $outdir: no such folder" >&2; exit 2; }
outdir=$(cd "$outdir" && pwd)
[ -z "$hostfile" ] || hostfile=$(cd "$(dirname "$hostfile")" && pwd)/$(basename "$hostfile")

# The files as "/./absolute/path": the same path here, and the path relative to
# the login folder where --transferfile puts it on another computer.
work=$outdir/.parallel-batch
mkdir -p "$work"
inputs=$work/inputs
if [ "$list" = "-" ]; then cat; else cat -- "$list"; fi | while IFS= read -r file; do
  [ -n "$file" ] || continue
  case "$file" in /*) ;; *) file=$PWD/$file ;; esac
  printf '/.%s\n' "$file"
done >"$inputs"

# The job: the file where it is (this computer or a shared folder), else the copy
# sent; the outputs in out/JOB.
options=""
for o in "$@"; do options+=" $(printf '%q' "$o")"; done
job="f={}; [ -e \"\$f\" ] || f=\${f#/./}; mkdir -p out/{#} && $(printf '%q' "$program") --batch --jobs 1 --output-dir out/{#}$options \"\$f\""
# Files travel only when there are other computers.
hosts=(--sshlogin :)
[ -z "$hostfile" ] || hosts=(--sshloginfile "$hostfile" --transferfile {} --return 'out/{#}' --cleanup)
cmd=(parallel --keep-order "${hosts[@]}" "$job" :::: "$inputs")
if [ "$dry" -eq 1 ]; then
  printf '%q ' "${cmd[@]}"
  echo
  exit 0
fi

status=0
(cd "$work" && "${cmd[@]}") || status=1
# Into OUTDIR in the order of the jobs, refusing a name a job of this run
# already moved there.
declare -A moved
for n in $(ls "$work/out" 2>/dev/null | sort -n); do
  dir=$work/out/$n/
  [ -d "$dir" ] || continue
  for path in "$dir"*; do
    [ -e "$path" ] || continue
    name=$(basename "$path")
    if [ -n "${moved[$name]:-}" ]; then
      echo "parallel-batch.sh: $name written by two jobs: the second one's is kept as $path" >&2
      status=1
      continue
    fi
    mv -f "$path" "$outdir/$name"
    moved[$name]=1
  done
  rmdir "$dir" 2>/dev/null || true
done
[ "$status" -ne 0 ] || rm -rf "$work"
exit "$status"
