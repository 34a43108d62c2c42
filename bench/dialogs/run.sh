#!/usr/bin/env bash
# The dialog benchmark: filter steps of the coordinate system editor over the predefined systems
# of KavroGdal, offscreen. Called by bench/run with BENCH_BIN set.
set -euo pipefail
bin="${BENCH_BIN:?BENCH_BIN must name the release bin folder}"
# Last line: dialogs: filter_ms=<worst step>
QT_QPA_PLATFORM=offscreen "$bin/dialogs_bench" "$bin"
