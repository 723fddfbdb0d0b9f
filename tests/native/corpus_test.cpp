// The shared corpus through the native build. The Windows tests run the
// same files through the real DLL against the same golden files, so any
// difference between the runtimes' number handling shows as a failure.
// KOLEKTOR_UPDATE_GOLDEN=1 rewrites the golden files (review the diff).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/texts.h"
#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "tests/corpus/corpus_format.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

namespace fs = std::filesystem;

// Each corpus file of `kind` given to `convert` as the file `in`; the
// result, the host's errors and what it wrote to `out` are compared with
// the golden file beside it.
void CheckCorpus(const char* kind, const char* extension, const std::string& in,
                 const std::string& out,
                 const std::function<bool(FakePlatform&, const HostLink&)>& convert) {
  const fs::path dir = fs::path(KOLEKTOR_CORPUS_DIR) / kind;
  const bool update = std::getenv("KOLEKTOR_UPDATE_GOLDEN") != nullptr;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != extension) continue;
    ++files;
    EventLog log;
    FakePlatform platform(log);
    platform.read_chunk = 1 << 16;
    platform.files[in] = corpus::ReadAll(entry.path().string());
    TestHost host(log);
    const bool ok = convert(platform, HostLink(*host.instance(), 1));
    for (const std::string& e : host.errors) EXPECT_NE(text::Explain(e), nullptr) << e;
    const std::string got = corpus::Format(ok ? 1 : 0, host.errors, platform.files[out]);
    fs::path golden = entry.path();
    golden.replace_extension(".expected");
    if (update) corpus::WriteAll(golden.string(), got);
    EXPECT_EQ(got, corpus::ReadAll(golden.string())) << entry.path();
  }
  EXPECT_GE(files, 10);
}

TEST(Corpus, GoodsFiles) {
  CheckCorpus("goods", ".txt", "exp", "a", [](FakePlatform& platform, const HostLink& host) {
    auto in = platform.Open("exp", OpenMode::kRead);
    auto out = platform.Open("a", OpenMode::kWriteTruncate);
    return KonwertujTowary(*in, *out, GoodsOptions{}, host);
  });
}

// Each data file as a download that its utility ended with exit code 0,
// as the Windows tests' stand-in does: a file that ends inside a record is
// a cut download there and here.
TEST(Corpus, DataFiles) {
  CheckCorpus("data", ".dat", "a.dat", "imp", [](FakePlatform& platform, const HostLink& host) {
    return ConvertDataFile(platform, "a.dat", "imp", host, DownloadExit::kZero);
  });
}

}  // namespace
}  // namespace kolektor::testing
