#!/usr/bin/env bash
# Builds the benchmark program and prints its table of figures against their baselines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh kassotyp kassotyp-bench bench-bare-dialog kassotyp-print
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false" build/bench/kassotyp-bench "$@"
