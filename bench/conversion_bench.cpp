// Throughput of the two conversions beside a raw pass over the same bytes
// that only counts line ends (the baseline): bytes/s, lines/s and the ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "base/cp1250.h"
#include "bench/bench_files.h"
#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "tools/files/stdio_file.h"

namespace kolektor::bench {
namespace {

// The conversions need a host to report to; nothing fails here.
void KOLEKTOR_STDCALL NoText(HostWord, HostWord, const char*) {}
void KOLEKTOR_STDCALL NoParam(HostWord, HostWord, const char*, char* value) { value[0] = 0; }
const PluginInstance kInstance{&NoText, &NoParam, &NoText, 0};

std::string Utf8ToCp1250(const std::string& utf8) {
  std::string out;
  Cp1250FromUtf8(utf8, out);
  return out;
}

const std::string& InputFile(const char* kind, long lines, long& bytes) {
  static std::map<std::string, std::pair<std::string, long>> files;
  const std::string key = std::string(kind) + std::to_string(lines);
  auto it = files.find(key);
  if (it == files.end()) {
    const std::string path = "/tmp/kolektor-bench-" + key;
    const long size =
        kind[0] == 'g' ? WriteLines(path, lines, [](long i) { return Utf8ToCp1250(GoodsLine(i)); })
                       : WriteLines(path, lines, DataLine);
    it = files.emplace(key, std::make_pair(path, size)).first;
  }
  bytes = it->second.second;
  return it->second.first;
}

void Report(benchmark::State& state, long bytes, long lines) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}

// One pass over the `kind` file per iteration, writing into `out_path`
// (none: nothing written); opening the files is the command's part, not
// the conversion's.
template <typename Pass>
void Passes(benchmark::State& state, const char* kind, const char* out_path, Pass pass) {
  const long lines = state.range(0);
  long bytes = 0;
  const std::string& path = InputFile(kind, lines, bytes);
  for (auto _ : state) {
    state.PauseTiming();
    auto in = OpenStdioFile(path, OpenMode::kRead);
    auto out = out_path != nullptr ? OpenStdioFile(out_path, OpenMode::kWriteTruncate) : nullptr;
    state.ResumeTiming();
    if (!pass(*in, out.get(), HostLink(kInstance, 1))) state.SkipWithError("conversion failed");
  }
  Report(state, bytes, lines);
}

// The baseline: a raw pass that only counts line ends.
bool CountLineEnds(File& in, File*, const HostLink&) {
  char buffer[1 << 16];
  long ends = 0;
  for (long got; (got = in.Read(buffer, sizeof buffer)) > 0;)
    for (long i = 0; i < got; ++i) ends += buffer[i] == '\n';
  benchmark::DoNotOptimize(ends);
  return true;
}

void BM_GoodsBaseline(benchmark::State& state) { Passes(state, "goods", nullptr, CountLineEnds); }
void BM_DataBaseline(benchmark::State& state) { Passes(state, "data", nullptr, CountLineEnds); }

void BM_GoodsConversion(benchmark::State& state) {
  Passes(state, "goods", "/dev/shm/kolektor-bench-a",
         [](File& in, File* out, const HostLink& host) {
           return KonwertujTowary(in, *out, GoodsOptions{}, host);
         });
}

void BM_DataConversion(benchmark::State& state) {
  Passes(
      state, "data", "/dev/shm/kolektor-bench-imp",
      [](File& in, File* out, const HostLink& host) { return ConvertDataStream(in, *out, host); });
}

#define SIZES ->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_GoodsBaseline) SIZES;
BENCHMARK(BM_GoodsConversion) SIZES;
BENCHMARK(BM_DataBaseline) SIZES;
BENCHMARK(BM_DataConversion) SIZES;

}  // namespace
}  // namespace kolektor::bench

BENCHMARK_MAIN();
