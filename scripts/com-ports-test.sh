#!/usr/bin/env bash
# The test form's port check on real serial ports, in a wine prefix of its
# own: COM5 is one end of a pseudo-terminal pair made by socat, COM6 a
# device that another program holds, COM7 a device that is not there.
# Wine maps COMn through HKLM\Software\Wine\Ports, read when a wine session
# starts. Only these ports are mapped and opened: this machine's own
# console is a serial device too, which wine maps by itself.
#   com-ports-test.sh TEST.exe WIN32-BUILD
set -euo pipefail
test_exe=$1
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$2" && pwd)
name=formports
work="$build/testdata/com-ports"
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$build/wine-$name" WINEDEBUG=-all

socat_pid=""
finish() {
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap finish EXIT

# The mapping, then a session that reads it.
for port in COM5:free COM6:held COM7:missing; do
  "$here/wine-run.sh" --build "$build" --prefix "$name" reg add 'HKLM\Software\Wine\Ports' /v "${port%%:*}" \
    /d "$work/${port##*:}" /f >/dev/null 2>&1
done
wineserver -w

socat -d -d "pty,raw,echo=0,link=$work/free" "pty,raw,echo=0,link=$work/far" \
  2>"$work/socat.log" &
socat_pid=$!
for _ in $(seq 1 50); do [ -e "$work/free" ] && break; sleep 0.1; done
[ -e "$work/free" ] || { echo "socat made no pseudo-terminal:" >&2; cat "$work/socat.log" >&2; exit 1; }
# Wine shares a character device with any opener; a file it guards like
# Windows guards a port, so the held port is one.
: >"$work/held"
# Wineserver takes the pty as its terminal and reports at length on its
# standard error when the far end closes.
wineserver -p 2>>"$work/wineserver.log"

KOLEKTOR_PORTS_MAPPED=COM5,COM6,COM7 "$here/wine-run.sh" --build "$build" --prefix "$name" "$test_exe"
