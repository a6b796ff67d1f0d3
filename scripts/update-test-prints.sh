#!/usr/bin/env bash
# Prints the test documents of all document types from a fresh demo store into docs/test-prints:
# the graphic-mode picture of "Kasse 3" (TM-T88) beside the text-mode picture of "Kasse 4"
# (TM-T88T, as the printer sets the bytes), and writes docs/test-prints.md to show them. The
# checksums of the documents' bytes go with them; tests/tst_demoshop.cpp compares them with what
# the print command makes now, so that the pictures cannot silently fall behind the designs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh kassotyp kassotyp-print

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The print command never sets a store up, so the designer's first start seeds it, as in a shop:
# an empty file is an empty store, which the designer fills with the demo installation.
: >"$work/store.sqlite"
QT_QPA_PLATFORM=offscreen build/shell/kassotyp --store="$work/store.sqlite" \
  --config= --log="$work/print.log" >"$work/designer.out" 2>&1 &
designer=$!
for _ in $(seq 100); do
  build/tools/kassotyp-admin --store="$work/store.sqlite" --config= \
    --log="$work/print.log" workstations >/dev/null 2>&1 && break
  sleep 0.1
done
kill "$designer" && wait "$designer" 2>/dev/null || true
print() {
  build/tools/kassotyp-print --store="$work/store.sqlite" --config= \
    --log="$work/print.log" --now=2024-05-17T10:30:00 "$@" >/dev/null 2>"$work/stderr" ||
    { cat "$work/stderr" >&2; exit 1; }
}

out=docs/test-prints
rm -rf "$out"
mkdir -p "$out"
for till in 3:grafik 4:text; do
  workstation=${till%%:*}
  folder=${till#*:}
  print --workstation="$workstation" --all --format=png --output="$out/$folder"
  print --workstation="$workstation" --all --format=escpos --output="$work/$folder"
done
(
  cd "$work"
  for folder in grafik text; do
    ls "$folder" | sort -n | while read -r file; do sha256sum "$folder/$file"; done
  done
) >"$out/checksums.sha256"

{
  cat <<'EOF'
# Test prints of the demo shop

What a fresh store prints as the "Testdruck" of each of the 23 document types: the designed
layouts of the demo shoe shop "Schuhhaus Feldmann" with the sample values of each test print.
On the left "Kasse 3" in graphic mode on the template printer TM-T88, on the right "Kasse 4" in
text mode on a TM-T88T (the thermal printer driven in text mode), drawn from the very ESC/POS
bytes the printer would be sent. Both are 80 mm paper. Date and time of the samples are fixed at 17.05.2024 10:30.

`scripts/update-test-prints.sh` prints them again with `kassotyp-print`;
`tests/tst_demoshop.cpp` fails when they no longer match what the program prints.

| Document type | Graphic mode (Kasse 3, TM-T88) | Text mode (Kasse 4, TM-T88T) |
|---|---|---|
EOF
  ls "$out/grafik" | sort -n | while read -r file; do
    name=${file%.png}
    echo "| ${name/-/ } | ![${name}, graphic mode](test-prints/grafik/$file) | ![${name}, text mode](test-prints/text/$file) |"
  done
} >docs/test-prints.md
echo "Wrote $(ls "$out/grafik" | wc -l) test prints per printer into $out and docs/test-prints.md."
