#!/bin/sh
# Instructions per row of every benchmark the filter selects, from one
# callgrind run: each benchmark dumps its own counts (see Measure.h), and
# each count is divided by the benchmark's rows (the number ending its name)
# and its two iterations.
# Usage: bench/callgrind_counts.sh build/bench/tessel_bench "/10000/"
# (under valgrind every name ends in /iterations:2, so a filter ends in "/").
set -e
bench=$1
filter=${2:-/10000/}
out=$(mktemp -d)
valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg.out" \
  "$bench" --benchmark_filter="$filter" > /dev/null 2> "$out/log"
for f in "$out"/cg.out.*; do
  name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
  total=$(sed -n 's/^summary: //p' "$f")
  rows=${name##*/}
  case $rows in *[!0-9]*) rows=1 ;; esac
  echo "$name $total $((total / rows / 2))"
done | sort
rm -rf "$out"
