// The shared corpus through the real DLL, against the golden files the
// native build is checked with: the Windows runtime must not change a byte.
// Each file runs on a thread of its own, so the fixed pauses overlap.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/corpus/corpus_format.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  std::string file, expected, got;
};

template <typename Run>
void RunCorpus(const char* kind, const char* extension, Run run) {
  std::vector<Outcome> outcomes;
  for (const auto& entry :
       fs::directory_iterator(WinePath(std::string(KOLEKTOR_CORPUS_DIR) + "/" + kind)))
    if (entry.path().extension() == extension) outcomes.push_back({entry.path().string(), "", ""});
  ASSERT_GE(outcomes.size(), 10u);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    threads.emplace_back([&outcomes, i, kind, run] {
      Outcome& o = outcomes[i];
      o.expected = corpus::ReadAll(fs::path(o.file).replace_extension(".expected").string());
      o.got = run(std::string(kind) + "_" + std::to_string(i), corpus::ReadAll(o.file),
                  static_cast<Word>(500 + i));
    });
  }
  for (std::thread& t : threads) t.join();
  for (const Outcome& o : outcomes) EXPECT_EQ(o.got, o.expected) << o.file;
}

TEST(WinCorpus, GoodsFilesThroughTheExport) {
  const std::string dir = FreshDir("corpus_goods_env");
  StandinEnv env(dir);
  RunCorpus("goods", ".txt", [](const std::string& name, const std::string& bytes, Word context) {
    const std::string dir = FreshDir(name);
    WriteFileBytes(dir + "exp.txt", bytes);
    Host host(context);
    const int result = LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str());
    return corpus::Format(result, host.errors, ReadFileBytes(dir + "a"));
  });
}

TEST(WinCorpus, DataFilesThroughTheImport) {
  const std::string dir = FreshDir("corpus_data_env");
  StandinEnv env(dir);
  RunCorpus("data", ".dat", [](const std::string& name, const std::string& bytes, Word context) {
    const std::string dir = FreshDir(name);
    CreateDirectoryA((dir + "INW").c_str(), nullptr);
    // The download stand-in writes this as a.dat in its directory.
    WriteFileBytes(dir + "kolektor-standin.dat", bytes);
    Host host(context);
    MessageBoxCatcher boxes;
    const std::string counts = dir + "INW\\imp.txt";
    const int result = LoadPlugin().import_(host.instance(), 1, counts.c_str());
    return corpus::Format(result, host.errors, ReadFileBytes(counts));
  });
}

}  // namespace
}  // namespace kolektor::wintest
