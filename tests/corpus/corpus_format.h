// The golden form of one conversion, shared by the native and the Windows
// tests: both builds must produce these bytes for every file of the corpus.
//   result N
//   error TEXT        (only for result 0)
//   --- output
//   the lookup or counts file, byte for byte
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kolektor::corpus {

inline std::string Format(int result, const std::vector<std::string>& errors,
                          const std::string& output) {
  std::string text = "result " + std::to_string(result) + "\n";
  for (const std::string& e : errors) text += "error " + e + "\n";
  return text + "--- output\n" + output;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace kolektor::corpus
