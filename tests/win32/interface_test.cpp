// The real DLL as the host drives it: type, instances, callbacks, the
// settings form byte for byte, properties and the clear step.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "plugin/plugin_api.h"
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

// The three description entry points of the real DLL answer exactly what
// the plug-in's own tables answer, through the stdcall boundary: the result,
// every byte written and every byte left alone, for any function code,
// index, name and property number. The native tests hold those tables to
// the host's texts byte for byte.
TEST(Interface, ParametersByteForByte) {
  const Plugin& p = LoadPlugin();
  int described = 0;
  for (int function : {0, 300, 301, 302}) {
    for (int index = -2; index <= 7; ++index) {
      SCOPED_TRACE(std::to_string(function) + "/" + std::to_string(index));
      Guarded got[5], want[5];
      const int kind = p.parametr(function, index, got[0].bytes, got[1].bytes, got[2].bytes,
                                  got[3].bytes, got[4].bytes, 0);
      EXPECT_EQ(kind, DescribeParameter(function, index, want[0].bytes, want[1].bytes,
                                        want[2].bytes, want[3].bytes, want[4].bytes));
      for (int k = 0; k < 5; ++k)
        EXPECT_EQ(std::memcmp(got[k].bytes, want[k].bytes, sizeof got[k].bytes), 0) << "text " << k;
      described += kind != 0;
    }
  }
  EXPECT_EQ(described, 5);
}

TEST(Interface, ChoiceListsByteForByte) {
  const Plugin& p = LoadPlugin();
  int listed = 0;
  for (const char* name : {"port", "baud", "cena", "maxKod", "timeout", "Baud", "baud ", ""}) {
    for (int index = -1; index <= 10; ++index) {
      SCOPED_TRACE(std::string(name) + "/" + std::to_string(index));
      Guarded got, want;
      const int result = p.tekst_listy(name, index, got.bytes);
      EXPECT_EQ(result, DescribeChoice(name, index, want.bytes));
      EXPECT_EQ(std::memcmp(got.bytes, want.bytes, sizeof got.bytes), 0);
      listed += result;
    }
  }
  EXPECT_EQ(listed, 5 + 2 + 2 + 9);
}

TEST(Interface, PropertiesByteForByte) {
  const Plugin& p = LoadPlugin();
  std::vector<int> numbers = {INT32_MIN, -1, INT32_MAX};
  for (int number = 0; number <= 400; ++number) numbers.push_back(number);
  for (int number : numbers) {
    SCOPED_TRACE(number);
    Guarded got, want;
    p.wlasciwosci(got.bytes, number);
    DescribeProperty(want.bytes, number);
    EXPECT_EQ(std::memcmp(got.bytes, want.bytes, sizeof got.bytes), 0);
  }
  // The user's instructions, whole: 172 and 181 bytes in Windows-1250.
  Guarded send, load;
  p.wlasciwosci(send.bytes, 302);
  p.wlasciwosci(load.bytes, 303);
  EXPECT_EQ(std::strlen(send.bytes), 172u);
  EXPECT_EQ(std::strlen(load.bytes), 181u);
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
