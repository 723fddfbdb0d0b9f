// Writes the message reference into the shipped files from the plug-in's
// message table: kolektor_docs SOURCE_DIR
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/docs/reference_docs.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  std::printf("written: %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kolektor_docs SOURCE_DIR\n");
    return 2;
  }
  const std::string packaging = std::string(argv[1]) + "/packaging/";
  Write(packaging + "KOMUNIKATY.txt", kolektor::docs::MessagesFile());
  Write(packaging + "INSTALL.txt",
        kolektor::docs::WithMessageSection(Read(packaging + "INSTALL.txt")));
  return 0;
}
