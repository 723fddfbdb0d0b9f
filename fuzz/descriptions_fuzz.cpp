// Any function code, index, name and property number: the description
// entry points never write past the widths the host's buffers have.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "fuzz/invariants.h"
#include "plugin/plugin_api.h"

using namespace kolektor;

namespace {
constexpr char kGuard = '\x77';
void CheckGuard(const char* buffer, std::size_t width, std::size_t size) {
  for (std::size_t i = width; i < size; ++i)
    fuzz::Require(buffer[i] == kGuard, "nothing written past the width");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  char b[5][64];
  std::memset(b, kGuard, sizeof b);
  const HostWord function = in.ConsumeBool() ? 301 : in.ConsumeIntegral<HostWord>();
  const HostWord index = in.ConsumeIntegralInRange<HostWord>(-2, 7);
  const HostWord kind = DescribeParameter(function, index, b[0], b[1], b[2], b[3], b[4]);
  fuzz::Require(kind == 0 || kind == 2 || kind == 4, "kind");
  for (int k = 0; k < 5; ++k) CheckGuard(b[k], k == 1 ? 30 : 20, sizeof b[k]);
  if (kind == 0)
    for (int k = 0; k < 5; ++k) CheckGuard(b[k], 0, sizeof b[k]);

  char choice[32];
  std::memset(choice, kGuard, sizeof choice);
  const std::string name = in.ConsumeRandomLengthString(12);
  const HostWord choice_index = in.ConsumeIntegralInRange<HostWord>(-2, 12);
  const HostWord written = DescribeChoice(name.c_str(), choice_index, choice);
  CheckGuard(choice, written ? 10 : 0, sizeof choice);

  char property[320];
  std::memset(property, kGuard, sizeof property);
  DescribeProperty(property, in.ConsumeIntegral<HostWord>());
  CheckGuard(property, 299, sizeof property);
  fuzz::Require(property[std::strlen(property)] == '\0', "terminated");
  return 0;
}
