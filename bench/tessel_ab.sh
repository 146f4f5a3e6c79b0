#!/bin/bash
# Interleaved A/B of `tessel grid` and `tessel run` (a session that sets the
# table, with --trace) on one table of ROWS realistic records, over several
# builds of tessel: each round runs every build once, in a rotated order, so
# that the machine's load falls on all of them alike. One line per run:
#   BUILD COMMAND wall_s cpu_s peak_kib
# then, per build and command, the median CPU and wall time and the ratios
# to the first build's.
# Usage: bench/tessel_ab.sh ROUNDS PROPERTY ROWS SAMPLE_BUILD BUILD...
#   e.g. bench/tessel_ab.sh 5 Objectives 1000000 build-rel build-rel build-noslab
# (SAMPLE_BUILD configured with -DTESSEL_BENCH=ON, for tessel_sample)
set -euo pipefail
rounds=$1 property=$2 rows=$3 sample=$4
shift 4
builds=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$sample/bench/tessel_sample" "$property" "$rows" "$work/table.txt" > /dev/null
printf 'version 310\nattach\nset %s table.txt\n' "$property" > "$work/set.session"
n=${#builds[@]}
for round in $(seq 1 "$rounds"); do
  for i in $(seq 0 $((n - 1))); do
    b=${builds[$(((i + round) % n))]}
    /usr/bin/time -f "$b grid %e %U %S %M" -o "$work/t" "$b/tools/tessel" grid "$property" "$work/table.txt" > /dev/null
    awk '{ print $1, $2, $3, $4 + $5, $6 }' "$work/t" | tee -a "$work/runs"
    /usr/bin/time -f "$b run %e %U %S %M" -o "$work/t" "$b/tools/tessel" run "$work/set.session" --trace "$work/trace.jsonl" > /dev/null
    awk '{ print $1, $2, $3, $4 + $5, $6 }' "$work/t" | tee -a "$work/runs"
  done
done
python3 - "$work/runs" "${builds[0]}" <<'PY'
import collections, statistics, sys
runs = collections.defaultdict(list)
for line in open(sys.argv[1]):
    build, command, wall, cpu, peak = line.split()
    runs[(build, command)].append((float(wall), float(cpu), int(peak)))
first = sys.argv[2]
for (build, command), r in runs.items():
    med = lambda k: statistics.median(x[k] for x in r)
    base = runs[(first, command)]
    ratio = lambda k: med(k) / statistics.median(x[k] for x in base)
    print(f"{build} {command}: cpu {med(1):.2f} s ({ratio(1):.2f}x), wall {med(0):.2f} s ({ratio(0):.2f}x), "
          f"peak {max(x[2] for x in r) // 1024} MiB")
PY
