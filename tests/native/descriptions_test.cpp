// The settings form and property texts, byte for byte, and registration.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/cp1250.h"
#include "plugin/plugin_api.h"
#include "tests/expected_descriptions.h"
#include "tests/guarded_buffer.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

using testing_support::Guarded;
using testing_support::kGuard;

struct ParameterCase {
  HostWord index;
  HostWord kind;
  const char* name;
  const char* label;  // UTF-8
  const char* default_value;
  const char* low;
  const char* high;
  std::size_t width, label_width;
};

const ParameterCase kParameterCases[] = {
    {0, 4, "port", "Port RS232 COM:", "1", "1", "999", 20, 20},
    {1, 2, "baud", "Prędkość", "9600", "", "", 20, 20},
    {2, 2, "cena", "Poziom cen", "Cena det", "", "", 20, 20},
    {3, 2, "maxKod", "Max. długość kodu kreskowego", "13", "", "", 20, 30},
    // The last row writes each text with its terminating zero only.
    {4, 2, "timeout", "Timeout", "5 min", "", "", 6, 8},
};

TEST(Parameters, EveryRowByteForByteWithinItsWidth) {
  for (const ParameterCase& c : kParameterCases) {
    SCOPED_TRACE(c.name);
    Guarded name, label, def, low, high;
    EXPECT_EQ(
        DescribeParameter(301, c.index, name.bytes, label.bytes, def.bytes, low.bytes, high.bytes),
        c.kind);
    const std::string label_text = Cp1250(c.label);
    if (c.index == 4) {
      // Text and one zero: the width is each text's own size plus one.
      name.ExpectExactly(c.name, std::strlen(c.name) + 1);
      label.ExpectExactly(label_text, label_text.size() + 1);
      def.ExpectExactly(c.default_value, std::strlen(c.default_value) + 1);
      low.ExpectExactly("", 1);
      high.ExpectExactly("", 1);
    } else {
      name.ExpectExactly(c.name, c.width);
      label.ExpectExactly(label_text, c.label_width);
      def.ExpectExactly(c.default_value, c.width);
      low.ExpectExactly(c.low, c.width);
      high.ExpectExactly(c.high, c.width);
    }
  }
}

TEST(Parameters, MaxKodLabelIs28BytesAndTwoZeros) {
  Guarded name, label, def, low, high;
  DescribeParameter(301, 3, name.bytes, label.bytes, def.bytes, low.bytes, high.bytes);
  EXPECT_EQ(std::strlen(label.bytes), 28u);
  EXPECT_EQ(label.bytes[28], '\0');
  EXPECT_EQ(label.bytes[29], '\0');
  EXPECT_EQ(label.bytes[30], kGuard);
}

TEST(Parameters, OutOfRangeWritesNothing) {
  struct Case {
    HostWord function, index;
  } cases[] = {{300, 0}, {302, 1}, {0, 0}, {301, 5}, {301, -1}, {301, 1000}};
  for (const Case& c : cases) {
    Guarded name, label, def, low, high;
    EXPECT_EQ(DescribeParameter(c.function, c.index, name.bytes, label.bytes, def.bytes, low.bytes,
                                high.bytes),
              0);
    EXPECT_TRUE(name.Untouched() && label.Untouched() && def.Untouched() && low.Untouched() &&
                high.Untouched())
        << c.function << "/" << c.index;
  }
}

TEST(Parameters, NullBufferWritesNothing) {
  Guarded name, label, def, low;
  EXPECT_EQ(DescribeParameter(301, 0, name.bytes, label.bytes, def.bytes, low.bytes, nullptr), 0);
  EXPECT_TRUE(name.Untouched() && label.Untouched() && def.Untouched() && low.Untouched());
}

TEST(Choices, EveryListInOrder) {
  for (const expected::ChoiceList& list : expected::kChoiceLists) {
    for (std::size_t i = 0; i <= list.choices.size(); ++i) {
      Guarded buffer;
      const HostWord got = DescribeChoice(list.name, static_cast<HostWord>(i), buffer.bytes);
      if (i == list.choices.size()) {
        EXPECT_EQ(got, 0) << list.name << " past its end";
        EXPECT_TRUE(buffer.Untouched());
        continue;
      }
      EXPECT_EQ(got, 1);
      const std::string& text = list.choices[i];
      buffer.ExpectExactly(text, list.padded ? 10 : text.size() + 1);
    }
  }
}

TEST(Choices, UnknownNamesAndNegativeIndexWriteNothing) {
  const char* names[] = {"port", "Baud", "baud ", "", "TIMEOUT", "cen"};
  for (const char* name : names) {
    Guarded buffer;
    EXPECT_EQ(DescribeChoice(name, 0, buffer.bytes), 0) << name;
    EXPECT_TRUE(buffer.Untouched());
  }
  Guarded buffer;
  EXPECT_EQ(DescribeChoice("timeout", -1, buffer.bytes), 0);
  EXPECT_EQ(DescribeChoice(nullptr, 0, buffer.bytes), 0);
  EXPECT_EQ(DescribeChoice("baud", 0, nullptr), 0);
  EXPECT_TRUE(buffer.Untouched());
}

TEST(Properties, EveryNumber) {
  for (const expected::Property& e : expected::kProperties) {
    SCOPED_TRACE(e.number);
    Guarded buffer;
    DescribeProperty(buffer.bytes, e.number);
    buffer.ExpectExactly(Cp1250(e.utf8), e.width);
    EXPECT_EQ(std::strlen(buffer.bytes), e.cp1250_size) << "bytes the host receives";
  }
  DescribeProperty(nullptr, 302);  // must not crash
}

TEST(Registration, ResultsAndFieldsPerType) {
  PluginInstance* instance = RegisterLibrary(77);
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->hostContext, 77);
  EXPECT_EQ(instance->statusCallback, nullptr);
  const std::uintptr_t a = 0x1000, b = 0x2000;
  EXPECT_EQ(RegisterCallback(instance, a, 2), 0);
  EXPECT_EQ(RegisterCallback(instance, b, 2), 0);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(instance->statusCallback), b);
  EXPECT_EQ(RegisterCallback(instance, a, 6), static_cast<std::intptr_t>(a));
  EXPECT_EQ(RegisterCallback(instance, b, 7), 0);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(instance->paramCallback), a);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(instance->errorCallback), b);
  const PluginInstance before = *instance;
  struct Other {
    HostWord type;
    std::intptr_t result;
  } others[] = {{5, -2}, {8, 1}, {0, -7}, {3, -4}, {INT32_MIN, INT32_MAX - 6}};
  for (const Other& o : others)
    EXPECT_EQ(RegisterCallback(instance, a, o.type), o.result) << o.type;
  EXPECT_EQ(std::memcmp(&before, instance, sizeof before), 0);
  EXPECT_EQ(LibraryType(), 3);
  FreeLibrary(instance);
  FreeLibrary(nullptr);
  EXPECT_EQ(LibraryType(), 3);
}

TEST(Cp1250, BothDirectionsOverTheWholeCodePage) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string back;
  EXPECT_FALSE(Cp1250FromUtf8(Utf8FromCp1250(all), back));
  // The five unused bytes come back as U+FFFD, which has no byte.
  std::string used;
  for (char c : all)
    if (c != '\x81' && c != '\x83' && c != '\x88' && c != '\x90' && c != '\x98') used += c;
  ASSERT_TRUE(Cp1250FromUtf8(Utf8FromCp1250(used), back));
  EXPECT_EQ(back, used);
  // What cannot be converted stands as "?", as Windows' conversion has it.
  struct Refused {
    const char* utf8;
    const char* cp1250;
  } refused[] = {{"a\xE4\xB8\xADz", "a?z"},                 // a CJK letter
                 {"\xC5", "?"},                             // a cut sequence
                 {"\xC5\x82\xF0\x9F\x98\x80", "\xB3????"},  // a 4-byte sequence after "ł"
                 {"\xC3(", "?("}};                          // a broken one
  for (const Refused& r : refused) {
    EXPECT_FALSE(Cp1250FromUtf8(r.utf8, back)) << r.utf8;
    EXPECT_EQ(back, r.cp1250) << r.utf8;
  }
  EXPECT_EQ(Utf8FromCp1250("\xB9\xE6"), "ąć");
}

TEST(ClearStep, PausesOneSecondWithNoCallback) {
  EventLog log;
  FakePlatform platform(log);
  TestHost host(log);
  EXPECT_EQ(ClearStep(platform), 1);
  EXPECT_EQ(platform.clock_ms, 1000u);
  EXPECT_EQ(log, (EventLog{"sleep 1000"}));
  // A trace switched on shows the step too.
  platform.trace_on = true;
  EXPECT_EQ(ClearStep(platform, 7), 1);
  ASSERT_EQ(platform.trace.size(), 2u);
  EXPECT_NE(platform.trace[0].find("[ZRBDLLInwZeruj #7 pid "), std::string::npos);
  EXPECT_NE(platform.trace[1].find("result 1 after 1000 ms"), std::string::npos);
}

}  // namespace
}  // namespace kolektor::testing
