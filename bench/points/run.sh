#!/usr/bin/env bash
# Reads and imports generated 1,000,000-point PTS, SDR and GSI files, beside wc -l on the same
# files and ogr2ogr importing the same points from CSV into a GeoPackage.
# Last line: points: pts=<points/s> sdr=<points/s> gsi=<points/s> ogr2ogr=<points/s>
#            ratio=<slower of pts and sdr/ogr2ogr> gsi/sdr=<ratio>
set -euo pipefail
BENCH_BIN="${BENCH_BIN:-$(cd "$(dirname "$0")/../.." && pwd)/build-release/bin}"
tool="$BENCH_BIN/point_bench"
count="${POINTS:-1000000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }
mbs() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.1f", (s > 0 ? b / 1048576 / s : 0) }'; }

"$tool" generate pts "$count" "$work/points.pts"
"$tool" generate sdr "$count" "$work/points.sdr"
"$tool" generate gsi "$count" "$work/points.gsi"
"$tool" generate csv "$count" "$work/points.csv"

echo "reading $count points"
for kind in pts sdr gsi; do
    file="$work/points.$kind"
    bytes=$(stat -c %s "$file")
    out=$("$tool" read "$kind" "$file")
    n=$(field points "$out"); s=$(field seconds "$out")
    [ "$n" = "$count" ] || { echo "points: $kind reader gave $n points" >&2; exit 1; }
    t0=$(now); wc -l "$file" >/dev/null; t1=$(now)
    ws=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    printf '  %s: %s s, %s points/s, %s MB/s   (wc -l: %.3f s, %s MB/s)\n' \
        "$kind" "$s" "$(rate "$n" "$s")" "$(mbs "$bytes" "$s")" "$ws" "$(mbs "$bytes" "$ws")"
done

echo "importing $count points into a project file"
declare -A import_rate
for kind in pts sdr gsi; do
    out=$("$tool" import "$kind" "$work/points.$kind" "$work/$kind.kavro")
    n=$(field points "$out"); s=$(field seconds "$out")
    [ "$n" = "$count" ] || { echo "points: $kind import stored $n objects" >&2; exit 1; }
    import_rate[$kind]=$(rate "$n" "$s")
    printf '  %s run: %s s, %s points/s\n' "$kind" "$s" "${import_rate[$kind]}"
    rm -f "$work/$kind.kavro"*
done

t0=$(now)
ogr2ogr -f GPKG "$work/points.gpkg" "$work/points.csv" -nln points \
    -oo X_POSSIBLE_NAMES=x -oo Y_POSSIBLE_NAMES=y -oo KEEP_GEOM_COLUMNS=NO
t1=$(now)
os=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
ogr_rate=$(rate "$count" "$os")
printf '  ogr2ogr -f GPKG from CSV: %.3f s, %s points/s\n' "$os" "$ogr_rate"

slower=${import_rate[pts]}
[ "${import_rate[sdr]}" -lt "$slower" ] && slower=${import_rate[sdr]}
ratio=$(awk -v a="$slower" -v b="$ogr_rate" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
gsi_sdr=$(awk -v a="${import_rate[gsi]}" -v b="${import_rate[sdr]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "points: pts=${import_rate[pts]} sdr=${import_rate[sdr]} gsi=${import_rate[gsi]} ogr2ogr=$ogr_rate ratio=$ratio gsi/sdr=$gsi_sdr"
