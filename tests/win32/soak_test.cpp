// Many operations on several instances in one process leave its handle
// count and memory where they started.
#include <gtest/gtest.h>

#include <thread>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

struct Usage {
  DWORD handles = 0;
  SIZE_T private_bytes = 0;
};

// Counted by hand: wine answers GetProcessHandleCount and the memory
// counters with zeros, so every handle value is probed and the committed
// private pages are summed.
Usage Measure() {
  Usage u;
  for (ULONG_PTR value = 4; value < (1u << 16); value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++u.handles;
  }
  MEMORY_BASIC_INFORMATION region;
  for (char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      u.private_bytes += region.RegionSize;
    char* next = static_cast<char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return u;
}

void Operation(int op, Host& host, const std::string& goods) {
  const Plugin& p = LoadPlugin();
  char b[5][64];
  switch (op % 25) {
    case 0:
    case 1:
      EXPECT_EQ(p.eksport(host.instance(), op, goods.c_str()), 1);
      break;
    case 2:
    case 3:
    case 4:
      EXPECT_EQ(p.zeruj(host.instance(), op), 1);
      break;
    default:
      EXPECT_NE(p.parametr(301, op % 5, b[0], b[1], b[2], b[3], b[4], 0), 0);
      EXPECT_EQ(p.tekst_listy("timeout", op % 9, b[0]), 1);
      p.wlasciwosci(reinterpret_cast<char*>(b), 1);
      break;
  }
}

TEST(WinSoak, RoundsOfOperationsOnEightThreadsLeaveNothingBehind) {
  StandinEnv env(FreshDir("soak"));
  auto round = [] {
    constexpr int kThreads = 8;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([t] {
        const std::string goods_dir = FreshDir("soak_" + std::to_string(t));
        WriteFileBytes(goods_dir + "exp.txt", "TOW;1;Chleb;100;150;2000;5\r\n");
        Host host(710 + t);
        for (int op = 0; op < 25; ++op) Operation(op, host, goods_dir + "exp.txt");
      });
    }
    for (std::thread& t : threads) t.join();
    // Instances created and freed on their own.
    for (int i = 0; i < 200; ++i) LoadPlugin().zwolnij(LoadPlugin().rejestruj(i, 0, 0, 0));
  };
  // A first round warms up what the runtime and the threads allocate once
  // and then reuse; a leak shows as growth over the rounds after it.
  round();
  const Usage before = Measure();
  round();
  round();
  const Usage after = Measure();
  std::printf(
      "soak: 2 measured rounds of 200 operations on 8 threads and 200 instances;"
      " handles %lu -> %lu; private bytes %lu -> %lu\n",
      static_cast<unsigned long>(before.handles), static_cast<unsigned long>(after.handles),
      static_cast<unsigned long>(before.private_bytes),
      static_cast<unsigned long>(after.private_bytes));
  ASSERT_GT(before.handles, 0u) << "the probe must see this process's handles";
  ASSERT_GT(before.private_bytes, 0u);
  // A leak would be two handles per export, 32 a round; wine itself keeps
  // a transient handle or two.
  EXPECT_LE(after.handles, before.handles + 4);
  EXPECT_LE(after.private_bytes, before.private_bytes + 256 * 1024);
}

}  // namespace
}  // namespace kolektor::wintest
