#!/usr/bin/env bash
# A picture of the test form as a till shows it, taken on a virtual X
# server of 800x600: the installed-path test installs with the setup into
# C:\ZRB, drives the installed form through an installation check, an
# export, an import and a failed export on C:\DANE, then holds it open at
# 800x600 while ImageMagick takes the picture (docs/kolektor-test.png,
# shown in README).
#   scripts/screenshot.sh [--no-build] [--build DIR] [OUTPUT.png]
# DIR is the Windows build (default build/win32).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=true
win="$root/build/win32"
out="$root/docs/kolektor-test.png"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=false ;;
    --build) win=$2; shift ;;
    *) out=$1 ;;
  esac
  shift
done

"$here/bootstrap.sh"
# The virtual X server and ImageMagick, for this script only.
missing=()
for p in xvfb imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" != 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if $build; then
  cmake --preset win32 -B "$win" >/dev/null
  cmake --build "$win" >/dev/null
fi

win=$(cd "$win" && pwd)
bin="$win/bin"
work="$win/screenshot"
rm -rf "$work"; mkdir -p "$work"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

display=:97
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display

# Wine's own virtual desktop draws the window frames (Xvfb has no window
# manager); prefix "shot" draws on DISPLAY instead of the null driver.
KOLEKTOR_FORM_HOLD=$(winpath "$work/hold") \
  "$here/wine-run.sh" --build "$win" --prefix shot explorer /desktop=kolektor,800x600 \
  "$(winpath "$bin/win_form_install_tests.exe")" >"$work/test.log" 2>&1 &
test=$!
for _ in $(seq 1 900); do
  [ -e "$work/hold.ready" ] && break
  kill -0 $test 2>/dev/null || break
  sleep 0.2
done
if [ ! -e "$work/hold.ready" ]; then
  echo "screenshot: the form test did not reach its picture:" >&2
  cat "$work/test.log" >&2
  exit 1
fi
sleep 1
mkdir -p "$(dirname "$out")"
import -window root -crop 800x600+0+0 +repage "$out"
touch "$work/hold"
wait $test || { cat "$work/test.log" >&2; exit 1; }
echo "screenshot: $out"
