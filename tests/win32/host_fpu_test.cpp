// The real DLL driven from a host with its own floating-point state (Delphi's
// defaults, or rounding toward zero) and a stack aligned only to 4, 8 or 12
// bytes, as hosts built with older tools call: the golden corpus comes out
// byte for byte, and the host's state is the same after every call and
// inside every callback. The 64-bit test build has one calling convention
// and an aligned stack by its ABI: there the same hostile states are
// tested with plain calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <type_traits>

#include "base/fpu_guard.h"
#include "tests/corpus/corpus_runner.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

#if defined(__i386__)
// Calls a stdcall function with `count` 32-bit arguments on a stack that is
// 16-byte aligned and then moved down by `shift` bytes.
extern "C" int kolektor_call_shifted(const void* function, const int* args, int count, int shift);
asm(R"(
    .text
    .globl _kolektor_call_shifted
_kolektor_call_shifted:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 8(%ebp), %eax
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    leal 0(,%ecx,4), %edi
    subl %edi, %esp
    subl $16, %esp
    andl $-16, %esp
    subl 20(%ebp), %esp
    xorl %edi, %edi
1:  cmpl %ecx, %edi
    jge 2f
    movl (%esi,%edi,4), %edx
    movl %edx, (%esp,%edi,4)
    incl %edi
    jmp 1b
2:  call *%eax
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
constexpr int kShifts[] = {4, 8, 12};
#else
constexpr int kShifts[] = {0};
#endif

namespace kolektor::wintest {
namespace {

struct HostFpu {
  const char* name;
  std::uint16_t x87;
  std::uint32_t mxcsr;
};
void PrintTo(const HostFpu& h, std::ostream* out) { *out << h.name; }

constexpr HostFpu kDelphi{"Delphi", 0x1332, 0x1900};
constexpr HostFpu kTowardZero{"zero", 0x0F7F, 0x7F80};

void LoadHostFpu(const HostFpu& h) {
  FpuState s;
  SaveFpu(s);
  s.x87[0] = (s.x87[0] & 0xFFFF0000u) | h.x87;
  s.mxcsr = h.mxcsr;
  LoadFpu(s);
}

#if defined(__i386__)
template <typename T>
int Arg(T value) {
  if constexpr (std::is_pointer_v<T>)
    return static_cast<int>(reinterpret_cast<std::intptr_t>(value));
  else
    return static_cast<int>(value);
}
#endif

// The MXCSR bits compared: all of them where the host's own code runs on the
// x87 unit (32-bit wine's message boxes), the control bits only on x86-64,
// where the message boxes that run in the host's turn are SSE code of
// wine's that may raise the sticky inexact flag in the host's MXCSR, as any
// code of the host's may: a status bit, not a state the plug-in sets.
constexpr std::uint32_t kCompared = sizeof(void*) == 8 ? ~0x3Fu : ~0u;

// What one host thread saw: its state before each call, and every
// mismatch after a call or inside a callback.
struct Watch {
  int shift = 0;
  std::uint16_t x87 = 0;
  std::uint32_t mxcsr = 0;
  std::vector<std::string> mismatches;
  std::vector<std::string> errors;
  std::map<std::string, std::string> params{{"port", "1"},
                                            {"baud", "9600"},
                                            {"cena", "Cena det"},
                                            {"maxKod", "13"},
                                            {"timeout", "5 min"}};

  void Check(const char* where) {
    const std::uint16_t now_x87 = X87Control();
    const std::uint32_t now_mxcsr = Mxcsr();
    if (now_x87 == x87 && (now_mxcsr & kCompared) == (mxcsr & kCompared)) return;
    char state[120];
    std::snprintf(state, sizeof state, " (x87 %04X, MXCSR %04X; the host's: %04X, %04X)", now_x87,
                  now_mxcsr, x87, mxcsr);
    mismatches.push_back(std::string(where) + state);
  }
  // The entry point's result as a word; a pointer (an instance) whole.
  template <typename Fn, typename... A>
  Word Call(const char* name, Fn function, A... args) {
    x87 = X87Control();
    mxcsr = Mxcsr();
#if defined(__i386__)
    const int words[sizeof...(A) + 1] = {Arg(args)...};
    const Word result = kolektor_call_shifted(reinterpret_cast<const void*>(function), words,
                                              static_cast<int>(sizeof...(A)), shift);
#else
    Word result = 0;
    if constexpr (std::is_void_v<decltype(function(args...))>)
      function(args...);
    else if constexpr (std::is_pointer_v<decltype(function(args...))>)
      result = reinterpret_cast<Word>(function(args...));
    else
      result = static_cast<Word>(function(args...));
#endif
    Check(name);
    return result;
  }
};

thread_local Watch* t_watch = nullptr;

void __stdcall OnStatus(Word, Word, const char*) { t_watch->Check("status callback"); }
void __stdcall OnError(Word, Word, const char* text) {
  t_watch->Check("error callback");
  t_watch->errors.push_back(text);
}
void __stdcall OnParam(Word, Word, const char* name, char* value) {
  t_watch->Check("param callback");
  const std::string& answer = t_watch->params[name];
  std::memcpy(value, answer.c_str(), answer.size() + 1);
}

// One operation through every entry point that a host uses around it.
template <typename Operation>
int HostRun(Watch& w, Word context, Operation operation) {
  const Plugin& p = LoadPlugin();
  t_watch = &w;
  EXPECT_EQ(w.Call("typ", p.typ), 3);
  char b[5][400] = {};
  for (Word index = 0; index <= 5; ++index)
    w.Call("parametr", p.parametr, 301, index, b[0], b[1], b[2], b[3], b[4], 0);
  w.Call("tekst_listy", p.tekst_listy, "timeout", 8, b[0]);
  w.Call("wlasciwosci", p.wlasciwosci, b[0], 302);
  void* instance = reinterpret_cast<void*>(w.Call("rejestruj", p.rejestruj, context, 0, 0, 0));
  w.Call("callback", p.callback, instance, reinterpret_cast<void*>(&OnStatus), 2);
  w.Call("callback", p.callback, instance, reinterpret_cast<void*>(&OnParam), 6);
  w.Call("callback", p.callback, instance, reinterpret_cast<void*>(&OnError), 7);
  const int result = operation(instance);
  w.Call("zwolnij", p.zwolnij, instance);
  t_watch = nullptr;
  return result;
}

// Every file of one corpus under every misalignment, each on a thread of
// its own that holds the host's state.
template <typename Run>
void RunHostCorpus(const HostFpu& fpu, const char* kind, Run run) {
  corpus::RunCorpus(
      WinePath(KOLEKTOR_CORPUS_DIR), kind,
      [&](const corpus::Case& c) {
        const std::string dir =
            FreshDir(std::string("fpu_") + fpu.name + "_" + kind + "_" + std::to_string(c.number));
        Watch w;
        w.shift = kShifts[c.variant];
        MessageBoxCatcher boxes;
        LoadHostFpu(fpu);
        corpus::Outcome outcome{run(w, dir, c.input, static_cast<Word>(900 + c.number)), ""};
        LoadHostFpu({"", kPluginX87Control, kPluginMxcsr});
        if (!w.mismatches.empty())
          outcome.problem = "shifted by " + std::to_string(w.shift) + ": host state changed in " +
                            w.mismatches[0];
        return outcome;
      },
      static_cast<int>(std::size(kShifts)), true);
}

std::string ExportRun(Watch& w, const std::string& dir, const std::string& goods, Word context) {
  WriteFileBytes(dir + "exp.txt", goods);
  const Plugin& p = LoadPlugin();
  const std::string path = dir + "exp.txt";
  const int result = HostRun(w, context, [&](void* instance) {
    return w.Call("eksport", p.eksport, instance, 1, path.c_str());
  });
  return corpus::Format(result, w.errors, ReadFileBytes(dir + "a"));
}

std::string ImportRun(Watch& w, const std::string& dir, const std::string& data, Word context) {
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "kolektor-standin.dat", data);
  const Plugin& p = LoadPlugin();
  const std::string counts = dir + "INW\\imp.txt";
  const int result = HostRun(w, context, [&](void* instance) {
    const int r = w.Call("import", p.import_, instance, 1, counts.c_str());
    w.Call("zeruj", p.zeruj, instance, 2);
    return r;
  });
  return corpus::Format(result, w.errors, ReadFileBytes(counts));
}

class HostFpuCorpus : public ::testing::TestWithParam<HostFpu> {};

TEST_P(HostFpuCorpus, GoodsThroughTheExport) {
  StandinEnv env(FreshDir(std::string("fpu_goods_env_") + GetParam().name));
  RunHostCorpus(GetParam(), "goods", ExportRun);
}

TEST_P(HostFpuCorpus, DataThroughTheImport) {
  StandinEnv env(FreshDir(std::string("fpu_data_env_") + GetParam().name));
  RunHostCorpus(GetParam(), "data", ImportRun);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostFpuCorpus, ::testing::Values(kDelphi, kTowardZero),
                         [](const auto& info) {
                           return std::string(info.param.x87 == kDelphi.x87 ? "Delphi"
                                                                            : "TowardZero");
                         });

// Under the unmasked exceptions of MXCSR 0x1900 a quantity whose
// thousandfold overflows must be refused, not trap inside the host.
TEST(HostFpu, HugeQuantityIsRefusedUnderDelphiState) {
  const std::string dir = FreshDir("fpu_huge");
  StandinEnv env(dir);
  Watch w;
  w.shift = kShifts[0];
  MessageBoxCatcher boxes;
  LoadHostFpu(kDelphi);
  const std::string got = ImportRun(w, dir, "B,9.9e37\r\n", 990);
  LoadHostFpu({"", kPluginX87Control, kPluginMxcsr});
  EXPECT_EQ(got, corpus::Format(0,
                                {"[3] B\xB3\xB9"
                                 "d sk\xB3"
                                 "adni pliku roboczego."},
                                ""));
  EXPECT_TRUE(w.mismatches.empty()) << w.mismatches[0];
}

}  // namespace
}  // namespace kolektor::wintest
