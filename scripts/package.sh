#!/usr/bin/env bash
# Builds the designer and the print command and packs them, with the desktop entry, the icon
# and the user guide, into a Debian package (build/kassotyp_<version>_<arch>.deb).
# Install it with: sudo apt install ./build/kassotyp_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Moc looks at the source folders again: a header added beside the globbed sources is found.
find build -path '*_autogen/timestamp' -delete 2>/dev/null || true
cmake --build build --target kassotyp kassotyp-print
(cd build && cpack -G DEB)
ls -l build/kassotyp_*.deb
