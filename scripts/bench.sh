#!/usr/bin/env bash
# Whole-conversion benchmark: what one `qern2rinex SOURCE OBS:... NAV:... S` costs
# and how the cost grows with the file, side by side with the reference pipeline a
# user would otherwise run on the same epochs (convbin RINEX to RINEX, then
# rnx2rtkp single-point positions), and with the floor of reading and decoding the
# raw file twice.
#
#   bash scripts/bench.sh            1-hour and 24-hour files (about 10 to 20 minutes)
#   bash scripts/bench.sh --quick    1-hour files only (one to two minutes)
#   bash scripts/bench.sh --many     batch and splice figures only (a few minutes)
#   bash scripts/bench.sh --window   the window's cost alone, on the 24-hour binary file
#   bash scripts/bench.sh --station  the CPU share of a live 1 Hz station (about 4 minutes)
#   bash scripts/bench.sh --web      the browser edition on the 24-hour binary file
#   bash scripts/bench.sh --compress the compressed outputs alone, on the 24-hour binary file
#
# Compressed outputs: the 24-hour receiver-dated binary file (1-hour with --quick)
# converted plain, with --gzip, --hatanaka and --hatanaka --gzip: the observation
# file's size and the wall and CPU time of each (medians of 3 interleaved runs).
#
# The window's cost: the 24-hour binary file (1-hour with --quick) converted through
# the main window under Xvfb (progress window, events every 50 ms) against the same
# conversion without a window, medians of 3 runs of bench/window_convert.
# The browser edition: the same file converted in headless Chromium through the
# page (scripts/web.sh builds it) against the command line, wall time and peak
# memory of the whole browser (app/web/page/test/bench.mjs).
#
# Simulated files at 1 Hz, dual-frequency, in the binary, ASCII comma-separated and
# ASCII fixed-column layouts, receiver-dated (Q) and satellite-dated (R). For each:
# median wall and CPU time of the conversion, raw MB/s, epochs/s, peak resident
# memory, the read-and-decode floor, the reference pipeline and a per-stage profile.
# With BENCH_BEFORE=PATH (an earlier build's qern2rinex) each conversion is timed with
# that program as well, and a before/after table is printed (--many: the batch too).
# Files go to BENCH_DIR (default: BUILD_DIR/benchdata, BUILD_DIR default build-bench);
# the tables are printed and kept in BENCH_DIR/results.md. --many: a batch of 8
# one-hour files with --jobs 1 and --jobs 2 (wall time, speed-up, peak memory) and
# a splice of 24 one-hour files against one of them (peak memory), kept in
# BENCH_DIR/results-many.md.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
many=0
window_only=0
compress_only=0
station=0
web_only=0
for a in "$@"; do
  case "$a" in
    --quick) quick=1 ;;
    --many) many=1 ;;
    --window) window_only=1 ;;
    --compress) compress_only=1 ;;
    --station) station=1 ;;
    --web) web_only=1 ;;
    -h|--help) sed -n '2,35p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option $a (try --help)" >&2; exit 2 ;;
  esac
done

build=${BUILD_DIR:-$root/build-bench}
work=${BENCH_DIR:-$build/benchdata}
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQERN_BENCH=ON -DQERN_TESTS=OFF >/dev/null
cmake --build "$build" --target qern2rinex rawsim read_floor stage_profile window_convert -j"$(nproc)" >/dev/null

rawsim=$build/tools/rawsim/rawsim
convert=$build/app/main/qern2rinex
before=${BENCH_BEFORE:-}
[ -z "$before" ] || [ -x "$before" ] || { echo "bench.sh: BENCH_BEFORE=$before is no program" >&2; exit 2; }
floor=$build/bench/read_floor
stages=$build/bench/stage_profile
TIME=/usr/bin/time
for tool in "$TIME" convbin rnx2rtkp; do
  command -v "$tool" >/dev/null || { echo "bench.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

mkdir -p "$work/raw" "$work/out" "$work/ref" "$work/config"
# A profile of our own: the user's is left alone, and every run starts from the same
# settings (nominal propagation time 75 ms, no log files).
export XDG_CONFIG_HOME=$work/config
printf '[Advanced]\nTx=75\nLogFile=0\n' >"$work/config/qern2rinex.ini"
tx_ms=75

hours_list=(1 24)
[ "$quick" -eq 1 ] && hours_list=(1)
layouts=(bin csv fixed)
kinds=(Q R)

# Median of numbers on standard input.
median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print 0; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
# Runs a command n times under GNU time; prints "wall cpu rssKB" medians.
timed() {
  local n=$1; shift
  local log=$work/time.log
  : >"$log.all"
  for ((i = 0; i < n; i++)); do
    "$TIME" -f '%e %U %S %M' -o "$log" "$@" >/dev/null 2>"$work/stderr.log" || {
      echo "bench.sh: failed: $*" >&2; cat "$work/stderr.log" >&2; exit 1; }
    tail -n 1 "$log" >>"$log.all"
  done
  local wall cpu rss
  wall=$(awk '{print $1}' "$log.all" | median)
  cpu=$(awk '{print $2 + $3}' "$log.all" | median)
  rss=$(awk '{print $4}' "$log.all" | median)
  echo "$wall $cpu $rss"
}
# Text of a RINEX file without its creation-date line.
dateless() { grep -v 'PGM / RUN BY / DATE' "$1"; }

# CPU seconds (user + system) a running process has used so far.
cpu_of() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.3f\n", ($14 + $15) / hz }' "/proc/$1/stat"; }

# A live station: a 1 Hz receiver-dated dual-frequency stream over TCP, played at real
# time for a while (the steady share, with its syncs every 2 s), then an hour and a
# minute at 30 times real time (the share with the hour's conversion, its syncs 30
# times rarer than live).
if [ "$station" -eq 1 ]; then
  live_s=120
  raw=$work/station.bin
  [ -s "$raw" ] || "$rawsim" synth --out "$raw" --format bin --kind Q --minutes 62 --dual --max-sats 12 \
    --start 2300:259200 --no-truth >/dev/null
  run_station() {  # speed seconds-to-run (0: until the hour is published) -> CPU s and stream s
    local speed=$1 limit=$2 dir=$work/station-$1
    rm -rf "$dir"; mkdir -p "$dir"
    "$rawsim" stream "$raw" --tcp 0 --ready "$dir/port" --speed "$speed" --linger 600 2>/dev/null &
    local sim=$!
    while [ ! -s "$dir/port" ]; do sleep 0.1; done
    "$convert" --station "$dir" "tcp:127.0.0.1:$(cat "$dir/port")" 2>"$dir/log" &
    local st=$! start=$SECONDS
    if [ "$limit" -gt 0 ]; then sleep "$limit"; else
      until grep -q published "$dir/log" 2>/dev/null; do sleep 0.2; done
    fi
    local cpu; cpu=$(cpu_of "$st")
    local stream_s; stream_s=$(( (SECONDS - start) * speed ))
    kill -TERM "$st" "$sim"; wait "$st" "$sim" 2>/dev/null || true
    echo "$cpu $stream_s"
  }
  read -r cpu_live s_live < <(run_station 1 "$live_s")
  read -r cpu_hour s_hour < <(run_station 30 0)
  {
    echo "Machine: $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    echo "| run | stream s | station CPU s | share of one core |"
    echo "|---|---:|---:|---:|"
    awk -v c="$cpu_live" -v s="$s_live" 'BEGIN { printf "| live, 1 Hz at real time | %d | %.2f | %.2f %% |\n", s, c, 100 * c / s }'
    awk -v c="$cpu_hour" -v s="$s_hour" 'BEGIN { printf "| an hour at 30x, with its conversion | %d | %.2f | %.2f %% |\n", s, c, 100 * c / s }'
  } | tee "$work/results-station.md"
  exit 0
fi

# Many files: the batch's speed-up on the cores and the splice's memory.
if [ "$many" -eq 1 ]; then
  runs=5
  mkdir -p "$work/many/raw" "$work/many/out"
  files=()
  for ((k = 0; k < 24; k++)); do
    raw=$work/many/raw/h$(printf '%02d' "$k").bin
    [ -s "$raw" ] || "$rawsim" synth --out "$raw" --format bin --kind Q --hours 1 --dual --max-sats 12 \
      --start 2300:$((259200 + 3600 * k)) --no-truth >/dev/null
    files+=("$raw")
  done
  out=$work/many/out
  load_start=$(cut -d' ' -f1-3 /proc/loadavg)
  read -r w1 c1 m1 < <(timed "$runs" "$convert" "${files[0]}" "OBS:$out/one.obs" "NAV:$out/one.nav" S)
  read -r wb1 cb1 mb1 < <(timed "$runs" "$convert" --batch --jobs 1 --output-dir "$out" "${files[@]:0:8}")
  read -r wb2 cb2 mb2 < <(timed "$runs" "$convert" --batch --jobs 2 --output-dir "$out" "${files[@]:0:8}")
  read -r ws cs ms < <(timed "$runs" "$convert" --splice "OBS:$out/day.obs" "NAV:$out/day.nav" S "${files[@]}")
  if [ -n "$before" ]; then
    read -r bw1 bc1 bm1 < <(timed "$runs" "$before" "${files[0]}" "OBS:$out/one.obs" "NAV:$out/one.nav" S)
    read -r bwb1 bcb1 bmb1 < <(timed "$runs" "$before" --batch --jobs 1 --output-dir "$out" "${files[@]:0:8}")
    read -r bwb2 bcb2 bmb2 < <(timed "$runs" "$before" --batch --jobs 2 --output-dir "$out" "${files[@]:0:8}")
  fi
  epochs=$(grep -c '^> \|^ [0-9][0-9] ' "$out/day.obs" || true)
  load_end=$(cut -d' ' -f1-3 /proc/loadavg)
  {
    echo "Machine: $(nproc) cores; load average $load_start at the start, $load_end at the end."
    echo "Receiver-dated binary files, 1 h at 1 Hz, dual-frequency; medians of $runs runs; CPU is user + system."
    echo
    echo "| run | files | wall s | CPU s | peak RSS KB |"
    echo "|---|---:|---:|---:|---:|"
    echo "| one file | 1 | $w1 | $c1 | $m1 |"
    echo "| --batch --jobs 1 | 8 | $wb1 | $cb1 | $mb1 |"
    echo "| --batch --jobs 2 | 8 | $wb2 | $cb2 | $mb2 |"
    echo "| --splice | 24 | $ws | $cs | $ms |"
    echo
    awk -v a="$wb1" -v b="$wb2" 'BEGIN { printf "Batch speed-up, --jobs 2 against --jobs 1 (wall): %.2f (target: at least 1.8)\n", a / b }'
    echo "Splice of 24 files: $((ms - m1)) KB more peak memory than one file; $epochs epoch lines written."
    if [ -n "$before" ]; then
      echo
      echo "Before (BENCH_BEFORE) and after:"
      echo
      echo "| run | files | before wall s (CPU s) | after wall s (CPU s) | before peak RSS KB | after |"
      echo "|---|---:|---:|---:|---:|---:|"
      echo "| one file | 1 | $bw1 ($bc1) | $w1 ($c1) | $bm1 | $m1 |"
      echo "| --batch --jobs 1 | 8 | $bwb1 ($bcb1) | $wb1 ($cb1) | $bmb1 | $mb1 |"
      echo "| --batch --jobs 2 | 8 | $bwb2 ($bcb2) | $wb2 ($cb2) | $bmb2 | $mb2 |"
    fi
  } | tee "$work/results-many.md"
  exit 0
fi

# The window's cost to the conversion of one binary, receiver-dated file.
window_line() {
  local hours=$1 raw=$work/raw/q${1}h-bin.bin
  [ -s "$raw" ] || "$rawsim" synth --out "$raw" --format bin --kind Q --hours "$hours" --dual \
    --max-sats 12 --tx 0.$tx_ms --no-truth >/dev/null
  local run=("$build/bench/window_convert" --format 1 --tx "$tx_ms" --runs 3 "$raw" "$work/out/window.obs" "$work/out/window.nav")
  local line
  if command -v xvfb-run >/dev/null; then
    line=$(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" "${run[@]}" 2>/dev/null)
  else
    line=$("${run[@]}" 2>/dev/null)
  fi
  echo "Window: q${hours}h-bin through the main window against no window (wall s, medians of 3): $line"
}
# The sizes and times of the compressed outputs of one binary, receiver-dated file.
compress_table() {
  local hours=$1 raw=$work/raw/q${1}h-bin.bin
  [ -s "$raw" ] || "$rawsim" synth --out "$raw" --format bin --kind Q --hours "$hours" --dual \
    --max-sats 12 --tx 0.$tx_ms --no-truth >/dev/null
  local log=$work/compress.log variant extra obs
  : >"$log"
  for ((i = 0; i < 3; i++)); do
    for variant in plain gz crx crx.gz; do
      case $variant in plain) extra=() ;; gz) extra=(--gzip) ;; crx) extra=(--hatanaka) ;; crx.gz) extra=(--hatanaka --gzip) ;; esac
      obs=$work/out/compress.$variant
      "$TIME" -f "$variant %e %U %S %M" "$convert" "${extra[@]}" "$raw" "OBS:$obs" "NAV:$work/out/compress.nav.$variant" S \
        >/dev/null 2>>"$log"
    done
  done
  local plain_size plain_wall
  plain_size=$(stat -c %s "$work/out/compress.plain")
  plain_wall=$(awk '$1 == "plain" {print $2}' "$log" | median)
  echo ""
  echo "Compressed outputs, q${hours}h-bin (observation file; medians of 3 interleaved runs; load average $(cut -d' ' -f1-3 /proc/loadavg)):"
  echo ""
  echo "| output | options | MB | size / plain | wall s | CPU s | wall / plain | peak RSS MB |"
  echo "|---|---|---:|---:|---:|---:|---:|---:|"
  for variant in plain gz crx crx.gz; do
    case $variant in plain) extra="" ;; gz) extra="--gzip" ;; crx) extra="--hatanaka" ;; crx.gz) extra="--hatanaka --gzip" ;; esac
    local size wall cpu rss
    size=$(stat -c %s "$work/out/compress.$variant")
    wall=$(awk -v v="$variant" '$1 == v {print $2}' "$log" | median)
    cpu=$(awk -v v="$variant" '$1 == v {print $3 + $4}' "$log" | median)
    rss=$(awk -v v="$variant" '$1 == v {print $5}' "$log" | median)
    awk -v o="$variant" -v x="$extra" -v s="$size" -v p="$plain_size" -v w="$wall" -v c="$cpu" -v pw="$plain_wall" -v m="$rss" \
      'BEGIN {printf "| %s | %s | %.2f | %.3f | %.2f | %.2f | %.2f | %.2f |\n", o, x, s / 1e6, s / p, w, c, w / pw, m / 1024}'
  done
}
if [ "$compress_only" -eq 1 ]; then
  compress_table 24 | tee "$work/compress.md"
  exit 0
fi
if [ "$window_only" -eq 1 ]; then
  window_line 24 | tee "$work/window.md"
  exit 0
fi
if [ "$web_only" -eq 1 ]; then
  raw=$work/raw/q24h-bin.bin
  [ -s "$raw" ] || "$rawsim" synth --out "$raw" --format bin --kind Q --hours 24 --dual \
    --max-sats 12 --tx 0.$tx_ms --no-truth >/dev/null
  bash "$root/scripts/web.sh" >/dev/null
  page=${WEB_BUILD_DIR:-$root/build-web}/qern2rinex.html
  "$TIME" -f "%e %M" -o "$work/web-native.time" "$convert" "$raw" "OBS:$work/out/web.obs" "NAV:$work/out/web.nav" S >/dev/null
  read -r native_s native_kb <"$work/web-native.time"
  web=$(cd "$root/app/web/page" && node test/bench.mjs "$page" "$raw")
  {
    echo "Browser edition, q24h-bin: command line ${native_s} s, ${native_kb} KB peak; Chromium: $web"
  } | tee "$work/web.md"
  exit 0
fi

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
results=$work/results.tsv
: >"$results"
declare -A ref_seen
echo "Files in $work; load average at start: $load_start"

for hours in "${hours_list[@]}"; do
  runs=5
  for layout in "${layouts[@]}"; do
    for kind in "${kinds[@]}"; do
      name=${kind,,}${hours}h-$layout
      raw=$work/raw/$name.$layout
      if [ ! -s "$raw" ]; then
        "$rawsim" synth --out "$raw" --format "$layout" --kind "$kind" --hours "$hours" --dual \
          --max-sats 12 --tx 0.$tx_ms --no-truth >/dev/null
      fi
      format=1; [ "$layout" != bin ] && format=0
      obs=$work/out/$name.obs
      nav=$work/out/$name.nav
      bytes=$(stat -c %s "$raw")
      echo "== $name: $((bytes / 1000)) kB, $runs runs" >&2

      read -r wall cpu rss < <(timed "$runs" "$convert" "$raw" "OBS:$obs" "NAV:$nav" S)
      bwall=""; bcpu=""; brss=""
      [ -z "$before" ] || read -r bwall bcpu brss < <(timed "$runs" "$before" "$raw" "OBS:$obs.b" "NAV:$nav.b" S)
      floor_line=$("$floor" --format "$format" "$raw")
      epochs=$(sed -E 's/.* epochs=([0-9]+).*/\1/' <<<"$floor_line")
      for ((i = 0; i < runs; i++)); do "$floor" --format "$format" "$raw"; done >"$work/floor.log"
      floor_wall=$(sed -E 's/.* seconds=([0-9.]+).*/\1/' "$work/floor.log" | median)
      floor_cpu=$(sed -E 's/.* cpu=([0-9.]+).*/\1/' "$work/floor.log" | median)
      types=$(sed -n 's/^ *\([0-9]*\) .*# \/ TYPES OF OBSERV.*/\1/p' "$obs")

      # The reference pipeline on the RINEX files we wrote. Identical files (the same
      # simulation in another layout) are timed once.
      key=$(cat <(dateless "$obs") <(dateless "$nav") | md5sum | cut -c1-16)
      if [ -z "${ref_seen[$key]:-}" ]; then
        ref_obs=$work/ref/$key.obs
        read -r cw cc _ < <(timed "$runs" convbin -r rinex -v 2.11 -od -os -o "$ref_obs" "$obs")
        read -r pw pc prss < <(timed "$runs" rnx2rtkp -p 0 -o "$work/ref/$key.pos" "$obs" "$nav")
        positions=$(grep -vc '^%' "$work/ref/$key.pos" || true)
        ref_seen[$key]="$(awk -v a="$cw" -v b="$pw" 'BEGIN{print a+b}') $(awk -v a="$cc" -v b="$pc" 'BEGIN{print a+b}') $positions $prss"
      fi
      read -r ref_wall ref_cpu ref_positions ref_rss <<<"${ref_seen[$key]}"

      # Per-stage profile (median of the runs), and a check that it wrote what the
      # conversion wrote.
      stage_line=$("$stages" --format "$format" --tx "$tx_ms" --runs "$runs" "$raw" "$obs.stages" "$nav.stages")
      same=no
      if cmp -s <(dateless "$obs") <(dateless "$obs.stages") && cmp -s <(dateless "$nav") <(dateless "$nav.stages"); then
        same=yes
      fi
      rm -f "$obs.stages" "$nav.stages"
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' \
        "$name" "$layout" "$kind" "$hours" "$bytes" "$epochs" "$types" "$wall" "$cpu" "$rss" "$floor_wall" \
        "$ref_wall" "$ref_cpu" "$ref_positions" "$same" "$stage_line" "$ref_rss" "$floor_cpu" \
        "$bwall" "$bcpu" "$brss" >>"$results"
    done
  done
done
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

awk -F'\t' -v cpus="$(nproc)" -v load1="$load_start" -v load2="$load_end" '
function f(x, d) { return sprintf("%." d "f", x) }
function stage(line, key,   m) { if (match(line, " " key "=[0-9.]+")) return substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 2) + 0; return 0 }
{
  n++; name[n] = $1; layout[n] = $2; kind[n] = $3; hours[n] = $4; bytes[n] = $5; epochs[n] = $6; types[n] = $7
  wall[n] = $8; cpu[n] = $9; rss[n] = $10; floorw[n] = $11; refw[n] = $12; refc[n] = $13; refpos[n] = $14
  same[n] = $15; st[n] = $16; refrss[n] = $17; floorc[n] = $18; bw[n] = $19; bc[n] = $20; brss[n] = $21
}
END {
  print "Machine: " cpus " cores; load average " load1 " at the start, " load2 " at the end."
  print ""
  print "Files: q receiver-dated, r satellite-dated; 1 h or 24 h at 1 Hz; bin binary, csv ASCII comma-separated,"
  print "fixed ASCII fixed-column. Times are medians; CPU is user + system. Floor: read_floor (read and decode twice)."
  print "Reference: convbin RINEX to RINEX plus rnx2rtkp single-point positions on the RINEX files written."
  print ""
  print "| file | raw MB | epochs | obs types | wall s (CPU s) | raw MB/s, wall (CPU) | epochs/s, wall (CPU) | peak RSS MB | floor s, wall (CPU) | conversion / floor, wall (CPU) | reference s, wall (CPU) | reference / conversion, wall (CPU) |"
  print "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  for (i = 1; i <= n; i++) {
    mb = bytes[i] / 1e6
    fc = floorc[i] > 0 ? floorc[i] : 0.001
    printf "| %s | %s | %d | %d | %s (%s) | %s (%s) | %s (%s) | %s | %s (%s) | %s (%s) | %s (%s) | %s (%s) |\n", name[i], f(mb, 2), epochs[i], types[i], f(wall[i], 2), f(cpu[i], 2), f(mb / wall[i], 1), f(mb / cpu[i], 1), f(epochs[i] / wall[i], 0), f(epochs[i] / cpu[i], 0), f(rss[i] / 1024, 2), f(floorw[i], 3), f(floorc[i], 3), f(wall[i] / floorw[i], 1), f(cpu[i] / fc, 1), f(refw[i], 2), f(refc[i], 2), f(refw[i] / wall[i], 1), f(refc[i] / cpu[i], 1)
  }
  print ""
  print "Per-stage profile (stage_profile, same steps and same output as the conversion; share of its wall time):"
  print ""
  print "| file | total s | framing | decode | tally | positioning | extrapolation | formatting | writing | progress | other | same output |"
  print "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|"
  split("framing decode tally positioning extrapolation formatting writing progress other", keys, " ")
  for (i = 1; i <= n; i++) {
    total = stage(st[i], "total")
    line = "| " name[i] " | " f(total, 3)
    for (k = 1; k <= 9; k++) line = line " | " f(100 * stage(st[i], keys[k]) / total, 1) "%"
    print line " | " same[i] " |"
  }
  print ""
  pairs = 0
  for (i = 1; i <= n; i++) if (hours[i] == 1) for (j = 1; j <= n; j++)
    if (hours[j] == 24 && layout[j] == layout[i] && kind[j] == kind[i]) {
      if (pairs++ == 0) {
        print "Peak memory, 24 h against 1 h (target: less than 1 MB more):"
        print ""
        print "| layout | kind | 1 h RSS KB | 24 h RSS KB | growth KB |"
        print "|---|---|---:|---:|---:|"
      }
      printf "| %s | %s | %d | %d | %d |\n", layout[i], kind[i], rss[i], rss[j], rss[j] - rss[i]
    }
  if (pairs == 0) print "Peak memory of 24-hour files against 1-hour ones: run without --quick."
  if (bw[1] != "") {
    print ""
    print "Before (BENCH_BEFORE) and after, the same files and reference (ratios: reference / conversion, conversion / floor):"
    print ""
    print "| file | before wall s (CPU s) | after wall s (CPU s) | reference / before, wall (CPU) | reference / after, wall (CPU) | after / floor, CPU | peak RSS MB, before | after |"
    print "|---|---:|---:|---:|---:|---:|---:|---:|"
    for (i = 1; i <= n; i++) {
      fc = floorc[i] > 0 ? floorc[i] : 0.001
      printf "| %s | %s (%s) | %s (%s) | %s (%s) | %s (%s) | %s | %s | %s |\n", name[i], f(bw[i], 2), f(bc[i], 2), f(wall[i], 2), f(cpu[i], 2), f(refw[i] / bw[i], 1), f(refc[i] / bc[i], 1), f(refw[i] / wall[i], 1), f(refc[i] / cpu[i], 1), f(cpu[i] / fc, 1), f(brss[i] / 1024, 2), f(rss[i] / 1024, 2)
    }
  }
}' "$results" | tee "$work/results.md"

# What the further outputs cost on the binary files of the longest recording: RINEX 3
# instead of RINEX 2 (target: within 10 %), and the quality report (target: at most
# 20 % more). Median CPU of 5 interleaved runs each.
longest=${hours_list[-1]}
{
  echo ""
  echo "Further outputs, ${longest}-hour binary files (median CPU s of 5 runs; ratio to RINEX 2):"
  echo ""
  echo "| file | RINEX 2 | RINEX 3 | ratio | RINEX 2 + --qc | ratio | peak RSS MB, --qc |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  for kind in Q R; do
    raw=$work/raw/${kind,,}${longest}h-bin.bin
    [ -f "$raw" ] || continue
    : >"$work/extra.log"
    for ((i = 0; i < 5; i++)); do
      for variant in plain v3 qc; do
        case $variant in plain) extra=() ;; v3) extra=(--rinex 3) ;; qc) extra=(--qc) ;; esac
        "$TIME" -f "$variant %U %S %M" "$convert" "${extra[@]}" "$raw" "OBS:$work/out/extra.o" "NAV:$work/out/extra.n" S \
          >/dev/null 2>>"$work/extra.log"
      done
    done
    cpu_of() { awk -v v="$1" '$1 == v {print $2 + $3}' "$work/extra.log" | median; }
    plain=$(cpu_of plain); v3=$(cpu_of v3); qc=$(cpu_of qc)
    qc_rss=$(awk '$1 == "qc" {print $4}' "$work/extra.log" | median)
    awk -v k="${kind,,}${longest}h-bin" -v p="$plain" -v a="$v3" -v b="$qc" -v m="$qc_rss" \
      'BEGIN {printf "| %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", k, p, a, a / p, b, b / p, m / 1024}'
  done
} | tee -a "$work/results.md"
window_hours=24; [ "$quick" -eq 1 ] && window_hours=1
compress_table "$window_hours" | tee -a "$work/results.md"
window_line "$window_hours" | tee -a "$work/results.md"
