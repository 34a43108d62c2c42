#!/usr/bin/env bash
# Imports generated PTS files of 1,000,000 and 4,000,000 points into project files and compares
# the peak resident memory of the two runs: a streaming import stays flat.
# Last line: memory: peak1M=<MiB> peak4M=<MiB> ratio=<peak4M/peak1M>
set -euo pipefail
BENCH_BIN="${BENCH_BIN:-$(cd "$(dirname "$0")/../.." && pwd)/build-release/bin}"
tool="$BENCH_BIN/memory_bench"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }

declare -A peak
for n in 1000000 4000000; do
    "$tool" generate pts "$n" "$work/points.pts"
    out=$("$tool" import pts "$work/points.pts" "$work/project.kavro")
    stored=$(field points "$out")
    [ "$stored" = "$n" ] || { echo "memory: the import stored $stored of $n points" >&2; exit 1; }
    peak[$n]=$(awk -v k="$(field peak_kib "$out")" 'BEGIN { printf "%.1f", k / 1024 }')
    echo "  $n points: $(field seconds "$out") s, peak ${peak[$n]} MiB"
    rm -f "$work/project.kavro"* "$work/points.pts"
done
ratio=$(awk -v a="${peak[4000000]}" -v b="${peak[1000000]}" 'BEGIN { printf "%.3f", a / b }')
echo "memory: peak1M=${peak[1000000]} peak4M=${peak[4000000]} ratio=$ratio"
