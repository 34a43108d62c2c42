#!/usr/bin/env bash
# A 1,000,000-point PTS import run through the wizard (offscreen, driven in-process on the host
# stand-in) against the headless run of the same file into the same kind of project, each twice
# in turn; the better time of each counts.
# Last line: wizard: headless=<points/s> wizard=<points/s> ratio=<wizard/headless>
set -euo pipefail
BENCH_BIN="${BENCH_BIN:-$(cd "$(dirname "$0")/../.." && pwd)/build-release/bin}"
count="${POINTS:-1000000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }

"$BENCH_BIN/point_bench" generate pts "$count" "$work/points.pts"
echo "importing $count points: headless run and through the wizard, twice each"
headless=0
wizard=0
for round in 1 2; do
    out=$("$BENCH_BIN/point_bench" import pts "$work/points.pts" "$work/headless.kavro")
    n=$(field points "$out"); s=$(field seconds "$out")
    [ "$n" = "$count" ] || { echo "wizard: the headless run stored $n objects" >&2; exit 1; }
    r=$(rate "$n" "$s")
    printf '  round %s headless: %s s, %s points/s\n' "$round" "$s" "$r"
    headless=$(best "$headless" "$r")
    rm -f "$work/headless.kavro"*

    out=$("$BENCH_BIN/wizard_bench" "$work/points.pts" "$work/wizard.kavro")
    n=$(field points "$out"); s=$(field seconds "$out"); p=$(field preview "$out")
    [ "$n" = "$count" ] || { echo "wizard: the wizard's run stored $n objects" >&2; exit 1; }
    r=$(rate "$n" "$s")
    printf '  round %s wizard:   %s s, %s points/s   (preview at the file choice: %s s)\n' \
        "$round" "$s" "$r" "$p"
    wizard=$(best "$wizard" "$r")
    rm -f "$work/wizard.kavro"*
done
ratio=$(awk -v a="$wizard" -v b="$headless" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "wizard: headless=$headless wizard=$wizard ratio=$ratio"
