#!/bin/sh
# Builds the Debian package from a build folder, unpacks it into a scratch root with dpkg -x and
# runs the installed programs from there on the system's Qt libraries.
# Usage: check-package.sh BUILD_FOLDER
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
deb=$(ls "$work"/out/kassotyp_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
echo "Suggests: $(dpkg-deb --field "$deb" Suggests)"
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6printsupport6 \
         libqt6sql6-sqlite qt6-qpa-plugins libzint2.11 libqt6serialport6 libcups2; do
  echo "$depends" | grep -Eq "(^|, )$p( |,|$)" || fail "Depends lacks $p"
done
dpkg-deb --field "$deb" Suggests | grep -q libqt6sql6-psql || fail "Suggests lacks libqt6sql6-psql"

root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/kassotyp usr/bin/kassotyp-print usr/share/applications/kassotyp.desktop \
         usr/share/icons/hicolor/scalable/apps/kassotyp.svg \
         usr/share/icons/hicolor/256x256/apps/kassotyp.png usr/share/doc/kassotyp/user-guide.md; do
  [ -f "$root/$f" ] || fail "$f is not in the package"
done
unexpected=$(cd "$root" && find . -type f \( -name 'tst_*' -o -name '*bench*' -o -name '*fuzz*' \
                                            -o -name '*.a' -o -name '*.h' \))
[ -z "$unexpected" ] || fail "the package holds files of the build: $unexpected"
grep -qx 'Exec=kassotyp' "$root/usr/share/applications/kassotyp.desktop" || fail "desktop Exec"
grep -qx 'Icon=kassotyp' "$root/usr/share/applications/kassotyp.desktop" || fail "desktop Icon"

# Without a display and without a chosen platform: help and version need neither.
version=$(dpkg-deb --field "$deb" Version)
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"
}
run "$root/usr/bin/kassotyp-print" --help >"$work/help.txt" 2>"$work/help.err" \
  || { cat "$work/help.err" >&2; fail "kassotyp-print --help failed"; }
for part in 'Aufruf: kassotyp-print' '--type=T' '--format=F' '--store=ORT' '--workstation=N' \
            'postgresql://' '[store]' 'location=ORT' '[computer]' 'kassotyp.ini'; do
  grep -qF -- "$part" "$work/help.txt" || fail "kassotyp-print --help does not mention $part"
done
[ "$(run "$root/usr/bin/kassotyp-print" --version)" = "kassotyp-print $version" ] \
  || fail "kassotyp-print --version is not $version"
[ "$(run "$root/usr/bin/kassotyp" --version)" = "kassotyp $version" ] \
  || fail "kassotyp --version is not $version"
run "$root/usr/bin/kassotyp" --help | grep -q '^  S ' || fail "kassotyp --help lacks the start modes"
echo "kassotyp-print --help and both --version ran from the unpacked package"
