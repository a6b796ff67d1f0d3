#!/usr/bin/env bash
# Installs the Debian packages this project builds and runs with. Safe to run again:
# it does nothing (and prints nothing) when everything is already there. Further package names
# given as arguments are installed as well (the CI checks bring their own tools this way).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-qpa-plugins
  libgl-dev fonts-dejavu-core file qt6-translations-l10n
  libcups2-dev libzint-dev libpq-dev libsqlite3-dev libdeflate-dev libfontconfig-dev
  # what the output tests print through: a CUPS daemon with a PDF queue, pty pairs, PDF reading,
  # and what reads the printed QR codes back
  cups printer-driver-cups-pdf socat poppler-utils zbar-tools
  # what the package test checks the .deb with, and what makes the manual pages
  lintian help2man appstream desktop-file-utils devscripts
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
