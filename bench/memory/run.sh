#!/usr/bin/env bash
# Imports generated PTS files of 1,000,000 and 4,000,000 points into project files and compares
# the peak resident memory of the two runs: a streaming import stays flat.
# The host stand-in gives SQLite a page cache of up to 256 MiB, which alone fills up with the
# database and so grows between these two sizes. The runs are therefore made twice: as they
# are (shown for information) and with SQLite's heap held below 64 MiB, where the peak shows
# what grows with the file. The last line reports the second pair.
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
    for limit in none 64; do
        if [ "$limit" = none ]; then
            out=$(env -u TI_SQLITE_HEAP_LIMIT_MIB "$tool" import pts "$work/points.pts" "$work/project.kavro")
        else
            out=$(TI_SQLITE_HEAP_LIMIT_MIB=$limit "$tool" import pts "$work/points.pts" "$work/project.kavro")
        fi
        stored=$(field points "$out")
        [ "$stored" = "$n" ] || { echo "memory: the import stored $stored of $n points" >&2; exit 1; }
        mib=$(awk -v k="$(field peak_kib "$out")" 'BEGIN { printf "%.1f", k / 1024 }')
        peak[$n,$limit]=$mib
        echo "  $n points, SQLite heap limit $limit: $(field seconds "$out") s, peak $mib MiB"
        rm -f "$work/project.kavro"*
    done
    rm -f "$work/points.pts"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
echo "  without a limit: peak1M=${peak[1000000,none]} peak4M=${peak[4000000,none]}" \
     "ratio=$(ratio "${peak[4000000,none]}" "${peak[1000000,none]}") (the host's page cache)"
echo "memory: peak1M=${peak[1000000,64]} peak4M=${peak[4000000,64]}" \
     "ratio=$(ratio "${peak[4000000,64]}" "${peak[1000000,64]}")"
