#!/usr/bin/env bash
# A shipped program as it ships: it imports only functions that Windows XP
# SP3 has, each named in its own checked list, and says so in its PE header
# (OS and subsystem version 5.1); the DLL also exports exactly the host's
# entry points, undecorated.
#   scripts/check-program.sh PROGRAM IMPORTS-LIST [EXPORTS-LIST]
set -euo pipefail
program=$1
allowed=$2
exports_list=${3:-}
listed() { grep -v '^#' "$1" | grep . | sort -u; }

dump=$(i686-w64-mingw32-objdump -p "$program")
name=$(basename "$program")
if [ -n "$exports_list" ]; then
  exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    awk '/^[ \t]*\[ *[0-9]+\]/{print $NF}' | sort)
  if [ "$exports" != "$(listed "$exports_list")" ]; then
    echo "$name: exports differ from $exports_list:"
    diff <(listed "$exports_list") <(echo "$exports") || true
    exit 1
  fi
fi
imports=$(printf '%s\n' "$dump" | sed -n '/The Import Tables/,/The Export Tables/p' |
  awk '/DLL Name:/{dll=toupper($3); next} /^\t[0-9a-f]+\t/{print dll" "$3}' | sort -u)
[ -n "$imports" ] || { echo "$name: no import table found"; exit 1; }
unlisted=$(comm -23 <(echo "$imports") <(listed "$allowed"))
if [ -n "$unlisted" ]; then
  echo "$name imports functions not checked to exist on Windows XP SP3 ($allowed):"
  echo "$unlisted"
  exit 1
fi
for field in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
  value=$(printf '%s\n' "$dump" | awk -v f="${field%%:*}" '$1 == f {print $2}')
  if [ "$value" != "${field##*:}" ]; then
    echo "$name: PE header ${field%%:*} is $value, not ${field##*:} (Windows XP)"; exit 1
  fi
done
# As it ships: stripped, within its size (a till gets it by e-mail or on a
# stick; the DLL is loaded into ZRB), and linked to its symbols in the
# build's symbols/ folder by name and checksum, so that a crash address from
# a till can be read back.
size=$(stat -c %s "$program")
limit=$((2 * 1024 * 1024))
[ "$name" = kolektor.dll ] && limit=$((1024 * 1024))
if [ "$size" -gt "$limit" ]; then
  echo "$name: $size bytes, over its limit of $limit"; exit 1
fi
if printf '%s\n' "$dump" | grep -q '^\[ *[0-9]*\](sec'; then
  echo "$name: not stripped (it has a symbol table)"; exit 1
fi
link=$(mktemp)
trap 'rm -f "$link" "$link.copy"' EXIT
rm -f "$link"
# objcopy writes a copy of the program too (never onto the program itself).
if ! i686-w64-mingw32-objcopy --dump-section .gnu_debuglink="$link" "$program" "$link.copy" \
     2>/dev/null || [ ! -s "$link" ]; then
  echo "$name: no .gnu_debuglink section naming its symbols"; exit 1
fi
debug=$(tr -d '\0' <"$link" | head -c 200 | LC_ALL=C grep -ao '^[A-Za-z0-9_.-]*\.debug' || true)
symbols="$(dirname "$program")/../symbols/$debug"
if [ -z "$debug" ] || [ ! -f "$symbols" ]; then
  echo "$name: its symbols ${debug:-(no name)} are not in $(dirname "$program")/../symbols/"; exit 1
fi
want=$(perl -e 'local $/; my $b = <STDIN>; print unpack("V", substr($b, -4))' <"$link")
got=$(perl -MCompress::Zlib -e 'local $/; print crc32(<STDIN>)' <"$symbols")
if [ "$want" != "$got" ]; then
  echo "$name: symbols/$debug is not the file it was linked to (CRC $got, link $want)"; exit 1
fi
echo "$name: ${exports_list:+$(echo $exports | wc -w) exports; }$(echo "$imports" | wc -l) imports, all on XP SP3; PE 5.1; $size bytes; symbols in symbols/$debug"
