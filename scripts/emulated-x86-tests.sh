#!/usr/bin/env bash
# The tests that only the shipped 32-bit build can answer, run in the
# emulated x86 machine (scripts/emulated-x86.sh) for the machines whose
# kernel runs no 32-bit programs: the host-FPU test (its trampolines call
# the DLL on a stack aligned to 4 bytes only), the interface test of the
# shipped DLL (stdcall cleanup, exports, the instance pointer) and one
# whole round trip of the DLL, zrbhost and the terminal simulator.
#   scripts/emulated-x86-tests.sh BUILD-DIR
# BUILD-DIR is a built Windows 32-bit build (e.g. build/win32). The machine
# is built first when it is missing (once per machine, about a quarter of
# an hour). One line a test, then "emulated 32-bit machine: N passed, N
# failed". Exit 0 when all passed, 1 when one failed, 2 on wrong use, 3
# when the machine could not be built or started (nothing ran).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

# name|time limit (s)|what|files it needs in BUILD-DIR|command (BUILD stands for BUILD-DIR)
tests=(
  "fpu|600|host-FPU test, trampolines and a 4-byte-aligned stack (win_host_fpu_tests.exe)|bin/win_host_fpu_tests.exe bin/kolektor.dll bin/IR_READ2.EXE install/DLOOKUP2.EXE|scripts/wine-run.sh --build BUILD --prefix main BUILD/bin/win_host_fpu_tests.exe"
  "interface|360|interface test of the shipped DLL (win_plugin_tests.exe)|bin/win_plugin_tests.exe bin/kolektor.dll|scripts/wine-run.sh --build BUILD --prefix main BUILD/bin/win_plugin_tests.exe"
  "round-trip|360|round trip of the shipped DLL, zrbhost and the simulator (demo.sh --check)|bin/kolektor.dll bin/zrbhost.exe bin/terminal.exe bin/DLOOKUP2.EXE bin/IR_READ2.EXE|scripts/demo.sh --no-build --build BUILD --check --name emulated"
)
field() { cut -d'|' -f"$2" <<<"$1"; }

# Inside the machine: the tests at once (their fixed pauses overlap), each
# under its time limit, each leaving its output, exit code and time.
if [ "${1:-}" = --in-machine ]; then
  build=$2 results=$3 names=$4
  cd "$build"
  for t in "${tests[@]}"; do
    name=$(field "$t" 1)
    case " $names " in *" $name "*) ;; *) continue ;; esac
    (
      command=$(field "$t" 5)
      start=$(date +%s%N)
      set +e
      timeout -k 10 "$(field "$t" 2)" bash -c "cd '$root' && ${command//BUILD/\'$build\'}" \
        >"$results/$name.log" 2>&1
      rc=$?
      echo $((($(date +%s%N) - start) / 1000000000)) >"$results/$name.time"
      echo $rc >"$results/$name.rc"
    ) &
  done
  wait
  exit 0
fi

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 BUILD-DIR (a built Windows 32-bit build, e.g. build/win32)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
results=$build/emulated-x86
start=$SECONDS
passed=0 failed=0 run_names=() missing_lines=()
for t in "${tests[@]}"; do
  missing=()
  for f in $(field "$t" 4); do [ -f "$build/$f" ] || missing+=("$f"); done
  if [ ${#missing[@]} -eq 0 ]; then
    run_names+=("$(field "$t" 1)")
  else
    missing_lines+=("FAIL $(field "$t" 3): not built, $build lacks ${missing[*]}")
  fi
done

if [ ${#run_names[@]} -gt 0 ]; then
  echo "== the emulated 32-bit machine ($here/emulated-x86.sh)"
  if ! "$here/emulated-x86.sh" build; then
    echo "emulated 32-bit machine: it could not be built (see above); not run:"
    for t in "${tests[@]}"; do echo "  $(field "$t" 3)"; done
    exit 3
  fi
  rm -rf "$results"
  mkdir -p "$results"
  # The machine sees this tree, the build and the sources the build names
  # (the corpus the host-FPU test reads), each at its own path.
  source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
  shares=()
  for dir in "$root" "$build" "$source_dir"; do
    [ -n "$dir" ] && [ -d "$dir" ] || continue
    inside=false
    for s in "${shares[@]}"; do
      case "$dir/" in "$s"/*) inside=true ;; esac
    done
    $inside || shares+=("$dir")
  done
  limit=0
  for t in "${tests[@]}"; do [ "$(field "$t" 2)" -le $limit ] || limit=$(field "$t" 2); done
  share_args=()
  for s in "${shares[@]}"; do share_args+=(--share "$s"); done
  set +e
  "$here/emulated-x86.sh" run "${share_args[@]}" --timeout $((limit + 120)) \
    -- bash "$(printf %q "$here/emulated-x86-tests.sh")" --in-machine "$(printf %q "$build")" \
    "$(printf %q "$results")" "'${run_names[*]}'"
  rc=$?
  set -e
  if [ $rc -eq 125 ]; then
    echo "emulated 32-bit machine: it could not be started (see above); not run:"
    for t in "${tests[@]}"; do echo "  $(field "$t" 3)"; done
    exit 3
  fi
fi

for line in "${missing_lines[@]}"; do
  echo "$line"
  failed=$((failed + 1))
done
for t in "${tests[@]}"; do
  name=$(field "$t" 1) what=$(field "$t" 3)
  case " ${run_names[*]} " in *" $name "*) ;; *) continue ;; esac
  log=$results/$name.log
  rc=$(cat "$results/$name.rc" 2>/dev/null || echo none)
  took=$(cat "$results/$name.time" 2>/dev/null || echo "?")
  count=$(grep -ao '^\[  PASSED  \] [0-9]* test' "$log" 2>/dev/null | grep -o '[0-9]*' || true)
  if [ "$rc" = 0 ]; then
    echo "PASS $what: ${count:+$count tests, }$took s"
    passed=$((passed + 1))
  else
    case "$rc" in
      none) why="did not finish (the machine's time ran out)" ;;
      124 | 137) why="timed out after $took s" ;;
      *) why="exit code $rc after $took s" ;;
    esac
    echo "FAIL $what: $why; its output ($log) ends:"
    tail -n 25 "$log" 2>/dev/null | sed 's/^/    /' || true
    failed=$((failed + 1))
  fi
done
echo "emulated 32-bit machine: $((SECONDS - start)) s in all"
echo "emulated 32-bit machine: $passed passed, $failed failed"
[ $failed -eq 0 ]
