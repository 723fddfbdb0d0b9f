#!/usr/bin/env bash
# Every test of kolektor: installs what is missing, builds both builds,
# runs the native tests (ASan/UBSan), the fuzz targets (bounded) and the
# Windows tests of the real DLL under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh"

echo "== native build: core under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j"$(nproc)"

if [ -d "$root/fuzz" ]; then
  echo "== fuzz targets (clang libFuzzer, bounded runs)"
  "$root/scripts/fuzz.sh"
fi

echo "== Windows build: kolektor.dll and its tests under wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32
