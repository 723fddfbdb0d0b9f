#!/usr/bin/env bash
# Builds the benchmarks in release mode and prints, for each size, the time
# per line, the throughput and the ratio to a raw pass over the same bytes,
# then the peak memory of a whole conversion process for the smallest and
# largest file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh"
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
bin="$root/build/release"

csv=$("$bin/kolektor_bench" --benchmark_format=csv --benchmark_min_time=0.5 2>/dev/null)
printf '%-6s %10s %10s %10s %14s %8s\n' file lines ns/line MB/s "baseline MB/s" ratio
printf '%s\n' "$csv" | awk -F, '
  /^"BM_/ {
    gsub(/"/, "", $1); split($1, p, "/"); name = p[1]; lines = p[2];
    ms = $3; if ($5 == "us") ms /= 1000; if ($5 == "ns") ms /= 1e6;
    t[name, lines] = ms; rate[name, lines] = $6; sizes[lines] = 1 }
  END {
    split("Goods Data", kinds, " ")
    for (k = 1; k <= 2; k++) for (n in sizes) {
      c = "BM_" kinds[k] "Conversion"; b = "BM_" kinds[k] "Baseline"
      printf "%-6s %10d %10.1f %10.1f %14.1f %8.1f\n", kinds[k], n, t[c, n] * 1e6 / n,
             rate[c, n] / 1e6, rate[b, n] / 1e6, t[c, n] / t[b, n] }
  }' | sort -k1,1r -k2,2n

echo
for kind in goods data; do
  for lines in 1000 1000000; do
    in=/tmp/kolektor-bench-${kind}${lines}
    [ -f "$in" ] || continue
    peak=$( { /usr/bin/time -v "$bin/kolektor_convert" "$kind" "$in" /dev/shm/kolektor-peak >/dev/null; } 2>&1 |
            awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}')
    echo "peak memory, $kind conversion of $lines lines: ${peak} kB"
  done
done
