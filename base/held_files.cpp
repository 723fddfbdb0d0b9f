#include "base/held_files.h"

#include <string>

#include "base/trace.h"
#include "platform/platform.h"

namespace kolektor {

bool WaitWhileHeld(Platform& platform, Trace* trace, std::string_view what,
                   const std::function<bool()>& attempt) {
  for (int retry = 1;; ++retry) {
    if (attempt()) return true;
    const std::uint32_t error = platform.LastError();
    if (!HeldByAnotherProgram(error) || retry > kHeldRetries) return false;
    const std::uint32_t pause = kHeldWaitStep * static_cast<std::uint32_t>(retry);
    if (trace != nullptr && trace->on())
      trace->Line(std::string(what) + ": held by another program (system error " +
                  std::to_string(error) + "), waiting " + std::to_string(pause) + " ms");
    platform.Sleep(pause);
  }
}

std::unique_ptr<File> OpenWaitingWhileHeld(Platform& platform, Trace* trace, std::string_view what,
                                           const std::string& path, OpenMode mode) {
  std::unique_ptr<File> file;
  WaitWhileHeld(platform, trace, what, [&] {
    file = platform.Open(path, mode);
    return file != nullptr;
  });
  return file;
}

}  // namespace kolektor
