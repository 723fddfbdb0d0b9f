#!/usr/bin/env bash
# The DLL must export exactly the host's ten entry points, undecorated,
# import only functions that Windows XP SP3 has (packaging/dll-imports.txt),
# and say so in its PE header (OS and subsystem version 5.1).
set -euo pipefail
dll=$1
here=$(cd "$(dirname "$0")" && pwd)
allowed="$here/../packaging/dll-imports.txt"
dump=$(i686-w64-mingw32-objdump -p "$dll")
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[ \t]*\[ *[0-9]+\]/{print $NF}' | sort)
expected=$(printf '%s\n' ZRBDLLInwEksportujTowary ZRBDLLInwImport ZRBDLLInwZeruj \
  ZRBDLLParametr ZRBDLLRejestrujBiblioteke ZRBDLLRejestrujCallback \
  ZRBDLLTekstListyParametru ZRBDLLTypBiblioteki ZRBDLLWlasciwosci \
  ZRBDLLZwolnijBiblioteke | sort)
if [ "$exports" != "$expected" ]; then
  echo "exports differ:"; diff <(echo "$expected") <(echo "$exports") || true; exit 1
fi
imports=$(printf '%s\n' "$dump" | sed -n '/The Import Tables/,/The Export Tables/p' |
  awk '/DLL Name:/{dll=toupper($3); next} /^\t[0-9a-f]+\t/{print dll" "$3}' | sort -u)
unlisted=$(comm -23 <(echo "$imports") <(grep -v '^#' "$allowed" | grep . | sort -u))
if [ -n "$unlisted" ]; then
  echo "imports not known to exist on Windows XP SP3 (packaging/dll-imports.txt):"
  echo "$unlisted"
  exit 1
fi
for field in MajorOSystemVersion:5 MinorOSystemVersion:1 MajorSubsystemVersion:5 MinorSubsystemVersion:1; do
  value=$(printf '%s\n' "$dump" | awk -v f="${field%%:*}" '$1 == f {print $2}')
  if [ "$value" != "${field##*:}" ]; then
    echo "PE header: ${field%%:*} is $value, not ${field##*:} (Windows XP)"; exit 1
  fi
done
echo "exports: $(echo $exports | wc -w) entry points; imports: $(echo "$imports" | wc -l) functions, all on XP SP3"
