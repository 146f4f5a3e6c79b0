#!/usr/bin/env bash
# Endurance of the control module under Wine, in a fresh prefix: the soak
# (tessel_soak.exe, tests/endurance) for ROUNDS rounds, then the fuzz
# corpora of the record, tree, blob and write-back targets replayed through
# the module (tessel_replay_<target>.exe), each bounded in time.
#
#   tools/wine/endurance.sh <build-dir> [ROUNDS [kept|fresh]]     (default 300)
#
# kept or fresh: the soak runs that control only (tessel_soak.exe).
#
# The stand-ins module is registered first: the control asks the host
# environment it serves for the font. Exits non-zero when any program does.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:?usage: $0 <build-dir> [rounds [kept|fresh]]}
rounds=${2:-300}
controls=(${3:+"$3"})
for program in tessel_soak tessel_replay_record_fill tessel_replay_tree_fill tessel_replay_blob_fill \
               tessel_replay_write_back; do
  [ -f "$build/$program.exe" ] || { echo "no $build/$program.exe: build $build first" >&2; exit 2; }
done
source tools/wine/prefix.sh

failed=0
run() {
  local name=$1 limit=$2 start=$SECONDS status
  shift 2
  timeout "$limit" wine "$@" 2>&1 | tr -d '\r'
  status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || failed=$((failed + 1))
  printf '%-28s exit %d  %3d s\n' "$name" "$status" $((SECONDS - start))
}

wine regsvr32 /s "$(winepath -w "$build/TesselStandIns.dll" | tr -d '\r')" >/dev/null 2>&1 ||
  { echo "the stand-ins module did not register" >&2; exit 1; }
examples=$(winepath -w examples | tr -d '\r')
# A round takes a few milliseconds; 10^4 rounds about a minute.
run tessel_soak $((120 + rounds / 20)) "$build/tessel_soak.exe" "$rounds" "$examples" "${controls[@]}"
for target in record_fill tree_fill blob_fill write_back; do
  run "tessel_replay_$target" 120 "$build/tessel_replay_$target.exe" "$(winepath -w "fuzz/corpus/$target" | tr -d '\r')"
done
echo "$failed programs failed"
[ "$failed" -eq 0 ]
