#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each one for SECONDS seconds (default
# 45) from its corpus. New inputs go to a scratch folder, not into the
# repository; a crash, a leak or a sanitizer report leaves its input there
# and makes the script fail.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
shift || true
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSEL_FUZZ=ON -DTESSEL_SANITIZE=ON -DTESSEL_TESTS=OFF >/dev/null
cmake --build "$build" -j2

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//'))
scratch=$(mktemp -d)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for target in "${targets[@]}"; do
  what=${target#fuzz_}
  mkdir -p "$scratch/$what"
  echo "-- $target: ${seconds} s"
  if ! (cd "$scratch/$what" && "$OLDPWD/$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=4096 \
          -timeout=10 "$scratch/$what" "$OLDPWD/fuzz/corpus/$what" >log 2>&1); then
    echo "!! $target found a fault: see $scratch/$what/log and the crash-* input there"
    tail -n 40 "$scratch/$what/log"
    failed=1
  else
    grep -E "^#[0-9]+.*DONE" "$scratch/$what/log" || tail -n 1 "$scratch/$what/log"
  fi
done
[ $failed -eq 0 ] && rm -rf "$scratch"
exit $failed
