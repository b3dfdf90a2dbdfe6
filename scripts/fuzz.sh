#!/usr/bin/env bash
# Builds the decoder fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in their own build directory and runs each for a
# bounded time, seeded with hand-made records (fuzz/make_seeds.py), the small
# simulator files in fuzz/corpus (tools/rawsim synth: 20 s at 5 s, 4 satellites,
# events, every fault kind every 2nd record) and, when present, the raw files in
# testdata/raw. Exits non-zero when a target finds a crash, a leak, undefined
# behaviour or a broken promise of a decode operation; the input is kept in
# $BUILD_DIR/artifacts.
# Beside them, the whole-conversion target (fuzz/ConversionFuzzer.cpp) converts its
# input in both formats and checks the RINEX lines it writes; seeded with
# fuzz/corpus-conversion (an option byte followed by a small simulator file) and the
# kept inputs of fixed faults in tests/convert/regressions (those of open faults wait
# in tests/convert/regressions-open). It runs on the second core while the decoders
# are fuzzed one after the other.
#   FUZZ_SECONDS             seconds per format (default 60)
#   CONVERSION_FUZZ_SECONDS  seconds of the whole-conversion target (default 60; 0: skip);
#                            QERN_CONVERSION_FUZZ_NO_LINE_CHECK=1 leaves out its RINEX line checks
#   BUILD_DIR                build directory (default build-fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
conversion_seconds=${CONVERSION_FUZZ_SECONDS:-60}

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found (scripts/setup.sh installs it)" >&2; exit 1; }

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root/fuzz" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)"

work="$build/run"
rm -rf "$work"
mkdir -p "$work" "$build/artifacts"
python3 "$root/fuzz/make_seeds.py" "$work/seeds"

status=0
conversion_pid=
if [ "$conversion_seconds" -gt 0 ]; then
    corpus="$work/corpus-conversion"
    mkdir -p "$corpus"
    cp "$root/fuzz/corpus-conversion"/* "$corpus/"
    dirs=("$corpus")
    [ -d "$root/tests/convert/regressions" ] && dirs+=("$root/tests/convert/regressions")
    cat "$root/fuzz/ascii.dict" "$root/fuzz/binary.dict" "$root/fuzz/conversion.dict" >"$work/conversion.dict"
    echo "== fuzzing the whole conversion for $conversion_seconds s (in the background)"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz_conversion" -max_total_time="$conversion_seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=12288 -dict="$work/conversion.dict" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/conversion-" "${dirs[@]}" \
        >"$work/conversion.log" 2>&1 &
    conversion_pid=$!
fi
for format in ascii binary; do
    corpus="$work/corpus-$format"
    mkdir -p "$corpus"
    cp "$work/seeds/$format"/* "$corpus/"
    if [ -d "$root/fuzz/corpus/$format" ]; then
        cp "$root/fuzz/corpus/$format"/* "$corpus/"
    fi
    if [ -d "$root/testdata/raw/$format" ]; then
        find "$root/testdata/raw/$format" -type f -size -64k -exec cp {} "$corpus/" \;
    fi
    dirs=("$corpus")
    [ -d "$root/tests/rawdata/regressions/$format" ] && dirs+=("$root/tests/rawdata/regressions/$format")
    echo "== fuzzing the $format decoder for $seconds s"
    # -jobs/-workers stay at 1: the machine is shared with the other tests.
    if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz_decode_$format" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=2048 -dict="$root/fuzz/$format.dict" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$format-" "${dirs[@]}" \
        >"$work/$format.log" 2>&1; then
        status=1
        echo "fuzz.sh: the $format decoder failed; input in $build/artifacts, log:" >&2
        tail -n 60 "$work/$format.log" >&2
    else
        grep -E "DONE|stat::number_of_executed_units|stat::peak_rss_mb" "$work/$format.log" || true
    fi
done
if [ -n "$conversion_pid" ]; then
    if ! wait "$conversion_pid"; then
        status=1
        echo "fuzz.sh: the whole conversion failed; input in $build/artifacts, log:" >&2
        tail -n 60 "$work/conversion.log" >&2
    else
        echo "== whole conversion"
        grep -E "DONE|stat::number_of_executed_units|stat::peak_rss_mb" "$work/conversion.log" || true
    fi
fi
if [ "$status" -eq 0 ]; then
    echo "fuzz.sh: no findings"
fi
exit "$status"
