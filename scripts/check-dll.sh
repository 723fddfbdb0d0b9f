#!/usr/bin/env bash
# The DLL must export exactly the host's ten entry points, undecorated, and
# import nothing but Windows system DLLs.
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^[ \t]*\[ *[0-9]+\]/{print $NF}' | sort)
expected=$(printf '%s\n' ZRBDLLInwEksportujTowary ZRBDLLInwImport ZRBDLLInwZeruj \
  ZRBDLLParametr ZRBDLLRejestrujBiblioteke ZRBDLLRejestrujCallback \
  ZRBDLLTekstListyParametru ZRBDLLTypBiblioteki ZRBDLLWlasciwosci \
  ZRBDLLZwolnijBiblioteke | sort)
if [ "$exports" != "$expected" ]; then
  echo "exports differ:"; diff <(echo "$expected") <(echo "$exports") || true; exit 1
fi
imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/{print toupper($3)}' | sort -u)
for dll_name in $imports; do
  case "$dll_name" in
    KERNEL32.DLL|USER32.DLL|ADVAPI32.DLL|MSVCRT.DLL) ;;
    *) echo "unexpected import: $dll_name"; exit 1 ;;
  esac
done
echo "exports: $(echo $exports | wc -w) entry points; imports: $(echo $imports)"
