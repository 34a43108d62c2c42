#!/usr/bin/env bash
# Imports comma tables and SDR files of 1,000,000 and 4,000,000 rows through the text and SDR
# wizards (offscreen, driven in-process on the host stand-in) and opens the text imports'
# projects in the host window. Each wizard import's peak memory above the idle wizard's must stay
# within 3x the file's size; the host window's first paint of the larger project within 2x that
# of the smaller, and its memory above the idle window's must not grow with the object count.
# ROWS overrides the two row counts ("1000000 4000000").
# Last lines: scale: text ..., scale: sdr ..., scale: host ..., then scale: ok (or over).
set -euo pipefail
BENCH_BIN="${BENCH_BIN:-$(cd "$(dirname "$0")/../.." && pwd)/build-release/bin}"
read -r -a counts <<<"${ROWS:-1000000 4000000}"
small="${counts[0]}"; large="${counts[1]}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export TEXTIMPORT_REGISTRY="$work/registry.reg"
# Each step is bounded: the machine is shared.
limit=900

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
div() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

verdict=ok
declare -A above size paint host
for n in "$small" "$large"; do
    "$BENCH_BIN/scale_bench" generate "$n" "$work/table.csv"
    "$BENCH_BIN/point_bench" generate sdr "$n" "$work/points.sdr" >/dev/null
    for kind in text sdr; do
        file="$work/table.csv"; [ "$kind" = sdr ] && file="$work/points.sdr"
        bytes=$(stat -c %s "$file")
        out=$(timeout "$limit" "$BENCH_BIN/scale_bench" "$kind" "$file" "$work/$kind.kavro")
        stored=$(field objects "$out")
        [ "$stored" = "$n" ] || { echo "scale: the $kind wizard stored $stored of $n" >&2; exit 1; }
        extra=$(( $(field peak_kib "$out") - $(field idle_kib "$out") ))
        above[$kind$n]=$extra
        size[$kind$n]=$bytes
        times=$(div "$((extra * 1024))" "$bytes")
        printf '  %-4s %8s rows: %6.1f MB file, %s s, idle %s MiB, peak %s MiB, above idle %s MiB = %sx the file\n' \
            "$kind" "$n" "$(div "$bytes" 1000000)" "$(field seconds "$out")" \
            "$(mib "$(field idle_kib "$out")")" "$(mib "$(field peak_kib "$out")")" \
            "$(mib "$extra")" "$times"
        awk -v t="$times" 'BEGIN { exit !(t > 3) }' && verdict=over
        [ "$kind" = sdr ] && rm -f "$work/sdr.kavro"*
    done
    # The window gets less time: a view that reads every object may take many minutes.
    if ! out=$(timeout "${HOST_LIMIT:-300}" "$BENCH_BIN/scale_bench" host "$work/text.kavro"); then
        echo "  host $n objects: no first paint within ${HOST_LIMIT:-300} s (or it failed)"
        verdict=over
        paint[$n]=0; host[$n]=0
        rm -f "$work/text.kavro"* "$work/table.csv" "$work/points.sdr"
        continue
    fi
    paint[$n]=$(field first_paint "$out")
    host[$n]=$(( $(field peak_kib "$out") - $(field idle_kib "$out") ))
    printf '  host %8s objects: first paint %s s, idle %s MiB, peak %s MiB, above idle %s MiB\n' \
        "$(field objects "$out")" "${paint[$n]}" "$(mib "$(field idle_kib "$out")")" \
        "$(mib "$(field peak_kib "$out")")" "$(mib "${host[$n]}")"
    rm -f "$work/text.kavro"* "$work/table.csv" "$work/points.sdr"
done
for kind in text sdr; do
    echo "scale: $kind above_idle_small=$(mib "${above[$kind$small]}") above_idle_large=$(mib "${above[$kind$large]}")" \
         "ratio=$(div "${above[$kind$large]}" "${above[$kind$small]}")" \
         "times_file_small=$(div "$((above[$kind$small] * 1024))" "${size[$kind$small]}")" \
         "times_file_large=$(div "$((above[$kind$large] * 1024))" "${size[$kind$large]}")"
done
paintRatio=$(div "${paint[$large]}" "${paint[$small]}")
memoryRatio=$(div "${host[$large]}" "${host[$small]}")
echo "scale: host first_paint_small=${paint[$small]} first_paint_large=${paint[$large]} ratio=$paintRatio" \
     "above_idle_small=$(mib "${host[$small]}") above_idle_large=$(mib "${host[$large]}") ratio=$memoryRatio"
awk -v p="$paintRatio" -v m="$memoryRatio" 'BEGIN { exit !(p > 2 || m > 1.25) }' && verdict=over
echo "scale: $verdict"
[ "$verdict" = ok ]
