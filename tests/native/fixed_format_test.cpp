// The fast fixed-point formatting against std::to_chars, over every price
// and quantity a goods line can hold in the ranges that matter and a wide
// sample beyond them.
#include "export/fixed_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace kolektor {
namespace {

std::string Reference(float value, int decimals) {
  char text[64];
  const auto r = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                               std::chars_format::fixed, decimals);
  return std::string(text, r.ptr);
}

std::string Fast(float value, int decimals) {
  char text[64];
  return std::string(text, FormatFixed(value, decimals, text, sizeof text));
}

TEST(FixedFormat, EveryPriceAndQuantityUpTo20Million) {
  int mismatches = 0;
  for (std::int64_t n = -2000000; n <= 20000000 && mismatches < 10; ++n) {
    const float price = static_cast<float>(static_cast<double>(n) / 100.0);
    const float quantity = static_cast<float>(static_cast<double>(n) / 1000.0);
    if (Fast(price, 2) != Reference(price, 2)) {
      ++mismatches;
      ADD_FAILURE() << n << ": " << Fast(price, 2) << " vs " << Reference(price, 2);
    }
    if (Fast(quantity, 3) != Reference(quantity, 3)) {
      ++mismatches;
      ADD_FAILURE() << n << ": " << Fast(quantity, 3) << " vs " << Reference(quantity, 3);
    }
  }
}

TEST(FixedFormat, RandomFloatsOfEveryExponentAndEdgeValues) {
  std::mt19937 random(1250);
  for (int i = 0; i < 3000000; ++i) {
    std::uint32_t bits = random();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (value != value || value > 1e12f || value < -1e12f) continue;
    for (int decimals : {2, 3})
      ASSERT_EQ(Fast(value, decimals), Reference(value, decimals)) << bits;
  }
  const float edges[] = {0.0f,        -0.0f,         0.005f, 0.0005f, 0.125f,   0.375f, 8192.0625f,
                         131072.125f, 4294967296.0f, 1e-30f, -1e-30f, 1.4e-45f, 3.4e38f};
  for (float value : edges)
    for (int decimals : {2, 3}) EXPECT_EQ(Fast(value, decimals), Reference(value, decimals));
}

}  // namespace
}  // namespace kolektor
