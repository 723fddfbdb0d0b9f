#!/usr/bin/env bash
# Every test of kolektor: installs what is missing, builds every build, runs
# the native tests (ASan/UBSan), the fuzz targets (bounded) and the Windows
# tests of the real DLL under wine, and closes with what ran where and what
# did not run.
#   scripts/test.sh [BUILD-ROOT]   (default build/: native/, fuzz/, win32/, win64/)
#
# Which Windows build the Windows tests run on depends on this machine:
# - where it runs 32-bit programs: on the shipped 32-bit build under 32-bit
#   wine, and on the 64-bit test build under wine64 as well, so that neither
#   path can rot;
# - where it runs none (scripts/probe-win32.sh says why): on the 64-bit test
#   build under wine64; the shipped 32-bit build is built and checked
#   statically, and the tests only it can answer (its ABI and one round
#   trip) run in an emulated x86 machine (scripts/emulated-x86.sh, built once
#   per machine and kept in a cache folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
builds=${1:-$root/build}
mkdir -p "$builds"
builds=$(cd "$builds" && pwd)
started=$(date +%s)
"$root/scripts/bootstrap.sh"

summary=()  # the closing lines: what ran where
not_run=()  # what did not run here, each with its reason
failed=0

echo "== Can this machine run 32-bit Windows programs?"
if probe=$("$root/scripts/probe-win32.sh" "$builds/probe"); then runs32=true; else runs32=false; fi
echo "   $probe"
if $runs32; then
  echo "   The Windows tests run on the shipped 32-bit build (32-bit wine) and on the 64-bit"
  echo "   test build (wine64)."
else
  echo "   The Windows tests run on the 64-bit test build (wine64); the shipped 32-bit build is"
  echo "   built and checked statically, and its ABI tests and one round trip run in an"
  echo "   emulated x86 machine."
fi

# Runs ctest in a build folder and adds a closing line: "WHAT: N passed, F
# failed". The output goes to the console and to BUILD/ctest.log.
ctest_line() {
  local build=$1 what=$2
  shift 2
  local log="$build/ctest.log" rc=0
  (cd "$build" && ctest --output-on-failure "$@") 2>&1 | tee "$log" || rc=$?
  local counts total bad
  counts=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$counts" ]; then
    if grep -q 'No tests were found' "$log"; then
      summary+=("$what: no tests")
    else
      summary+=("$what: ctest did not finish (exit code $rc); see $log")
      failed=1
    fi
    return 0
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$counts")
  bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$counts")
  summary+=("$what: $((total - bad)) passed, $bad failed")
  if [ "$bad" != 0 ] || [ "$rc" != 0 ]; then
    failed=1
    while IFS= read -r t; do summary+=("    failed: $t"); done < <(
      sed -n '/The following tests FAILED:/,/^Errors while running/p' "$log" |
        grep -E '^[[:space:]]+[0-9]+ - ' | sed -E 's/^[[:space:]]+[0-9]+ - //')
  fi
}

echo "== native build: core under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native -B "$builds/native" >/dev/null
cmake --build "$builds/native"
ctest_line "$builds/native" "Native tests (ASan/UBSan, fake platform)" -j"$(nproc)"

if [ -d "$root/fuzz" ]; then
  echo "== fuzz targets (clang libFuzzer, bounded runs)"
  if "$root/scripts/fuzz.sh" --build "$builds/fuzz"; then
    summary+=("Fuzz targets (bounded runs): passed")
  else
    summary+=("Fuzz targets (bounded runs): FAILED")
    failed=1
  fi
fi

# The release signing step runs on every build here, with a throwaway
# self-signed certificate, and the signatures are verified: it cannot rot.
sign="$builds/sign"
if [ ! -f "$sign/cert.pem" ] || [ ! -f "$sign/key.pem" ]; then
  mkdir -p "$sign"
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -keyout "$sign/key.pem" \
    -out "$sign/cert.pem" -subj "/CN=kolektor CI throwaway code signing" \
    -addext "extendedKeyUsage=codeSigning" 2>/dev/null
fi
configure_windows() {
  local preset=$1 dir=$2 wine_tests=$3
  cmake --preset "$preset" -B "$dir" -DKOLEKTOR_SIGN_CERT="$sign/cert.pem" \
    -DKOLEKTOR_SIGN_KEY="$sign/key.pem" -DKOLEKTOR_WINE_TESTS="$wine_tests" >/dev/null
  cmake --build "$dir"
}

# The Windows tests run many at once, so that the plug-in's fixed pauses
# overlap; the timing tests run alone (RUN_SERIAL).
if $runs32; then
  echo "== Windows 32-bit build (shipped): kolektor.dll and its tests under 32-bit wine"
  configure_windows win32 "$builds/win32" ON
  ctest_line "$builds/win32" "Windows tests, 32-bit build (shipped; 32-bit wine)" -j12 --timeout 600
else
  echo "== Windows 32-bit build (shipped): built and checked without running it"
  configure_windows win32 "$builds/win32" OFF
  ctest_line "$builds/win32" "Static checks, 32-bit build (shipped: imports on XP SP3, PE 5.1, exports, package, signatures)" -L static
fi

echo "== Windows 64-bit test build: the same sources and their tests under wine64"
configure_windows win64 "$builds/win64" ON
if $runs32; then
  what="Windows tests, 64-bit build (wine64; also here, so that path cannot rot)"
else
  what="Windows tests, 64-bit build (this machine runs no 32-bit programs)"
fi
ctest_line "$builds/win64" "$what" -j12 --timeout 600

abi32=(
  "stdcall stack cleanup of the ten entry points (Interface.EveryEntryPointRemovesItsArguments)"
  "the host-FPU corpus on stacks aligned to 4, 8 and 12 bytes (HostFpuCorpus, HostFpu)"
)
if $runs32; then
  for t in "${abi32[@]}"; do not_run+=("on the 64-bit build: $t: 32-bit ABI only; ran on the 32-bit build"); done
else
  echo "== The shipped 32-bit programs in an emulated x86 machine"
  vm_rc=0
  "$root/scripts/emulated-x86-tests.sh" "$builds/win32" || vm_rc=$?
  case $vm_rc in
    0) summary+=("Emulated x86 machine, 32-bit build: host-FPU test, interface test, one round trip: passed") ;;
    3) summary+=("Emulated x86 machine: could not be built or started (see above)")
       for t in "${abi32[@]}"; do not_run+=("$t: needs the 32-bit build, and the emulated machine could not run"); done
       not_run+=("one round trip of the shipped DLL, zrbhost and the simulator: the emulated machine could not run")
       failed=1 ;;
    *) summary+=("Emulated x86 machine, 32-bit build: FAILED (see above)"); failed=1 ;;
  esac
  not_run+=("the other Windows tests on the 32-bit build: this machine runs no 32-bit programs; each ran on the 64-bit build")
fi

echo
echo "== Summary ($(( ($(date +%s) - started) / 60 )) min)"
echo "This machine: $probe"
for line in "${summary[@]}"; do echo "$line"; done
if [ ${#not_run[@]} -gt 0 ]; then
  echo "Not run here:"
  for line in "${not_run[@]}"; do echo "  - $line"; done
fi
exit $failed
