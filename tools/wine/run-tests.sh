#!/usr/bin/env bash
# Runs every Windows test program of a cross build (configured with
# -DTESSEL_WINDOWS_TESTS=ON) under Wine, one line per program with the tests
# run and failed; exits non-zero when any program fails.
#
#   tools/wine/run-tests.sh <build-dir> [gtest options, e.g. --gtest_filter=...]
set -uo pipefail
build=${1:?usage: $0 <build-dir> [gtest options]}
shift
mapfile -t programs < <(find "$build/tests" -maxdepth 1 -name '*_tests.exe' | sort)
if [ ${#programs[@]} -eq 0 ]; then
  echo "no test programs under $build/tests (configure with -DTESSEL_WINDOWS_TESTS=ON)" >&2
  exit 2
fi
source "$(dirname "$0")/prefix.sh"

failed_programs=0
for program in "${programs[@]}"; do
  name=$(basename "$program" .exe)
  log=$(mktemp)
  start=$SECONDS
  # Wine writes CRLF line ends.
  wine "$program" --gtest_brief=1 "$@" 2>&1 | tr -d '\r' >"$log"
  status=${PIPESTATUS[0]}
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log")
  # One line per failed test, with its time.
  failures=$(grep -c '^\[  FAILED  \] .* ([0-9]* ms)$' "$log")
  if [ "$status" -ne 0 ]; then
    failed_programs=$((failed_programs + 1))
    cat "$log"
  fi
  printf '%-28s run %4s  failed %3s  exit %d  %3d s\n' "$name" "${ran:-?}" "$failures" "$status" \
    $((SECONDS - start))
  rm -f "$log"
done
echo "${#programs[@]} programs, $failed_programs failed"
[ "$failed_programs" -eq 0 ]
