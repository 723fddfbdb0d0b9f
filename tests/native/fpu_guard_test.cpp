// The host's floating-point state: replaced by the plug-in's own for the
// length of an entry point, in force again during every call into the host,
// and given back exactly.
#include "base/fpu_guard.h"

#include <gtest/gtest.h>

#include <limits>

#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

constexpr std::uint32_t kFlags = 0x3F;  // MXCSR exception flags

struct HostState {
  const char* name;
  std::uint16_t x87;
  std::uint32_t mxcsr;
};
const HostState kHostStates[] = {
    {"Delphi defaults", 0x1332, 0x1900},
    {"round toward zero", 0x0F7F, 0x7F80},
    {"the plug-in's own", kPluginX87Control, kPluginMxcsr},
};

// Sets the host's state; returns the control word as the processor reads
// it back (bit 6 always reads as 1: Delphi's 0x1332 reads 0x1372).
std::uint16_t SetHost(const HostState& s) {
  FpuState state;
  SaveFpu(state);
  state.x87[0] = (state.x87[0] & 0xFFFF0000u) | s.x87;
  state.mxcsr = s.mxcsr;
  LoadFpu(state);
  return X87Control();
}

TEST(FpuGuard, HostStateKeptOutsideAndDuringCallsIntoTheHost) {
  for (const HostState& s : kHostStates) {
    SCOPED_TRACE(s.name);
    std::uint16_t inside_x87 = 0, turn_x87 = 0, after_turn_x87 = 0, after_x87 = 0;
    std::uint32_t inside_mxcsr = 0, turn_mxcsr = 0, after_mxcsr = 0;
    float overflowed = 0;
    const std::uint16_t host_x87 = SetHost(s);
    {
      FpuGuard guard;
      inside_x87 = X87Control();
      inside_mxcsr = Mxcsr();
      volatile float big = 9.9e37f;
      overflowed = big * 1000.0f;  // traps under the host's 0x1900
      {
        const FpuGuard::HostTurn turn(&guard);
        turn_x87 = X87Control();
        turn_mxcsr = Mxcsr();
      }
      after_turn_x87 = X87Control();
    }
    after_x87 = X87Control();
    after_mxcsr = Mxcsr();
    SetHost(kHostStates[2]);
    EXPECT_EQ(inside_x87, kPluginX87Control);
    EXPECT_EQ(inside_mxcsr & ~kFlags, kPluginMxcsr);
    EXPECT_EQ(overflowed, std::numeric_limits<float>::infinity());
    EXPECT_EQ(turn_x87, host_x87);
    EXPECT_EQ(turn_mxcsr & ~kFlags, s.mxcsr);
    EXPECT_EQ(after_turn_x87, kPluginX87Control);
    EXPECT_EQ(after_x87, host_x87);
    EXPECT_EQ(after_mxcsr, s.mxcsr) << "flags too, exactly as the host had them";
  }
}

TEST(FpuGuard, HugeQuantityRefusedUnderUnmaskedHostExceptions) {
  EventLog log;
  FakePlatform platform(log);
  TestHost host(log);
  platform.child.on_start = [&platform](const std::string& dir) {
    platform.files[dir + "\\a.dat"] = "B,9.9e37\r\n";
  };
  SetHost(kHostStates[0]);
  HostWord result;
  {
    FpuGuard guard;
    result = ImportCounts(platform, host.instance(), 1, "C:\\DANE\\INW\\imp.txt", &guard);
  }
  const std::uint32_t after = Mxcsr();
  SetHost(kHostStates[2]);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("[3] Błąd składni pliku roboczego.")});
  EXPECT_EQ(after, 0x1900u);
}

}  // namespace
}  // namespace kolektor::testing
