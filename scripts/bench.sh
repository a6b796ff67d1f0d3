#!/usr/bin/env bash
# Builds the benchmark program and prints its table of figures against their baselines.
#
#   scripts/bench.sh [--runs=N] [--only=PARTS] [--store=sqlite|pg]
#
# Without --store the figures are taken on SQLite, and on PostgreSQL as well when
# KASSOTYP_TEST_PG names a server. --store=pg starts the private server of scripts/pg-server.sh
# when KASSOTYP_TEST_PG is not set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh kassotyp kassotyp-bench bench-bare-dialog kassotyp-print
for arg in "$@"; do
  if [ "$arg" = --store=pg ] && [ -z "${KASSOTYP_TEST_PG:-}" ]; then
    KASSOTYP_TEST_PG="$(scripts/pg-server.sh)"
    export KASSOTYP_TEST_PG
  fi
done
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false" build/bench/kassotyp-bench "$@"
