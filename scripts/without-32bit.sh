#!/usr/bin/env bash
# Runs a command as on a machine that runs no 32-bit programs, on a machine
# that does: in a mount namespace of its own, the 32-bit C library's loader
# and wine's 32-bit loader and server are replaced by a file the kernel
# refuses with "Exec format error", as it refuses every 32-bit program where
# it gives user programs no 32-bit code segment. A maintainer proves there
# the path that such machines take (the 64-bit test build under wine64, the
# shipped 32-bit programs in the emulated x86 machine):
#   scripts/without-32bit.sh scripts/test.sh /tmp/kb-no32
# Needs root (a mount namespace); nothing outside the command changes.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
if [ "${KOLEKTOR_INSIDE_NO32:-}" != 1 ]; then
  exec unshare --mount --propagation private env KOLEKTOR_INSIDE_NO32=1 "$0" "$@"
fi
refused=$(mktemp /tmp/no-32bit.XXXXXX)
# Not ELF, not a script: execve answers ENOEXEC ("Exec format error"), and
# the NUL bytes keep shells from running it as a script instead.
printf '\0\0\0\0not a program for this kernel\0' >"$refused"
chmod 755 "$refused"
for f in /lib/ld-linux.so.2 /usr/lib/wine/wine /usr/lib/wine/wineserver32 \
         /usr/lib/i386-linux-gnu/wine/wine-preloader; do
  if [ -e "$f" ]; then mount --bind "$refused" "$f"; fi
done
unset KOLEKTOR_INSIDE_NO32
"$@"
