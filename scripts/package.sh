#!/usr/bin/env bash
# The release files of the Windows build, staged in BUILD/package: the
# programs (signed when a certificate and key are given), the documents and
# examples (Windows text files, CR LF), and the setup program
# BUILD/kolektor-VERSION-setup.exe made from them with NSIS.
#   scripts/package.sh BUILD VERSION [CERT KEY]
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
cert=${3:-}
key=${4:-}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$build/bin"
stage="$build/package"

rm -rf "$stage"
mkdir -p "$stage/examples" "$stage/simulator"
cp "$bin/kolektor.dll" "$bin/kolektor-test.exe" "$bin/zrbhost.exe" "$stage/"
cp "$bin/DLOOKUP2.EXE" "$bin/IR_READ2.EXE" "$bin/terminal.exe" "$stage/simulator/"
cp "$root/packaging/INSTALL.txt" "$root/packaging/KOMUNIKATY.txt" "$stage/"
cp "$root/examples/towary.txt" "$root/examples/scans.txt" "$stage/examples/"

sign() {
  [ -n "$cert" ] || return 0
  for f in "$@"; do
    osslsigncode sign -certs "$cert" -key "$key" -n "kolektor $version" -h sha256 \
      -in "$f" -out "$f.signed" >/dev/null
    mv "$f.signed" "$f"
  done
}
sign "$stage"/*.dll "$stage"/*.exe "$stage"/simulator/*

setup="$build/kolektor-$version-setup.exe"
# The 64-bit test build's setup is a 64-bit program too, as its programs.
target=()
if [ "$(cat "$build/wine-arch" 2>/dev/null)" = win64 ]; then target=(-DTARGET=amd64-unicode); fi
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" "${target[@]}" \
  "$root/packaging/setup.nsi"
sign "$setup"
echo "package: $stage, $setup${cert:+ (signed)}"
