// One conversion as a process of its own, so that its peak memory can be
// measured: kolektor_convert goods|data IN OUT
#include <cstdio>
#include <cstring>

#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "tools/files/stdio_platform.h"

namespace {
void KOLEKTOR_STDCALL PrintError(kolektor::HostWord, kolektor::HostWord, const char* text) {
  std::fprintf(stderr, "%s\n", text);
}
void KOLEKTOR_STDCALL NoParam(kolektor::HostWord, kolektor::HostWord, const char*, char* v) {
  v[0] = 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kolektor_convert goods|data IN OUT\n");
    return 2;
  }
  const kolektor::PluginInstance instance{&PrintError, &NoParam, &PrintError, 0};
  const kolektor::HostLink host(instance, 1);
  kolektor::StdioPlatform platform;
  bool ok = false;
  if (std::strcmp(argv[1], "goods") == 0) {
    auto in = platform.Open(argv[2], kolektor::OpenMode::kRead);
    auto out = platform.Open(argv[3], kolektor::OpenMode::kWriteTruncate);
    ok = in && out && kolektor::KonwertujTowary(*in, *out, kolektor::GoodsOptions{}, host);
  } else {
    ok = kolektor::ConvertDataFile(platform, argv[2], argv[3], host);
  }
  return ok ? 0 : 1;
}
