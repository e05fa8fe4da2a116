#!/usr/bin/env bash
# Short fuzzing run for CI: builds every libFuzzer target with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz, and runs
# each from its seed corpus (tests/fuzz/corpus_<name>/) for a fixed time.
# New inputs go to a scratch corpus in build-fuzz, never into the sources.
# A crash leaves its reproducer in build-fuzz/artifacts/ and fails the run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tqv_install_packages
cd "$TQV_ROOT"

seconds=${TQV_FUZZ_SECONDS:-30}
# The target writes its files per input; a memory file system is ~10x faster.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
build=build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTQV_FUZZ=ON -DTQV_SANITIZE=ON \
  -DTQV_WERROR=OFF -DTQV_GUI=OFF -DTQV_BENCH=OFF >/dev/null

targets=()
for source in tests/fuzz/*_fuzz.cpp; do
  [ -f "$source" ] || continue
  targets+=("$(basename "$source" .cpp)")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets" >&2; exit 0; }
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$build/artifacts"
status=0
for target in "${targets[@]}"; do
  seeds="tests/fuzz/corpus_${target%_fuzz}"
  scratch="$build/corpus-work/${target%_fuzz}"
  mkdir -p "$scratch"
  dirs=("$scratch")
  [ -d "$seeds" ] && dirs+=("$seeds")
  echo "-- $target: ${seconds}s from $seeds" >&2
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=20 \
      -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/${target}-" \
      "${dirs[@]}" 2>"$build/$target.log"; then
    tail -n 60 "$build/$target.log" >&2
    echo "$target found a failure; reproducer in $build/artifacts/" >&2
    status=1
  else
    grep -E "^(stat::number_of_executed_units|Done)" "$build/$target.log" >&2 || true
  fi
done
exit $status
