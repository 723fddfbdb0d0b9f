// The real DLL as the host drives it: type, instances, callbacks, the
// settings form byte for byte, properties and the clear step.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "tests/expected_descriptions.h"
#include "tests/guarded_buffer.h"
#include "tests/win32/plugin_loader.h"

#if defined(__i386__)
// Calls a function with `count` 32-bit arguments pushed as the host pushes
// them and answers how many bytes of them the function removed from the
// stack on return: all of them under stdcall, none under cdecl.
extern "C" int kolektor_popped_bytes(const void* function, const int* args, int count);
asm(R"(
    .text
    .globl _kolektor_popped_bytes
_kolektor_popped_bytes:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl 16(%ebp), %ecx
    leal (%esp,%ecx,4), %ebx
    movl 8(%ebp), %eax
    call *%eax
    movl %esp, %eax
    subl %ebx, %eax
    movl 16(%ebp), %ecx
    leal (%eax,%ecx,4), %eax
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
#endif

namespace kolektor::wintest {
namespace {

using testing_support::Guarded;
using testing_support::kGuard;

// A word that needs every bit of the machine's word: in a 64-bit build that
// cut a context or a pointer to 32 bits, its upper half would be lost.
Word Wide(std::uint64_t low32, std::uint64_t high32) {
  return static_cast<Word>(
      static_cast<std::uintptr_t>(sizeof(Word) == 8 ? high32 << 32 | low32 : low32));
}

TEST(Interface, TypeAndRegistration) {
  const Plugin& p = LoadPlugin();
  EXPECT_EQ(p.typ(), 3);
  const Word context = Wide(11, 0x7EDCBA98);
  void* instance = p.rejestruj(context, 1, 2, 3);
  ASSERT_NE(instance, nullptr);
  // Field 4 of the record is the host's context, whole.
  EXPECT_EQ(static_cast<Word*>(instance)[3], context);
  void* a = reinterpret_cast<void*>(Wide(0x1234, 0x7FF61234));
  void* b = reinterpret_cast<void*>(Wide(0x5678, 0x7FF65678));
  EXPECT_EQ(p.callback(instance, a, 6), reinterpret_cast<Word>(a)) << "the pointer itself, whole";
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
  const Word one = Wide(101, 0x10000), two = Wide(202, 0x20000);
  Host first(one), second(two);
  const Plugin& p = LoadPlugin();
  // Goods file missing: both still ask for their settings through callbacks.
  EXPECT_EQ(p.eksport(first.instance(), 7, "Z:\\nonexistent\\exp.txt"), 0);
  EXPECT_EQ(p.eksport(second.instance(), 8, "Z:\\nonexistent\\exp.txt"), 0);
  ASSERT_FALSE(first.contexts.empty());
  ASSERT_FALSE(second.contexts.empty());
  for (Word c : first.contexts) EXPECT_EQ(c, one);
  for (Word c : second.contexts) EXPECT_EQ(c, two);
  for (Word h : first.handles) EXPECT_EQ(h, 7);
  for (Word h : second.handles) EXPECT_EQ(h, 8);
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

#if defined(__i386__)
// Every entry point removes its own arguments (stdcall), as the host's
// calls expect: one that left them would move the host's stack a little
// with every call.
TEST(Interface, EveryEntryPointRemovesItsArguments) {
  const Plugin& p = LoadPlugin();
  Host host(505);
  char buffer[400] = {};
  auto word = [](auto value) {
    if constexpr (std::is_pointer_v<decltype(value)>)
      return static_cast<int>(reinterpret_cast<std::intptr_t>(value));
    else
      return static_cast<int>(value);
  };
  void* fresh = p.rejestruj(1, 0, 0, 0);
  const struct Case {
    const char* name;
    const void* function;
    std::vector<int> args;
  } cases[] = {
      {"ZRBDLLTypBiblioteki", reinterpret_cast<const void*>(p.typ), {}},
      {"ZRBDLLRejestrujBiblioteke", reinterpret_cast<const void*>(p.rejestruj), {1, 2, 3, 4}},
      {"ZRBDLLRejestrujCallback",
       reinterpret_cast<const void*>(p.callback),
       {word(host.instance()), 0, 9}},
      {"ZRBDLLParametr",
       reinterpret_cast<const void*>(p.parametr),
       {300, 0, word(buffer), word(buffer), word(buffer), word(buffer), word(buffer), 0}},
      {"ZRBDLLTekstListyParametru",
       reinterpret_cast<const void*>(p.tekst_listy),
       {word("baud"), 0, word(buffer)}},
      {"ZRBDLLWlasciwosci", reinterpret_cast<const void*>(p.wlasciwosci), {word(buffer), 1}},
      {"ZRBDLLInwEksportujTowary",
       reinterpret_cast<const void*>(p.eksport),
       {0, 1, word("Z:\\nonexistent\\exp.txt")}},
      {"ZRBDLLInwZeruj", reinterpret_cast<const void*>(p.zeruj), {0, 2}},
      {"ZRBDLLInwImport",
       reinterpret_cast<const void*>(p.import_),
       {0, 3, word("Z:\\nonexistent\\INW\\imp.txt")}},
      {"ZRBDLLZwolnijBiblioteke", reinterpret_cast<const void*>(p.zwolnij), {word(fresh)}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kolektor_popped_bytes(c.function, c.args.data(), static_cast<int>(c.args.size())),
              static_cast<int>(4 * c.args.size()))
        << c.name;
}
#endif

}  // namespace
}  // namespace kolektor::wintest
