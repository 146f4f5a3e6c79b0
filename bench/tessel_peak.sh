#!/bin/sh
# Peak memory of `tessel grid` and `tessel run` on a table of ROWS realistic
# records, against the size of the grid the table fills (elements x
# sizeof(VARIANT) plus every string's block, as tessel_sample reports it).
# Fails when either peak is above twice the grid.
# Usage: bench/tessel_peak.sh BUILD_DIR [PROPERTY [ROWS]]
#   e.g. bench/tessel_peak.sh build Objectives 1000000
# (BUILD_DIR configured with -DTESSEL_BENCH=ON; builds nothing itself)
set -e
build=$1
property=${2:-Objectives}
rows=${3:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
table="$work/table.txt"
grid=$("$build/bench/tessel_sample" "$property" "$rows" "$table")
printf 'version 310\nattach\nset %s table.txt\n' "$property" > "$work/big.session"

# Peak resident memory in bytes of the command given, its output discarded.
peak() {
  /usr/bin/time -f '%M' -o "$work/time" "$@" > /dev/null
  echo $(( $(cat "$work/time") * 1024 ))
}

status=0
for what in grid run; do
  if [ "$what" = grid ]; then
    bytes=$(peak "$build/tools/tessel" grid "$property" "$table")
  else
    bytes=$(peak "$build/tools/tessel" run "$work/big.session" --trace "$work/trace.jsonl")
  fi
  ratio=$(awk -v p="$bytes" -v g="$grid" 'BEGIN { printf "%.2f", p / g }')
  verdict=ok
  if awk -v p="$bytes" -v g="$grid" 'BEGIN { exit !(p > 2 * g) }'; then verdict='ABOVE TWICE THE GRID'; status=1; fi
  echo "tessel $what $property $rows rows: peak $bytes bytes, grid $grid bytes, ratio $ratio ($verdict)"
done
exit $status
