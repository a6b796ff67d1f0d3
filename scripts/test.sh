#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless (Qt's offscreen platform).
# The servers it starts for the run (PostgreSQL, CUPS) are stopped again at the end; servers
# that were running before are left running.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
scripts/build.sh

stop_after=()
trap 'for s in "${stop_after[@]}"; do "$root/scripts/$s" stop || true; done' EXIT
# The store tests run a second time (the "-pg" tests) on a private PostgreSQL server.
if [ -z "${KASSOTYP_TEST_PG:-}" ]; then
  scripts/pg-server.sh status >/dev/null || stop_after+=(pg-server.sh)
  KASSOTYP_TEST_PG="$(scripts/pg-server.sh)"
  export KASSOTYP_TEST_PG
fi
# Prints go through a real CUPS server with a PDF queue, private to this build folder.
scripts/print-services.sh status || stop_after+=(print-services.sh)
print_services="$(scripts/print-services.sh)"
eval "export $print_services"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
