#!/usr/bin/env bash
# A Windows program of the tests' prefix run on a disk that fills up
# part-way: every write of the program, and of every program it starts,
# past LIMIT bytes of a file fails (as scripts/wine-run.sh's prefix
# "fulldisk" does for a whole run):
#   limited_host.sh LIMIT OUTPUT RESULT PROGRAM.exe [ARGS...]
# Started by a Windows test under wine (wine runs a Unix program it is
# asked to start). The program's output goes to OUTPUT; RESULT appears
# once it has ended, holding its exit code (124: still running after two
# minutes, and ended).
set -u
limit=$1 output=$2 result=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
# The prefix and build of the test that started this (WINEPREFIX is
# BUILD/wine-NAME).
build=${WINEPREFIX%/wine-*}
prefix=${WINEPREFIX##*/wine-}
# A write past the limit fails with an error instead of a signal.
trap '' XFSZ
# Into a file, not a pipe: a program wine starts on the way (its desktop
# process) keeps what it inherits open for the rest of the session. Past
# the limit the output is lost too; the exit code tells the result.
timeout 120 prlimit --fsize="$limit" "$here/../../scripts/wine-run.sh" --build "$build" \
  --prefix "$prefix" "$@" >"$output" 2>&1
echo "$?" >"$result.part"
mv "$result.part" "$result"
