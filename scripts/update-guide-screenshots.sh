#!/usr/bin/env bash
# Takes the pictures of the user guide again (tests/tst_userguide.cpp drives the windows
# offscreen) and copies them into docs/images, where docs/user-guide.md shows them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh tst_userguide
rm -rf build/screenshots
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^tst_userguide$')
names=(main-window header-editor full-screen-preview test-print item-editor presets
       general-settings paper-width printer-settings printer-drawer printer-display
       local-settings copy-settings history receipt-check)
mkdir -p docs/images
for name in "${names[@]}"; do
  cp "build/screenshots/$name.png" "docs/images/$name.png"
done
echo "Copied ${#names[@]} pictures into docs/images."
