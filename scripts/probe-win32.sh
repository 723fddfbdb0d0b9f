#!/usr/bin/env bash
# Can this machine run 32-bit Windows programs? Some machines give user
# programs no 32-bit code segment: there every 32-bit program, wine's 32-bit
# loader included, fails with "Exec format error". The test is the real
# thing: a 32-bit wine prefix runs a tiny 32-bit program, which must answer.
# Prints one line, "yes: REASON" or "no: REASON"; exits 0 for yes, 1 for no.
#   probe-win32.sh CACHE-DIR    (the probe's program and prefix, kept there)
set -euo pipefail
cache=$1
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)

# The kernel's answer first: it says in one line why wine cannot work.
if ! linux=$(/lib/ld-linux.so.2 --help 2>&1 >/dev/null); then
  linux=$(printf '%s' "${linux:-failed}" | tail -n 1)
  linux=${linux##*/lib/ld-linux.so.2: }
  [ -e /lib/ld-linux.so.2 ] || linux="no 32-bit C library (/lib/ld-linux.so.2)"
else
  linux=""
fi

program="$cache/probe32.exe"
if [ ! -s "$program" ]; then
  printf '%s\n' '#include <stdio.h>' \
    'int main(void) { printf("32-bit %d\n", (int)(sizeof(void*) * 8)); return 0; }' \
    >"$cache/probe32.c"
  i686-w64-mingw32-gcc -O1 -s -o "$program" "$cache/probe32.c"
fi

answer=""
if [ -z "$linux" ] && [ -x /usr/lib/wine/wine ]; then
  # A prefix of its own, made once (about half a minute) and kept.
  answer=$(WINEPREFIX="$cache/wine32" WINEARCH=win32 WINEDEBUG=-all \
    WINELOADER=/usr/lib/wine/wine WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" \
    timeout 300 /usr/lib/wine/wine "$program" 2>"$cache/wine.log" | tr -d '\r') || true
fi
if [ "$answer" = "32-bit 32" ]; then
  echo "yes: a 32-bit wine prefix ran a 32-bit test program"
  exit 0
fi
if [ -n "$linux" ]; then
  echo "no: the kernel runs no 32-bit programs (/lib/ld-linux.so.2 --help: $linux)"
elif [ ! -x /usr/lib/wine/wine ]; then
  echo "no: wine's 32-bit loader /usr/lib/wine/wine is missing"
else
  echo "no: a 32-bit wine prefix did not run a 32-bit test program ($(tail -n 1 "$cache/wine.log" 2>/dev/null || echo 'no output'))"
fi
exit 1
