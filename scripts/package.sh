#!/usr/bin/env bash
# Builds the programs and packs them, with their manual pages, the desktop entry, the icon
# and the user guide, into a Debian package (build/kassotyp_<version>_<arch>.deb).
# Install it with: sudo apt install ./build/kassotyp_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh programs
(cd build && cpack -G DEB)
ls -l build/kassotyp_*.deb
