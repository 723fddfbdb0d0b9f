// Any goods file through KonwertujTowary: one message exactly when it fails,
// every record well formed, one record per line ended before the end or
// the first fault.
#include <cstdint>

#include "export/goods_conversion.h"
#include "fuzz/invariants.h"
#include "tests/native/test_host.h"

using namespace kolektor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string goods(reinterpret_cast<const char*>(data + 1), size - 1);
  testing::EventLog log;
  testing::FakePlatform platform(log);
  platform.read_chunk = 1 + (options >> 3);
  platform.files["exp"] = goods;
  testing::TestHost host(log);
  GoodsOptions settings;
  settings.price_level = (options & 3);  // 0 and 3 fall back to the default
  settings.max_code_length = (options & 4) ? 20 : 13;
  auto in = platform.Open("exp", OpenMode::kRead);
  auto out = platform.Open("a", OpenMode::kWriteTruncate);
  const bool ok = KonwertujTowary(*in, *out, settings, HostLink(*host.instance(), 1));
  fuzz::Require(host.errors.size() == (ok ? 0u : 1u), "one error exactly when it fails");
  fuzz::Require(platform.OpenFiles() == 0, "both files closed");
  const std::string& lookup = platform.files["a"];
  fuzz::CheckLookupFile(lookup, settings.max_code_length);
  const std::size_t records = fuzz::Count(lookup, '\n');
  const std::size_t lines = fuzz::Count(goods, '\r');
  if (ok)
    fuzz::Require(records == lines, "a record for every complete line");
  else
    fuzz::Require(records <= lines, "no record beyond the lines read");
  fuzz::Require(platform.files["exp"] == goods, "the goods file is only read");
  return 0;
}
