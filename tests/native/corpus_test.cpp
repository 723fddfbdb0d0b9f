// The shared corpus through the native build. The Windows tests run the
// same files through the real DLL against the same golden files, so any
// difference between the runtimes' number handling shows as a failure.
// KOLEKTOR_UPDATE_GOLDEN=1 rewrites the golden files (review the diff).
#include <gtest/gtest.h>

#include "base/texts.h"
#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "tests/corpus/corpus_runner.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

// Each corpus file given to `convert` as the file `in`; the result, the
// host's errors and what it wrote to `out`, every error explained.
template <typename Convert>
corpus::Outcome Converted(const corpus::Case& c, const std::string& in, const std::string& out,
                          Convert convert) {
  EventLog log;
  FakePlatform platform(log);
  platform.read_chunk = 1 << 16;
  platform.files[in] = c.input;
  TestHost host(log);
  const bool ok = convert(platform, HostLink(*host.instance(), 1));
  corpus::Outcome outcome{corpus::Format(ok ? 1 : 0, host.errors, platform.files[out]), ""};
  for (const std::string& e : host.errors)
    if (text::Explain(e) == nullptr) outcome.problem += "no explanation: " + e + "\n";
  return outcome;
}

TEST(Corpus, GoodsFiles) {
  corpus::RunCorpus(KOLEKTOR_CORPUS_DIR, "goods", [](const corpus::Case& c) {
    return Converted(c, "exp", "a", [](FakePlatform& platform, const HostLink& host) {
      auto in = platform.Open("exp", OpenMode::kRead);
      auto out = platform.Open("a", OpenMode::kWriteTruncate);
      return KonwertujTowary(*in, *out, GoodsOptions{}, host);
    });
  });
}

// The demo's goods list gives, natively, the lookup file that the demo's
// round trip through each Windows build (32- and 64-bit) must give too.
TEST(Corpus, DemoGoodsGiveTheDemosLookupFile) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["exp"] = corpus::ReadAll(std::string(KOLEKTOR_EXAMPLES_DIR) + "/towary.txt");
  TestHost host(log);
  auto in = platform.Open("exp", OpenMode::kRead);
  auto out = platform.Open("a", OpenMode::kWriteTruncate);
  ASSERT_TRUE(KonwertujTowary(*in, *out, GoodsOptions{}, HostLink(*host.instance(), 1)));
  out->Close();
  EXPECT_EQ(platform.files["a"],
            corpus::ReadAll(std::string(KOLEKTOR_EXAMPLES_DIR) + "/expected-lookup.txt"));
}

// Each data file as a download that its utility ended with exit code 0,
// as the Windows tests' stand-in does: a file that ends inside a record is
// a cut download there and here.
TEST(Corpus, DataFiles) {
  corpus::RunCorpus(KOLEKTOR_CORPUS_DIR, "data", [](const corpus::Case& c) {
    return Converted(c, "a.dat", "imp", [](FakePlatform& platform, const HostLink& host) {
      return ConvertDataFile(platform, "a.dat", "imp", host, DownloadExit::kZero);
    });
  });
}

}  // namespace
}  // namespace kolektor::testing
