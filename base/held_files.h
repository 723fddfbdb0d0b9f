// Files held for a moment by another program. Virus scanners, indexers and
// backup tools open a file that has just been written for a fraction of a
// second; a file operation that meets such a sharing or lock violation is
// tried again after growing pauses, about two seconds in all, and only then
// fails as it would have at once. Any other failure is not waited for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kolektor {

class Trace;

// Tries after the first: the pause before try n is n times the step.
inline constexpr int kHeldRetries = 10;
inline constexpr std::uint32_t kHeldWaitStep = 36;
static_assert(kHeldWaitStep * kHeldRetries * (kHeldRetries + 1) / 2 == 1980,
              "about two seconds of waiting in all");

// Runs `attempt` until it succeeds, fails for another cause than a file
// held by another program (LastError()), or the retries are used up. Each
// wait goes to the trace, naming `what` was tried. The result is the last
// attempt's.
bool WaitWhileHeld(Platform& platform, Trace* trace, std::string_view what,
                   const std::function<bool()>& attempt);

// Platform::Open, waiting while another program holds the file; nullptr
// when it cannot be opened even so.
std::unique_ptr<File> OpenWaitingWhileHeld(Platform& platform, Trace* trace, std::string_view what,
                                           const std::string& path, OpenMode mode);

}  // namespace kolektor
