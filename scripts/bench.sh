#!/usr/bin/env bash
# Builds the benchmark program and prints its table of figures against their baselines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Moc looks at the source folders again: a header added beside the globbed sources is found.
find build -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build build --target kassotyp kassotyp-bench bench-bare-dialog kassotyp-print
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false" build/bench/kassotyp-bench "$@"
