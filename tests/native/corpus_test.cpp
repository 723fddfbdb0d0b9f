// The shared corpus through the native build. The Windows tests run the
// same files through the real DLL against the same golden files, so any
// difference between the runtimes' number handling shows as a failure.
// KOLEKTOR_UPDATE_GOLDEN=1 rewrites the golden files (review the diff).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "base/texts.h"
#include "tests/corpus/corpus_format.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

namespace fs = std::filesystem;

void CheckCorpus(const char* kind, const char* extension,
                 const std::function<std::string(const std::string&)>& convert) {
  const fs::path dir = fs::path(KOLEKTOR_CORPUS_DIR) / kind;
  const bool update = std::getenv("KOLEKTOR_UPDATE_GOLDEN") != nullptr;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != extension) continue;
    ++files;
    const std::string got = convert(corpus::ReadAll(entry.path().string()));
    fs::path golden = entry.path();
    golden.replace_extension(".expected");
    if (update) corpus::WriteAll(golden.string(), got);
    EXPECT_EQ(got, corpus::ReadAll(golden.string())) << entry.path();
  }
  EXPECT_GE(files, 10);
}

TEST(Corpus, GoodsFiles) {
  CheckCorpus("goods", ".txt", [](const std::string& bytes) {
    EventLog log;
    FakePlatform platform(log);
    platform.read_chunk = 1 << 16;
    platform.files["exp"] = bytes;
    TestHost host(log);
    auto in = platform.Open("exp", OpenMode::kRead);
    auto out = platform.Open("a", OpenMode::kWriteTruncate);
    const bool ok = KonwertujTowary(*in, *out, GoodsOptions{}, HostLink(*host.instance(), 1));
    for (const std::string& e : host.errors) EXPECT_NE(text::Explain(e), nullptr) << e;
    return corpus::Format(ok ? 1 : 0, host.errors, platform.files["a"]);
  });
}

TEST(Corpus, DataFiles) {
  CheckCorpus("data", ".dat", [](const std::string& bytes) {
    EventLog log;
    FakePlatform platform(log);
    platform.read_chunk = 1 << 16;
    platform.files["a.dat"] = bytes;
    TestHost host(log);
    const bool ok = ConvertDataFile(platform, "a.dat", "imp", HostLink(*host.instance(), 1));
    for (const std::string& e : host.errors) EXPECT_NE(text::Explain(e), nullptr) << e;
    return corpus::Format(ok ? 1 : 0, host.errors, platform.files["imp"]);
  });
}

}  // namespace
}  // namespace kolektor::testing
