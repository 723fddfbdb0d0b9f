// "%.2f" and "%.3f" of a single-precision value, byte for byte as
// std::to_chars gives them (the exact binary value, ties to even), in a
// fraction of its time: the goods conversion formats three numbers a line.
#pragma once

#include <cstddef>

namespace kolektor {

// Writes the text into out (capacity at least 48) and returns its length.
std::size_t FormatFixed(float value, int decimals, char* out, std::size_t capacity);

}  // namespace kolektor
