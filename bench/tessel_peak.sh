#!/bin/sh
# Peak memory of `tessel grid`, and of `tessel run` on a session that sets
# the property and on one that sets it and gets it back into a file, on a
# table of ROWS realistic records, against the size of the grid the table
# fills (elements x sizeof(VARIANT) plus every string's block, as
# tessel_sample reports it). Fails when the peak of `tessel grid` or of the
# set session is above twice the grid. The round trip is reported only: the
# chart stand-in keeps its own copy of what it is given, as a chart does, so
# while the put copies the grid two grids and the lent table are alive.
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
printf 'version 310\nattach\nset %s table.txt\n' "$property" > "$work/set.session"
printf 'version 310\nattach\nset %s table.txt\nget %s back.txt\n' "$property" "$property" > "$work/roundtrip.session"

# Peak resident memory in bytes of the command given, its output discarded.
peak() {
  /usr/bin/time -f '%M' -o "$work/time" "$@" > /dev/null
  echo $(( $(cat "$work/time") * 1024 ))
}

status=0
for what in grid set roundtrip; do
  if [ "$what" = grid ]; then
    bytes=$(peak "$build/tools/tessel" grid "$property" "$table")
  else
    bytes=$(peak "$build/tools/tessel" run "$work/$what.session" --trace "$work/trace.jsonl")
  fi
  ratio=$(awk -v p="$bytes" -v g="$grid" 'BEGIN { printf "%.2f", p / g }')
  verdict=ok
  if [ "$what" = roundtrip ]; then verdict='reported only'
  elif awk -v p="$bytes" -v g="$grid" 'BEGIN { exit !(p > 2 * g) }'; then verdict='ABOVE TWICE THE GRID'; status=1; fi
  echo "tessel $what $property $rows rows: peak $bytes bytes, grid $grid bytes, ratio $ratio ($verdict)"
done
exit $status
