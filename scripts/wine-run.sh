#!/usr/bin/env bash
# Runs a Windows program under wine in a prefix kept in the build tree,
# setting the prefix up on first use:
#   wine-run.sh [--build DIR] [--prefix NAME] PROGRAM.exe [ARGS...]
# DIR is the Windows build (default build/win32); the prefixes live in it.
# Prefix "main" has the host's registry value naming DIR/install as the
# installation directory; prefix "bare" has no key of the host's.
# Prefix "shot" is "main" drawn on the X server of DISPLAY (screenshots);
# every other prefix has the null graphics driver. Prefix "drive" has a
# drive X: of its own (build/win32/drive-x), as a mapped drive on a till;
# in prefix "fulldisk" every write of the program past 4 MiB fails, as on a
# full disk.
# The prefix's machine is the build's (its file wine-arch, written by CMake):
# a 32-bit prefix for the shipped 32-bit build, a 64-bit one (wine64) for
# the 64-bit test build. Binaria goes to the registry's 32-bit view, where
# ZRB's 32-bit installer writes it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
name=main
build=$here/../build/win32
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) name=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) break ;;
  esac
done
mkdir -p "$build"
build=$(cd "$build" && pwd)

arch=win32
[ -f "$build/wine-arch" ] && arch=$(tr -d '[:space:]' <"$build/wine-arch")
case "$arch" in
  win32) loader=/usr/lib/wine/wine; view=() ;;
  win64) loader=/usr/lib/wine/wine64; view=(/reg:32) ;;
  *) echo "wine-run.sh: unknown machine '$arch' in $build/wine-arch" >&2; exit 2 ;;
esac
# Wine starts its own helpers with the loader it was started with.
export WINELOADER=$loader
export WINEPREFIX="$build/wine-$name" WINEARCH=$arch WINEDEBUG=-all
# The emulated x86 machine (scripts/emulated-x86.sh) keeps the prefixes on
# its own disk, each linked to its ready one instead of a wineboot.
[ -z "${KOLEKTOR_WINE_PREFIXES:-}" ] || WINEPREFIX=$KOLEKTOR_WINE_PREFIXES/wine-$name
# No Mono or Gecko installer prompts: the tests need neither. No debugger
# either: a program that crashes ends at once instead of waiting in winedbg
# until the test's time limit.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wine() { "$loader" "$@"; }

winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

# Every prefix of a build starts as a copy of one base prefix, made once by
# wineboot (half a minute, 0.6 GB for 32 bits and 1.3 GB for 64): the copy
# links the base's files instead of duplicating them, and takes real copies
# of the few files wine rewrites in place (its registry, the .ini files), so
# that no prefix can change another. The emulated x86 machine names a ready
# base of its own (KOLEKTOR_WINE_TEMPLATE).
base=${KOLEKTOR_WINE_TEMPLATE:-$build/wine-base}
if [ -z "${KOLEKTOR_WINE_TEMPLATE:-}" ]; then
  (
    flock 8
    if [ ! -f "$base/.kolektor-base" ]; then
      rm -rf "$base"
      WINEPREFIX=$base wine wineboot -i >/dev/null 2>&1
      WINEPREFIX=$base wineserver -w
      touch "$base/.kolektor-base"
    fi
  ) 8>"$build/wine-base.lock"
fi

(
  flock 9
  if [ ! -f "$WINEPREFIX/.kolektor-ready" ]; then
    if [ ! -d "$WINEPREFIX" ]; then
      copy=$WINEPREFIX.partial
      rm -rf "$copy"
      cp -al "$base" "$copy"
      for f in "$copy"/*.reg "$copy"/drive_c/windows/*.ini; do
        [ -f "$f" ] && cp --remove-destination "$base/${f#"$copy"/}" "$f"
      done
      rm -f "$copy/.kolektor-base"
      mv "$copy" "$WINEPREFIX"
    fi
    # A real but invisible desktop: message boxes get windows that a test's
    # hook can read and close.
    if [ "$name" != shot ]; then
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    fi
    if [ "$name" = main ] || [ "$name" = shot ]; then
      wine reg add 'HKLM\Software\Orvisk\ZRBWin\Instalacja' /v Binaria \
        /d "$(winpath "$build/install")" /f "${view[@]}" >/dev/null 2>&1
    fi
    # In the emulated machine the session stays for the run's other programs.
    [ -n "${KOLEKTOR_WINE_TEMPLATE:-}" ] || wineserver -w
    touch "$WINEPREFIX/.kolektor-ready"
  fi
  if [ "$name" = drive ] && [ ! -e "$WINEPREFIX/dosdevices/x:" ]; then
    mkdir -p "$build/drive-x"
    ln -s "$build/drive-x" "$WINEPREFIX/dosdevices/x:"
  fi
) 9>"$build/wine-$name.lock"

if [ "$name" = fulldisk ]; then
  # A write past the limit fails with an error instead of a signal. The
  # prefix's own files (its registry, under 2 MiB) stay below it.
  trap '' XFSZ
  ulimit -f 4096
fi
exec "$loader" "$@"
