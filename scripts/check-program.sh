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
echo "$name: ${exports_list:+$(echo $exports | wc -w) exports; }$(echo "$imports" | wc -l) imports, all on XP SP3; PE 5.1"
