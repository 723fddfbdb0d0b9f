// The processor's floating-point state at the host's door.
//
// Hosts built with Delphi or Borland tools run with their own x87 control
// word and MXCSR: some round toward zero, newer ones unmask the invalid,
// divide and overflow exceptions (MXCSR 0x1900). The plug-in's counts and
// prices are defined for round-to-nearest, and a quantity such as 9.9e37
// must be refused, not trap inside the host. So every entry point runs with
// a state of its own and gives the host back exactly the state it came in
// with; while the host is called back (its callbacks, a message box, whose
// message loop runs the host's window procedures) the host's state is in
// force again.
#pragma once

#include <cstdint>

namespace kolektor {

// The plug-in's state: round to nearest, every exception masked; x87 with
// the 64-bit precision the runtime itself starts with.
inline constexpr std::uint16_t kPluginX87Control = 0x037F;
inline constexpr std::uint32_t kPluginMxcsr = 0x1F80;

struct FpuState {
  // FNSTENV image: control, status and tag words and the last instruction,
  // so that pending exception flags come back with the control word.
  std::uint32_t x87[7];
  std::uint32_t mxcsr;
};

inline void SaveFpu(FpuState& state) {
  // FNSTENV masks every x87 exception after storing; the caller loads the
  // state it wants right after.
  __asm__ __volatile__("fnstenv %0" : "=m"(state.x87) : : "memory");
  __asm__ __volatile__("stmxcsr %0" : "=m"(state.mxcsr) : : "memory");
}

inline void LoadFpu(const FpuState& state) {
  __asm__ __volatile__("ldmxcsr %0" : : "m"(state.mxcsr) : "memory");
  __asm__ __volatile__("fldenv %0" : : "m"(state.x87) : "memory");
}

inline void LoadPluginFpu() {
  const std::uint16_t control = kPluginX87Control;
  const std::uint32_t mxcsr = kPluginMxcsr;
  __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(control) : "memory");
  __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr) : "memory");
}

inline std::uint16_t X87Control() {
  std::uint16_t control = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(control) : : "memory");
  return control;
}

inline std::uint32_t Mxcsr() {
  std::uint32_t mxcsr = 0;
  __asm__ __volatile__("stmxcsr %0" : "=m"(mxcsr) : : "memory");
  return mxcsr;
}

// Lives for one entry point call.
class FpuGuard {
 public:
  FpuGuard() noexcept {
    SaveFpu(host_);
    LoadPluginFpu();
  }
  ~FpuGuard() { LoadFpu(host_); }
  FpuGuard(const FpuGuard&) = delete;
  FpuGuard& operator=(const FpuGuard&) = delete;

  // The host's state for the length of a call into the host. What the host
  // leaves behind there is its own state from then on, and what it gets
  // back at the end.
  class HostTurn {
   public:
    explicit HostTurn(FpuGuard* guard) noexcept : guard_(guard) {
      if (guard_ != nullptr) LoadFpu(guard_->host_);
    }
    ~HostTurn() {
      if (guard_ == nullptr) return;
      SaveFpu(guard_->host_);
      LoadPluginFpu();
    }
    HostTurn(const HostTurn&) = delete;
    HostTurn& operator=(const HostTurn&) = delete;

   private:
    FpuGuard* guard_;
  };

 private:
  FpuState host_;
};

}  // namespace kolektor
