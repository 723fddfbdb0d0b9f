// The real DLL as the host drives it: type, instances, callbacks, the
// settings form byte for byte, properties and the clear step.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/expected_descriptions.h"
#include "tests/guarded_buffer.h"
#include "tests/win32/plugin_loader.h"

namespace kolektor::wintest {
namespace {

using testing_support::Guarded;
using testing_support::kGuard;

TEST(Interface, TypeAndRegistration) {
  const Plugin& p = LoadPlugin();
  EXPECT_EQ(p.typ(), 3);
  void* instance = p.rejestruj(11, 1, 2, 3);
  ASSERT_NE(instance, nullptr);
  // Field 4 of the record is the host's context.
  EXPECT_EQ(static_cast<int*>(instance)[3], 11);
  void* a = reinterpret_cast<void*>(0x1234);
  void* b = reinterpret_cast<void*>(0x5678);
  EXPECT_EQ(p.callback(instance, a, 6), 0x1234);
  EXPECT_EQ(p.callback(instance, a, 2), 0);
  EXPECT_EQ(p.callback(instance, b, 2), 0);
  EXPECT_EQ(p.callback(instance, b, 7), 0);
  EXPECT_EQ(p.callback(instance, a, 5), -2);
  EXPECT_EQ(p.callback(instance, a, 8), 1);
  EXPECT_EQ(p.callback(instance, a, 0), -7);
  void* const* fields = static_cast<void* const*>(instance);
  EXPECT_EQ(fields[0], b) << "a second registration replaces the first";
  EXPECT_EQ(fields[1], a);
  EXPECT_EQ(fields[2], b);
  p.zwolnij(instance);
  p.zwolnij(nullptr);
  EXPECT_EQ(p.typ(), 3);
}

TEST(Interface, EachInstanceGetsItsOwnContext) {
  Host first(101), second(202);
  const Plugin& p = LoadPlugin();
  // Goods file missing: both still ask for their settings through callbacks.
  EXPECT_EQ(p.eksport(first.instance(), 7, "Z:\\nonexistent\\exp.txt"), 0);
  EXPECT_EQ(p.eksport(second.instance(), 8, "Z:\\nonexistent\\exp.txt"), 0);
  ASSERT_FALSE(first.contexts.empty());
  ASSERT_FALSE(second.contexts.empty());
  for (int c : first.contexts) EXPECT_EQ(c, 101);
  for (int c : second.contexts) EXPECT_EQ(c, 202);
  for (int h : first.handles) EXPECT_EQ(h, 7);
  for (int h : second.handles) EXPECT_EQ(h, 8);
  EXPECT_EQ(first.events.at(1), "status \nTransakcja w toku...");
}

TEST(Interface, ClearStepTakesASecondWithNoCallback) {
  Host host(303);
  const Plugin& p = LoadPlugin();
  const DWORD start = GetTickCount();
  EXPECT_EQ(p.zeruj(host.instance(), 5), 1);
  EXPECT_GE(GetTickCount() - start, 1000u - 20u);  // the upper bound: WinPauses
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(p.zeruj(nullptr, 0), 1);
}

TEST(Interface, ParametersByteForByte) {
  const Plugin& p = LoadPlugin();
  struct Row {
    int kind;
    const char* texts[5];  // UTF-8
    std::size_t widths[5];
  } rows[] = {
      {4, {"port", "Port RS232 COM:", "1", "1", "999"}, {20, 20, 20, 20, 20}},
      {2, {"baud", "Prędkość", "9600", "", ""}, {20, 20, 20, 20, 20}},
      {2, {"cena", "Poziom cen", "Cena det", "", ""}, {20, 20, 20, 20, 20}},
      {2, {"maxKod", "Max. długość kodu kreskowego", "13", "", ""}, {20, 30, 20, 20, 20}},
      {2, {"timeout", "Timeout", "5 min", "", ""}, {8, 8, 6, 1, 1}},
  };
  for (int index = 0; index < 5; ++index) {
    Guarded b[5];
    EXPECT_EQ(p.parametr(301, index, b[0].bytes, b[1].bytes, b[2].bytes, b[3].bytes, b[4].bytes, 0),
              rows[index].kind);
    for (int k = 0; k < 5; ++k)
      b[k].ExpectExactly(Cp1250(rows[index].texts[k]), rows[index].widths[k]);
  }
  for (auto [function, index] : {std::pair{300, 0}, {302, 0}, {301, 5}, {301, -1}}) {
    Guarded b[5];
    EXPECT_EQ(
        p.parametr(function, index, b[0].bytes, b[1].bytes, b[2].bytes, b[3].bytes, b[4].bytes, 0),
        0);
    for (const Guarded& g : b) EXPECT_TRUE(g.Untouched());
  }
}

TEST(Interface, ChoiceListsByteForByte) {
  const Plugin& p = LoadPlugin();
  for (const expected::ChoiceList& list : expected::kChoiceLists) {
    for (std::size_t i = 0; i < list.choices.size(); ++i) {
      Guarded b;
      EXPECT_EQ(p.tekst_listy(list.name, static_cast<int>(i), b.bytes), 1);
      b.ExpectExactly(list.choices[i], list.padded ? 10 : list.choices[i].size() + 1);
    }
    Guarded past;
    EXPECT_EQ(p.tekst_listy(list.name, static_cast<int>(list.choices.size()), past.bytes), 0);
    EXPECT_TRUE(past.Untouched());
  }
  for (const char* name : {"port", "Baud", "baud "}) {
    Guarded b;
    EXPECT_EQ(p.tekst_listy(name, 0, b.bytes), 0);
    EXPECT_TRUE(b.Untouched());
  }
}

TEST(Interface, PropertiesByteForByte) {
  const Plugin& p = LoadPlugin();
  for (const expected::Property& e : expected::kProperties) {
    SCOPED_TRACE(e.number);
    const std::string text = Cp1250(e.utf8);
    EXPECT_EQ(text.size(), e.cp1250_size);
    Guarded b;
    p.wlasciwosci(b.bytes, e.number);
    b.ExpectExactly(text, e.width);
  }
}

TEST(Interface, VersionResourceIsReadable) {
  char path[MAX_PATH];
  LoadPlugin();
  GetModuleFileNameA(GetModuleHandleA("kolektor.dll"), path, sizeof path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));
  char* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductName",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "kolektor");
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "kolektor.dll");
}

TEST(Interface, NullPointersAreHarmless) {
  const Plugin& p = LoadPlugin();
  char buffer[40];
  EXPECT_EQ(p.parametr(301, 0, nullptr, buffer, buffer, buffer, buffer, 0), 0);
  EXPECT_EQ(p.tekst_listy(nullptr, 0, buffer), 0);
  EXPECT_EQ(p.tekst_listy("baud", 0, nullptr), 0);
  p.wlasciwosci(nullptr, 1);
  EXPECT_EQ(p.eksport(nullptr, 0, "x"), 0);
  EXPECT_EQ(p.import_(nullptr, 0, "x"), 0);
  Host host(404);
  EXPECT_EQ(p.eksport(host.instance(), 0, nullptr), 0);
}

}  // namespace
}  // namespace kolektor::wintest
