#!/usr/bin/env bash
# Builds the release ZIP with cpack and checks what it and the setup's
# staged files hold: every program and document, and Windows text files
# with CR LF line ends only.
set -euo pipefail
build=$1
cd "$build"
cpack -G ZIP >/dev/null
zip=$(ls -t kolektor-*-win32.zip | head -n1)
listing=$(unzip -Z1 "$zip")
for f in kolektor.dll kolektor-test.exe zrbhost.exe INSTALL.txt KOMUNIKATY.txt \
         simulator/DLOOKUP2.EXE simulator/IR_READ2.EXE simulator/terminal.exe \
         examples/towary.txt examples/scans.txt; do
  grep -qx "$f" <<<"$listing" || { echo "missing from $zip: $f"; exit 1; }
done
ls kolektor-*-setup.exe >/dev/null || { echo "no setup program"; exit 1; }

# Every text file that ships, in the ZIP (the setup installs the same
# staged files): each line ends in CR LF.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
texts=0
while IFS= read -r -d '' f; do
  texts=$((texts + 1))
  lf_only=$(LC_ALL=C grep -c -v $'\r$' "$f" || true)
  if [ "$lf_only" != 0 ] || [ -n "$(tail -c 1 "$f" | tr -d '\n')" ]; then
    echo "${f#"$unpacked"/}: $lf_only line(s) without CR LF"; exit 1
  fi
done < <(find "$unpacked" -iname '*.txt' -print0)
[ "$texts" -ge 4 ] || { echo "only $texts text files"; exit 1; }
echo "$zip: $(wc -l <<<"$listing") files, $texts text files with CR LF; $(ls kolektor-*-setup.exe)"
