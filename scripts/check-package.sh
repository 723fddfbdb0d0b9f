#!/usr/bin/env bash
# Builds the release ZIP with cpack and checks what it holds.
set -euo pipefail
build=$1
cd "$build"
cpack -G ZIP >/dev/null
zip=$(ls -t kolektor-*-win32.zip | head -n1)
listing=$(unzip -Z1 "$zip")
for f in kolektor.dll zrbhost.exe INSTALL.txt simulator/DLOOKUP2.EXE simulator/IR_READ2.EXE \
         simulator/terminal.exe examples/towary.txt; do
  grep -qx "$f" <<<"$listing" || { echo "missing from $zip: $f"; exit 1; }
done
echo "$zip: $(wc -l <<<"$listing") files"
