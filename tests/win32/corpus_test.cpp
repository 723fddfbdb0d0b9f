// The shared corpus through the real DLL, against the golden files the
// native build is checked with: the Windows runtime must not change a byte.
// Each file runs on a thread of its own, so the fixed pauses overlap.
#include <gtest/gtest.h>

#include "tests/corpus/corpus_runner.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const std::string kCorpus = WinePath(KOLEKTOR_CORPUS_DIR);

TEST(WinCorpus, GoodsFilesThroughTheExport) {
  const std::string dir = FreshDir("corpus_goods_env");
  StandinEnv env(dir);
  corpus::RunCorpus(
      kCorpus, "goods",
      [](const corpus::Case& c) {
        const std::string dir = FreshDir("goods_" + std::to_string(c.number));
        WriteFileBytes(dir + "exp.txt", c.input);
        Host host(static_cast<Word>(500 + c.number));
        const int result = LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str());
        return corpus::Outcome{corpus::Format(result, host.errors, ReadFileBytes(dir + "a")), ""};
      },
      1, true);
}

TEST(WinCorpus, DataFilesThroughTheImport) {
  const std::string dir = FreshDir("corpus_data_env");
  StandinEnv env(dir);
  corpus::RunCorpus(
      kCorpus, "data",
      [](const corpus::Case& c) {
        const std::string dir = FreshDir("data_" + std::to_string(c.number));
        CreateDirectoryA((dir + "INW").c_str(), nullptr);
        // The download stand-in writes this as a.dat in its directory.
        WriteFileBytes(dir + "kolektor-standin.dat", c.input);
        Host host(static_cast<Word>(500 + c.number));
        MessageBoxCatcher boxes;
        const std::string counts = dir + "INW\\imp.txt";
        const int result = LoadPlugin().import_(host.instance(), 1, counts.c_str());
        return corpus::Outcome{corpus::Format(result, host.errors, ReadFileBytes(counts)), ""};
      },
      1, true);
}

}  // namespace
}  // namespace kolektor::wintest
