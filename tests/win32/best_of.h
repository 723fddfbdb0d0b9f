// Upper bounds on a duration under wine on a shared machine. One run can
// lose a few hundred ms to something else on the machine (another
// program's disk flushes, a wineserver still ending); a pause that is
// really too long is too long in every run. So a run over its bound is
// repeated, up to `tries` runs, and the shortest is what the test judges.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace kolektor::wintest {

// `run` does the timed work once and returns its duration in ms.
inline DWORD ShortestOf(int tries, DWORD bound, const std::function<DWORD()>& run) {
  DWORD shortest = run();
  for (int i = 1; i < tries && shortest > bound; ++i) {
    std::printf("over %lu ms (%lu ms): run again\n", static_cast<unsigned long>(bound),
                static_cast<unsigned long>(shortest));
    shortest = std::min(shortest, run());
  }
  return shortest;
}

}  // namespace kolektor::wintest
