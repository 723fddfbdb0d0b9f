// The settings form and property texts, byte for byte, and registration.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

constexpr char kGuard = '\x5A';

// A buffer with guard bytes everywhere, so both what was written and
// what was left alone can be checked.
struct Guarded {
  char bytes[400];
  Guarded() { std::memset(bytes, kGuard, sizeof bytes); }
  // The text, its zero padding up to `width`, and guards behind it.
  void ExpectExactly(const std::string& text, std::size_t width) const {
    ASSERT_LE(text.size() + 1, width);
    EXPECT_EQ(std::string(bytes, text.size()), text);
    for (std::size_t i = text.size(); i < width; ++i)
      EXPECT_EQ(bytes[i], '\0') << "byte " << i << " of " << text;
    EXPECT_EQ(bytes[width], kGuard) << "written past " << width;
  }
  bool Untouched() const {
    for (char c : bytes)
      if (c != kGuard) return false;
    return true;
  }
};

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
  struct List {
    const char* name;
    std::vector<std::string> choices;
    bool padded;
  } lists[] = {
      {"baud", {"9600", "19200", "38400", "57600", "115200"}, true},
      {"cena", {"Cena det", "Cena zak"}, true},
      {"maxKod", {"13", "20"}, true},
      {"timeout",
       {"1 min", "2 min", "5 min", "10 min", "15 min", "30 min", "60 min", "120 min", "600 min"},
       false},
  };
  for (const List& list : lists) {
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
  const std::string send = Cp1250(
      "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
      "następnie umieść inwentaryzator w doku i załącz go.\n\n"
      "Wybierz z menu głównego: 2.WYSLIJ DO ZRB. poczym DATA FILE");
  const std::string load = Cp1250(
      "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
      "następnie umieść inwentaryzator w doku i załącz go.\n\n"
      "Wybierz z menu głównego 3.KONFIGURACJA poczym 8.POBR. DANYCH Z ZRB.");
  ASSERT_EQ(send.size(), 172u);
  ASSERT_EQ(load.size(), 181u);
  struct Case {
    HostWord number;
    std::string text;
    std::size_t width;
  } cases[] = {
      {1, "CipherLab 8x00", 20},
      {2, "RX_Valdor", 20},
      {301, "1", 5},
      {302, send, 299},
      {303, load, 299},
      {304, "", 2},
      {305, "0", 5},
      {306, "0", 5},
      {307, "0", 5},
      {308, "0", 5},
      {0, "", 2},
      {3, "", 2},
      {300, "", 2},
      {309, "", 2},
      {-1, "", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    Guarded buffer;
    DescribeProperty(buffer.bytes, c.number);
    buffer.ExpectExactly(c.text, c.width);
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

TEST(ClearStep, PausesOneSecondWithNoCallback) {
  EventLog log;
  FakePlatform platform(log);
  TestHost host(log);
  EXPECT_EQ(ClearStep(platform), 1);
  EXPECT_EQ(platform.clock_ms, 1000u);
  EXPECT_EQ(log, (EventLog{"sleep 1000"}));
}

}  // namespace
}  // namespace kolektor::testing
