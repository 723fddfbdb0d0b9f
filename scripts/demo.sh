#!/usr/bin/env bash
# A whole stocktaking round trip without the back-office host, the terminal
# or the vendor utilities: zrbhost drives kolektor.dll as the host does, the
# terminal simulator stands in for the CipherLab terminal in its dock.
#   scripts/demo.sh [--no-build] [--build DIR] [--check] [--name NAME]
# DIR is the Windows build (default build/win32, the shipped 32-bit build;
# on a machine that runs no 32-bit programs build/win64, the 64-bit test
# build of the same sources, under wine64). --check compares the lookup
# file, the counts file and the journal's block with examples/expected-*.txt,
# which every build must give byte for byte.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=true check=false name=demo
win=""
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=false ;;
    --check) check=true ;;
    --name) name=$2; shift ;;
    --build) win=$2; shift ;;
    *) echo "usage: $0 [--no-build] [--build DIR] [--check] [--name NAME]" >&2; exit 2 ;;
  esac
  shift
done

step() { printf '\n\033[1m== %s\033[0m\n' "$*"; }
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

if $build; then
  step "Installing what is missing (scripts/bootstrap.sh)"
  "$here/bootstrap.sh"
fi
if [ -z "$win" ]; then
  # The shipped 32-bit build where this machine runs 32-bit programs; the
  # 64-bit test build of the same sources where it runs none.
  if probe=$("$here/probe-win32.sh" "$root/build/probe"); then
    preset=win32
    step "This machine runs 32-bit Windows programs: the demo runs the shipped 32-bit build"
  else
    preset=win64
    step "This machine runs no 32-bit Windows programs: the demo runs the 64-bit test build of the same sources under wine64"
  fi
  echo "(${probe#*: })"
  win="$root/build/$preset"
else
  preset=$(cat "$win/wine-arch" 2>/dev/null || echo win32)
fi
if $build; then
  # Only the programs the demo runs (not the tests); the first build takes
  # minutes, so its progress is shown, one line a step.
  step "Building kolektor.dll, zrbhost and the terminal simulator (the first time takes a few minutes)"
  cmake --preset "$preset" -B "$win" >/dev/null
  cmake --build "$win" --target product
fi
win=$(cd "$win" && pwd)
bin="$win/bin"
work="$win/$name"
rm -rf "$work"
mkdir -p "$work/DANE/INW" "$work/terminal"
run() { "$here/wine-run.sh" --build "$win" --prefix "$name" "$@"; }
host() { run "$bin/zrbhost.exe" "$@"; }
terminal() { run "$bin/terminal.exe" "$@"; }
export KOLEKTOR_TERMINAL; KOLEKTOR_TERMINAL=$(winpath "$work/terminal")

step "Preparing a wine prefix and the registry value the export reads (the host's installer does this on a till)"
host setup --force --install-dir "$(winpath "$bin")"

step "What the host learns from the plug-in to build its settings form"
host describe

step "Sending the goods list to the terminal: $(grep -c . "$root/examples/towary.txt") goods (the plug-in pauses 4 s so the user can dock the terminal)"
cp "$root/examples/towary.txt" "$work/DANE/exp.txt"
host export "$(winpath "$work/DANE/exp.txt")"
echo "-- lookup file \"a\" written beside the goods file (first lines):"
head -n 5 "$work/DANE/a"

step "Counting on the terminal: scanning the sample counts"
terminal clear
# The sample is a Windows text file: CR LF line ends.
while read -r code quantity; do
  terminal scan "$code" "${quantity%$'\r'}"
done < "$root/examples/scans.txt"

step "Reading the counts back (pauses of 1 s, 1 s and 5 s; --yes confirms the five message boxes)"
host --yes import "$(winpath "$work/DANE/INW/imp.txt")"

step "The host's counts file"
cat "$work/DANE/INW/imp.txt"
step "The transfer journal Inwent.bak"
iconv -f CP1250 -t UTF-8 "$work/DANE/Inwent.bak"

if $check; then
  # The journal's block is its dated header and the counts; the date masked.
  journal=$(sed -E '2s/DNIA: [0-9: -]+\]/DNIA: (date)]/' "$work/DANE/Inwent.bak")
  expected_journal=$(printf '\r\n------------ [IMPORT WYKONANY DNIA: (date)] ------------\r\n'
                     cat "$root/examples/expected-counts.txt")
  bad=()
  cmp -s "$work/DANE/a" "$root/examples/expected-lookup.txt" || bad+=("the lookup file a")
  cmp -s "$work/DANE/INW/imp.txt" "$root/examples/expected-counts.txt" || bad+=("the counts file")
  [ "$journal" = "$expected_journal" ] || bad+=("the journal")
  [ ! -e "$work/DANE/a.dat" ] || bad+=("a.dat left behind")
  if [ ${#bad[@]} -eq 0 ]; then
    echo "round trip ($(cat "$win/wine-arch")): the lookup file, the counts file and the journal match examples/expected-*.txt"
  else
    echo "round trip ($(cat "$win/wine-arch")): differs from examples/expected-*.txt: ${bad[*]}" >&2
    exit 1
  fi
fi
