#!/usr/bin/env bash
# Every test of kolektor: installs what is missing, builds both builds,
# runs the native tests (ASan/UBSan), the fuzz targets (bounded) and the
# Windows tests of the real DLL under wine.
#   scripts/test.sh [BUILD-ROOT]   (default build/: native/, fuzz/, win32/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
builds=${1:-$root/build}
mkdir -p "$builds"
builds=$(cd "$builds" && pwd)
"$root/scripts/bootstrap.sh"

echo "== native build: core under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native -B "$builds/native" >/dev/null
cmake --build "$builds/native"
(cd "$builds/native" && ctest --output-on-failure -j"$(nproc)")

if [ -d "$root/fuzz" ]; then
  echo "== fuzz targets (clang libFuzzer, bounded runs)"
  "$root/scripts/fuzz.sh" --build "$builds/fuzz"
fi

echo "== Windows build: kolektor.dll and its tests under wine"
# The release signing step runs on every build here, with a throwaway
# self-signed certificate, and the signatures are verified: it cannot rot.
sign="$builds/sign"
if [ ! -f "$sign/cert.pem" ] || [ ! -f "$sign/key.pem" ]; then
  mkdir -p "$sign"
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -keyout "$sign/key.pem" \
    -out "$sign/cert.pem" -subj "/CN=kolektor CI throwaway code signing" \
    -addext "extendedKeyUsage=codeSigning" 2>/dev/null
fi
cmake --preset win32 -B "$builds/win32" -DKOLEKTOR_SIGN_CERT="$sign/cert.pem" \
  -DKOLEKTOR_SIGN_KEY="$sign/key.pem" >/dev/null
cmake --build "$builds/win32"
# The Windows tests run many at once, so that the plug-in's fixed pauses
# overlap; the timing tests run alone (RUN_SERIAL).
(cd "$builds/win32" && ctest --output-on-failure -j12 --timeout 600)
