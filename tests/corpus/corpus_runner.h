// The one runner of the golden corpus, for every build: each input file of
// a kind ("goods": *.txt, "data": *.dat) is given to `run`, in as many
// variants as asked (a host's stack misaligned three ways), on threads of
// their own when asked (the real DLL's fixed pauses then overlap), and what
// it gives is compared with the .expected file beside the input.
// KOLEKTOR_UPDATE_GOLDEN=1 rewrites the golden files from the first variant
// instead (review the diff).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/corpus/corpus_format.h"

namespace kolektor::corpus {

struct Case {
  std::string file;   // the input's path
  std::string input;  // its bytes
  int variant = 0;
  std::size_t number = 0;  // unique within the run: for folders and host contexts
};

struct Outcome {
  std::string got;      // in the golden form (Format)
  std::string problem;  // anything else that went wrong; empty when nothing did
};

template <typename Run>  // Outcome run(const Case&)
void RunCorpus(const std::string& corpus_dir, const std::string& kind, Run run, int variants = 1,
               bool in_parallel = false) {
  namespace fs = std::filesystem;
  const std::string extension = kind == "goods" ? ".txt" : ".dat";
  std::vector<Case> cases;
  for (const auto& entry : fs::directory_iterator(fs::path(corpus_dir) / kind))
    if (entry.path().extension() == extension)
      for (int variant = 0; variant < variants; ++variant)
        cases.push_back(
            {entry.path().string(), ReadAll(entry.path().string()), variant, cases.size()});
  ASSERT_GE(cases.size(), 10u * static_cast<std::size_t>(variants)) << "files of " << kind;
  std::vector<Outcome> outcomes(cases.size());
  if (in_parallel) {
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < cases.size(); ++i)
      threads.emplace_back([&, i] { outcomes[i] = run(cases[i]); });
    for (std::thread& t : threads) t.join();
  } else {
    for (std::size_t i = 0; i < cases.size(); ++i) outcomes[i] = run(cases[i]);
  }
  const bool update = std::getenv("KOLEKTOR_UPDATE_GOLDEN") != nullptr;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string golden = fs::path(cases[i].file).replace_extension(".expected").string();
    if (update && cases[i].variant == 0) WriteAll(golden, outcomes[i].got);
    EXPECT_EQ(outcomes[i].got, ReadAll(golden))
        << cases[i].file << ", variant " << cases[i].variant;
    EXPECT_EQ(outcomes[i].problem, "") << cases[i].file << ", variant " << cases[i].variant;
  }
}

}  // namespace kolektor::corpus
