#!/usr/bin/env bash
# Text import benchmark: TTextReader beside wc -l, TCSVData::Parse, and a one-object-per-row
# import into a project file beside ogr2ogr writing the same rows as GeoPackage points.
# BENCH_BIN points at the Release bin folder; ROWS overrides the row count.
set -euo pipefail
bin="${BENCH_BIN:?BENCH_BIN must name the folder with text_bench}"
rows="${ROWS:-1000000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
rate() { awk -v n="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%.0f", n / (b - a) }'; }

table="$work/table.csv"
"$bin/text_bench" generate "$table" "$rows"
size=$(stat -c %s "$table")
echo "text: file=$((size / 1000000)) MB rows=$rows"

"$bin/text_bench" reader "$table"
t0=$(now); wc_lines=$(wc -l < "$table"); t1=$(now)
echo "wc -l: lines=$wc_lines lines_per_s=$(rate "$wc_lines" "$t0" "$t1")" \
     "mb_per_s=$(awk -v s="$size" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", s / 1e6 / (b - a) }')"

"$bin/text_bench" csv "$table"

# ogr2ogr reads CSV as UTF-8: give it the same rows converted beforehand (not timed).
utf8="$work/table_utf8.csv"
iconv -f CP1251 -t UTF-8 "$table" > "$utf8"

ours_out=$("$bin/text_bench" run "$table" "$work/project.kavro")
echo "$ours_out"
ours=$(sed -n 's/.*points_per_s=\([0-9]*\).*/\1/p' <<< "$ours_out")

t0=$(now)
ogr2ogr -f GPKG "$work/points.gpkg" "$utf8" -nln points \
    -oo X_POSSIBLE_NAMES=x -oo Y_POSSIBLE_NAMES=y \
    -oo AUTODETECT_TYPE=YES -oo KEEP_GEOM_COLUMNS=NO
t1=$(now)
ogr=$(rate "$rows" "$t0" "$t1")
echo "ogr2ogr: points=$rows seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }') points_per_s=$ogr"

echo "text: ours=$ours ogr2ogr=$ogr ratio=$(awk -v a="$ours" -v b="$ogr" 'BEGIN { printf "%.2f", a / b }')"
