#!/bin/sh
# Builds the Debian package from a build folder, checks it with lintian, unpacks it into a
# scratch root with dpkg -x and runs the installed programs from there on the system's Qt
# libraries. Checks the manual pages against their sources, the AppStream metadata, the
# changelog and the hardening of the programs.
# Usage: check-package.sh BUILD_FOLDER [hardened|plain]
#   hardened (the default) also checks that the programs are built with Debian's hardening.
set -eu
build=$(cd "$1" && pwd)
hardening=${2:-hardened}
source=$(cd "$(dirname "$0")/.." && pwd)
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
         libqt6sql6-sqlite qt6-qpa-plugins libzint2.11 libdeflate0 libcups2; do
  echo "$depends" | grep -Eq "(^|, )$p( |,|$)" || fail "Depends lacks $p"
done
dpkg-deb --field "$deb" Suggests | grep -q libqt6sql6-psql || fail "Suggests lacks libqt6sql6-psql"

# Tags go to standard output; lintian's remark about running as root goes to standard error.
if ! lintian --info --display-info --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1; then
  cat "$work/lintian.txt" >&2
  fail "lintian reports errors or warnings"
fi
echo "lintian: no error, no warning"
grep -E '^[IP]: ' "$work/lintian.txt" || true

root="$work/root"
dpkg -x "$deb" "$root"
metainfo=usr/share/metainfo/org.example.kassotyp.metainfo.xml
for f in usr/share/applications/kassotyp.desktop \
         usr/share/icons/hicolor/scalable/apps/kassotyp.svg \
         usr/share/icons/hicolor/256x256/apps/kassotyp.png usr/share/doc/kassotyp/user-guide.md \
         usr/share/doc/kassotyp/copyright usr/share/doc/kassotyp/changelog.gz "$metainfo"; do
  [ -f "$root/$f" ] || fail "$f is not in the package"
done

# Every program of the build's list is installed, hardened, and has its manual page, which is
# what help2man makes of the program now.
pages="$work/man"
"$source/scripts/update-man-pages.sh" "$build" "$pages" >/dev/null
programs=$(sed 's|.*/||' "$build/packaging/programs.txt")
for program in kassotyp kassotyp-print kassotyp-admin; do
  echo "$programs" | grep -qx "$program" || fail "$program is not in the build's program list"
done
for program in $programs; do
  binary="$root/usr/bin/$program"
  [ -f "$binary" ] || fail "usr/bin/$program is not in the package"
  cmp -s "$pages/$program.1" "$source/packaging/man/$program.1" \
    || fail "packaging/man/$program.1 is not what --help says now: run scripts/update-man-pages.sh"
  page="usr/share/man/man1/$program.1.gz"
  [ -f "$root/$page" ] || fail "$page is not in the package"
  zcat "$root/$page" | cmp -s - "$source/packaging/man/$program.1" || fail "$page is out of date"
  # CUPS, libpq and Qt's network library bring TLS, Kerberos and LDAP with them; Qt's print
  # support, libzint and libdeflate cost every start time for what few runs use: loaded when
  # first needed.
  eager=$(readelf -d "$binary" \
          | grep -oE 'lib(cups|pq|zint|deflate|Qt6Network|Qt6SerialPort|Qt6PrintSupport)\.so[.0-9]*' \
          || true)
  [ -z "$eager" ] || fail "$program loads $eager at every start"
  [ "$hardening" = hardened ] || continue
  readelf -h "$binary" | grep -q 'Type: *DYN' || fail "$program is not position-independent"
  readelf -d "$binary" | grep -q 'FLAGS_1.*NOW.*PIE\|FLAGS_1.*PIE.*NOW' \
    || fail "$program is not linked with -z now as a PIE"
  readelf -l "$binary" | grep -q GNU_RELRO || fail "$program has no read-only relocations"
  readelf -W --dyn-syms "$binary" | grep -q __stack_chk_fail || fail "$program has no stack protector"
  fortified=$(readelf -W --dyn-syms "$binary" | grep -oE '__[a-z0-9_]+_chk@' | tr -d @ | sort -u \
              | tr '\n' ' ')
  echo "$program: PIE, relro, bind now, stack protector; fortified: ${fortified:-none}"
done
echo "manual pages: as help2man makes them from the programs"
# The module with Qt's print support lies where the programs look for it: ../lib/.../kassotyp.
module=$(cd "$root" && find usr/lib -path '*/kassotyp/kassotyp-systemprint.so' -type f)
[ -n "$module" ] || fail "the print module kassotyp-systemprint.so is not in the package"
readelf -d "$root/$module" | grep -q 'libQt6PrintSupport' || fail "$module does not use Qt's print support"
echo "print module: /$module"

version=$(dpkg-deb --field "$deb" Version)
zcat "$root/usr/share/doc/kassotyp/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] \
  || fail "the newest changelog entry is not version $version"
grep -q "<release version=\"$version\"" "$root/$metainfo" \
  || fail "the AppStream metadata has no release $version"
appstreamcli validate --no-net "$root/$metainfo" >"$work/appstream.txt" 2>&1 \
  || { cat "$work/appstream.txt" >&2; fail "the AppStream metadata is not valid"; }
desktop-file-validate "$root/usr/share/applications/kassotyp.desktop" \
  || fail "the desktop entry is not valid"
unexpected=$(cd "$root" && find . -type f \( -name 'tst_*' -o -name '*bench*' -o -name '*fuzz*' \
                                            -o -name '*.a' -o -name '*.h' \))
[ -z "$unexpected" ] || fail "the package holds files of the build: $unexpected"
grep -qx 'Exec=kassotyp' "$root/usr/share/applications/kassotyp.desktop" || fail "desktop Exec"
grep -qx 'Icon=kassotyp' "$root/usr/share/applications/kassotyp.desktop" || fail "desktop Icon"

# Without a display and without a chosen platform: help and version need neither.
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

# The installed programs find their print module: with the test suite's CUPS queue, a demo store
# made by the unpacked designer is printed through it by the unpacked print command.
if [ -n "${KASSOTYP_TEST_CUPS_QUEUE:-}" ] && [ -n "${CUPS_SERVER:-}" ]; then
  mkdir -p "$work/home"
  HOME="$work/home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/kassotyp" --exit-when-shown \
    >"$work/designer.txt" 2>&1 || { cat "$work/designer.txt" >&2; fail "the designer did not start"; }
  HOME="$work/home" QT_QPA_PLATFORM=offscreen "$root/usr/bin/kassotyp-print" --workstation=3 \
    --type=13 --printer="$KASSOTYP_TEST_CUPS_QUEUE" >"$work/print.txt" 2>&1 \
    || { cat "$work/print.txt" >&2; fail "the installed kassotyp-print could not print to a queue"; }
  echo "the unpacked programs printed through the CUPS queue $KASSOTYP_TEST_CUPS_QUEUE"
fi
