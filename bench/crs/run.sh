#!/usr/bin/env bash
# The coordinate conversion benchmark: 1,000,000 points through the import transformation
# (method 1, KavroGdal) beside proj_trans and cs2cs. Called by bench/run with BENCH_BIN set.
set -euo pipefail
bin="${BENCH_BIN:?BENCH_BIN must name the release bin folder}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$bin/crs_bench" "$bin" --write-points "$work/points.txt"
start=$(date +%s.%N)
cs2cs -f %.6f EPSG:4326 EPSG:32637 < "$work/points.txt" > "$work/out.txt"
end=$(date +%s.%N)
lines=$(wc -l < "$work/out.txt")
awk -v n="$lines" -v s="$start" -v e="$end" \
    'BEGIN { printf "crs: cs2cs %d points in %.3f s (%.0f points/s, text in and out)\n", n, e - s, n / (e - s) }'
# Last line: crs: ours=<points/s> proj_trans=<points/s> ratio=<ours/proj_trans>
"$bin/crs_bench" "$bin"
