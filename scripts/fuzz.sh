#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan, preset "fuzz") and
# runs each for a bounded number of runs, starting from the seed corpora. A
# crash or broken invariant fails the run and leaves its input in the build
# folder.
#   scripts/fuzz.sh [--build DIR] [RUNS]   (default build/fuzz, 200000 runs
#                                           per conversion target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
if [ "${1:-}" = --build ]; then out=$2; shift 2; fi
runs=${1:-200000}

cmake --preset fuzz -B "$out" >/dev/null
cmake --build "$out"
out=$(cd "$out" && pwd)

total=0
for target in goods_conversion data_conversion descriptions commands; do
  n=$runs
  [ "$target" = commands ] && n=$((runs / 4))
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  echo "fuzz $target: $n runs"
  (cd "$out" && "./${target}_fuzz" -runs="$n" -max_len=4096 -timeout=10 "$corpus" \
    "$root/fuzz/seeds/$target" 2>&1 | tail -n 2)
  total=$((total + 1))
done
echo "fuzz: $total targets passed"
