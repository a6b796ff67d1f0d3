#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless (Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# The store tests run a second time (the "-pg" tests) on a private PostgreSQL server.
export KASSOTYP_TEST_PG="${KASSOTYP_TEST_PG:-$(scripts/pg-server.sh)}"
# Prints go through a real CUPS server with a PDF queue, private to this build folder.
print_services="$(scripts/print-services.sh)"
eval "export $print_services"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
