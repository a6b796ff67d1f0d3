#!/usr/bin/env bash
# Makes the manual pages of the installed programs from their --help and --version with
# help2man. The programs are the ones cmake/Packaging.cmake lists in KASSOTYP_PROGRAMS.
#
#   scripts/update-man-pages.sh              builds the programs, rewrites packaging/man/*.1
#   scripts/update-man-pages.sh BUILD OUT    writes the pages of the programs built in the
#                                            folder BUILD into the folder OUT (the package test)
#
# The pages carry the date of the newest entry of packaging/changelog, not today's, so that
# the same version always gives the same pages.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
  scripts/build.sh programs
  build=build
  out=packaging/man
elif [ $# -eq 2 ]; then
  build=$1
  out=$2
else
  echo "usage: $0 [BUILD_FOLDER OUTPUT_FOLDER]" >&2
  exit 2
fi

# The NAME line of each page; a program without one here gets a general line.
name_line() {
  case "$1" in
    kassotyp) echo "gestaltet die Kassenbelege der Bondrucker, mit Vorschau und Testdruck" ;;
    kassotyp-print) echo "Testdrucke der Kassenbelege ohne Fenster als PDF, PNG oder ESC/POS" ;;
    kassotyp-admin) echo "Export, Import, Sicherung und Pruefung des Datenspeichers" ;;
    *) echo "Programm des Kassotyps" ;;
  esac
}

list="$build/packaging/programs.txt"
[ -f "$list" ] || { echo "$list is missing: configure the build folder first" >&2; exit 1; }
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
while read -r path; do
  program=$(basename "$path")
  if [ ! -x "$path" ]; then
    echo "$program is not built ($path): no manual page made" >&2
    continue
  fi
  # help2man runs the program through this wrapper. Neither --help nor --version needs a
  # display. The defaults the help names come out as "~/.config/..." and "$USER", not as
  # this machine's. The German "Aufruf:" block becomes the synopsis: help2man reads it as a
  # "Usage:" block with one call a line, further calls after "or:".
  cat >"$scratch/$program" <<WRAPPER
#!/bin/sh
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
    -u USERNAME HOME='~' USER='\$USER' LC_ALL=C.UTF-8 "$path" "\$@" | awk '
  NR == 1 && sub(/^Aufruf:/, "Usage:") { usage = 1; line = \$0; next }
  usage && \$0 == "" { print line; print; usage = 0; next }
  usage && /^       [^ ]/ { print line; sub(/^ +/, ""); line = "   or: " \$0; next }
  usage { sub(/^ +/, ""); line = line " " \$0; next }
  { print }'
WRAPPER
  chmod +x "$scratch/$program"
  help2man --no-info --section=1 --locale=C.UTF-8 --name="$(name_line "$program")" \
    --manual="Kassotyp-Handbuch" --source="Kassotyp $version" \
    --output="$out/$program.1" "$scratch/$program"
  echo "$out/$program.1"
done <"$list"
