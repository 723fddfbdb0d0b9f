#!/usr/bin/env bash
# Runs the field soak (tests/win32/field_soak_test.cpp) longer than the
# test command does: rounds of imports through the real DLL, each with one
# fault, checked after every round. It prints the seed first, a line per
# round, every violation with the way to run its round again, and a
# summary; the exit code is 0 only without a violation.
#   scripts/soak.sh [--minutes N] [--seed N] [--lanes N] [--rounds N]
#                   [--replay ROUND] [--build DIR]
# DIR is a built Windows build folder (default build/win32); without
# --minutes or --rounds it runs 40 rounds, as the test command does. A
# violated round's files stay in DIR/testdata/soak-failed-SEED-roundN.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win32
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) export KOLEKTOR_SOAK_MINUTES=$2; shift 2 ;;
    --seed) export KOLEKTOR_SOAK_SEED=$2; shift 2 ;;
    --lanes) export KOLEKTOR_SOAK_LANES=$2; shift 2 ;;
    --rounds) export KOLEKTOR_SOAK_ROUNDS=$2; shift 2 ;;
    --replay) export KOLEKTOR_SOAK_REPLAY=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) sed -n '2,11p' "$0" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
test=$build/bin/win_field_soak_tests.exe
if [ ! -f "$test" ]; then
  echo "soak: $test is missing: build the Windows build first" >&2
  echo "  (cmake --preset win32 -B $build && cmake --build $build)" >&2
  exit 2
fi
exec "$root/scripts/wine-run.sh" --build "$build" --prefix soak "$test" \
  --gtest_filter='WinFieldSoak.*' --gtest_brief=1
