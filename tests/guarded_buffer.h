// A caller's buffer filled with guard bytes, so that a description test
// sees both what was written and what was left alone. Shared by the native
// and the Windows tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kolektor::testing_support {

constexpr char kGuard = '\x5A';

struct Guarded {
  char bytes[400];
  Guarded() { std::memset(bytes, kGuard, sizeof bytes); }
  // The text, its zero padding up to `width`, and guards behind it.
  void ExpectExactly(const std::string& text, std::size_t width) const {
    ASSERT_LE(text.size() + 1, width);
    EXPECT_EQ(std::string(bytes, text.size()), text);
    for (std::size_t i = text.size(); i < width; ++i)
      EXPECT_EQ(bytes[i], '\0') << "byte " << i << " of " << text;
    EXPECT_EQ(bytes[width], kGuard) << text << " written past " << width;
  }
  bool Untouched() const {
    for (char c : bytes)
      if (c != kGuard) return false;
    return true;
  }
};

}  // namespace kolektor::testing_support
