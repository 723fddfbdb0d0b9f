// How the terminal simulator's programs end. The test form tells the person
// what each of the scan's codes means, so both read them from here.
#pragma once

namespace kolektor::terminal {

enum ExitCode : int {
  kExitDone = 0,
  kExitFailed = 1,        // an upload refused, a file not written
  kExitUsage = 2,         // the command line names no command
  kExitNoGoodsTable = 3,  // scan: no goods list loaded yet
  kExitUnknownCode = 4,   // scan: the code is not on the goods list
  kExitBadQuantity = 5,   // scan: a quantity the terminal refuses
};

// The scan's answers that say something about the person's input, not a
// fault of the simulator.
constexpr bool IsScanAnswer(int code) {
  return code == kExitDone || code == kExitNoGoodsTable || code == kExitUnknownCode ||
         code == kExitBadQuantity;
}

}  // namespace kolektor::terminal
