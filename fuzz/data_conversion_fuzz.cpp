// Any data file through the counts conversion.
#include <cstdint>

#include "fuzz/invariants.h"
#include "import/data_conversion.h"
#include "tests/native/test_host.h"

using namespace kolektor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  testing::EventLog log;
  testing::FakePlatform platform(log);
  platform.read_chunk = 1 + size % 13;
  platform.files["a.dat"] = bytes;
  testing::TestHost host(log);
  const bool ok = ConvertDataFile(platform, "a.dat", "imp", HostLink(*host.instance(), 1));
  fuzz::Require(host.errors.size() == (ok ? 0u : 1u), "one error exactly when it fails");
  fuzz::Require(platform.OpenFiles() == 0, "both files closed");
  const std::string& counts = platform.files["imp"];
  fuzz::CheckCountsFile(counts);
  // Records ended by CR with LF dropped; never more than the CRs read.
  fuzz::Require(fuzz::Count(counts, '\n') <= fuzz::Count(bytes, '\r'), "no invented record");
  fuzz::Require(platform.files["a.dat"] == bytes, "the data file is only read");
  // Every quantity that reads as a number round-trips the thousandths.
  std::int32_t n = 0;
  if (ReadThousandths(bytes.substr(0, 8), n) == QuantityRead::kNumber) {
    char text[16];
    const std::size_t len = FormatThousandths(n, text);
    fuzz::Require(len >= 5 && len <= 11, "formatted width");
  }
  return 0;
}
