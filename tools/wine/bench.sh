#!/usr/bin/env bash
# Runs the module benchmark (tessel_module_bench.exe, bench/module) under
# Wine in a fresh prefix and prints, after its JSON lines, each benchmark's
# ratio to its floor.
#
#   tools/wine/bench.sh <build-dir>              a short slice, as CI runs it
#   tools/wine/bench.sh <build-dir> --full ...   any of the program's options
#
# The slice is one fill and one write-back beside their floors, a tree fill
# and the blob beside memcpy, at 10^4 rows and 1 MiB, with short runs: it
# proves the benchmark runs, not how fast the module is (bench/README.md).
set -euo pipefail
build=${1:?usage: $0 <build-dir> [tessel_module_bench options]}
shift
program=$build/tessel_module_bench.exe
[ -f "$program" ] || { echo "no $program: build $build first" >&2; exit 2; }
if [ $# -eq 0 ]; then
  set -- --runs 2 --min-run-ms 50 \
    --filter '^(Floor/)?(Fill|WriteBack)/Objectives/310/|^Fill/MeasureData/310/10000/group10$|/1MiB$'
fi
source "$(dirname "$0")/prefix.sh"

out=$(mktemp)
trap 'rm -f "$out"; wine_prefix_remove' EXIT
status=0
wine "$program" "$@" | tr -d '\r' | tee "$out" || status=$?
[ "$status" -eq 0 ] || { echo "tessel_module_bench exited $status" >&2; exit "$status"; }
[ -s "$out" ] || { echo "tessel_module_bench printed nothing" >&2; exit 1; }
# name -> ns_per_row; each benchmark beside its floor.
awk -F'"' '
  { name = $4; split($0, parts, /"ns_per_row": /); sub(/[,}].*/, "", parts[2]); ns[name] = parts[2]; order[++n] = name }
  END {
    for (i = 1; i <= n; ++i) {
      name = order[i]
      if (name ~ /^Floor\//) continue
      floor = "Floor/" name
      if (name ~ /^(Fill|WriteBack)\/Blob\//) { floor = name; sub(/^(Fill|WriteBack)\/Blob\/310\//, "Floor/Memcpy/", floor) }
      if (floor in ns && ns[floor] > 0) printf "%-44s %10.1f ns/row  %5.2f x %s\n", name, ns[name], ns[name] / ns[floor], floor
      else printf "%-44s %10.1f ns/row\n", name, ns[name]
    }
  }' "$out"
