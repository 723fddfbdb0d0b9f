#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded number of runs, starting from the seed corpora. A crash or broken
# invariant fails the run and leaves its input in build/fuzz/.
#   scripts/fuzz.sh [RUNS]     (default 200000 per conversion target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200000}
out="$root/build/fuzz"
mkdir -p "$out"
core=(plugin/cp1250.cpp plugin/descriptions.cpp plugin/held_files.cpp plugin/host_link.cpp plugin/instance.cpp plugin/trace.cpp
      export/fixed_format.cpp export/goods_conversion.cpp export/export_command.cpp import/data_conversion.cpp
      import/journal.cpp import/import_command.cpp platform/line_file.cpp platform/stdio_file.cpp
      tests/native/fake_platform.cpp tests/native/test_host.cpp)
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$root")

cd "$root"
if [ ! -f "$out/core.a" ] || [ -n "$(find "${core[@]}" plugin platform export import tests/native -newer "$out/core.a" 2>/dev/null | head -n1)" ]; then
  rm -f "$out"/*.o
  for src in "${core[@]}"; do
    clang++ "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$src" -o "$out/$(basename "$src" .cpp).o"
  done
  ar rcs "$out/core.a" "$out"/*.o
fi

total=0
for target in goods_conversion data_conversion descriptions commands; do
  clang++ "${flags[@]}" "fuzz/${target}_fuzz.cpp" "$out/core.a" -o "$out/$target"
  n=$runs
  [ "$target" = commands ] && n=$((runs / 4))
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/$target"
  echo "fuzz $target: $n runs"
  (cd "$out" && "./$target" -runs="$n" -max_len=4096 -timeout=10 "$corpus" "$root/$seeds" 2>&1 | tail -n 2)
  total=$((total + 1))
done
echo "fuzz: $total targets passed"
