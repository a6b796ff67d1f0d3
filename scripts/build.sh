#!/usr/bin/env bash
# Installs what the project needs, configures the build folder and builds the targets given as
# arguments (everything when none is given). The other scripts start with it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -eq 0 ]; then
  cmake --build build
else
  cmake --build build --target "$@"
fi
