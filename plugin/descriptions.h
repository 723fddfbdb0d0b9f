// The constant tables behind the settings form: five parameters and the
// property texts. The choices the form lists are the settings table's
// listed rows (base/settings_table.h).
#pragma once

#include <cstddef>
#include <string_view>

#include "base/host_interface.h"

namespace kolektor {

struct ParameterRow {
  std::string_view name, label, default_value, low, high;
  HostWord kind;  // kParameterChoice or kParameterNumber (low to high)
  // Width of each written text, zero-filled; 0 means the text and its
  // terminating zero only.
  std::size_t width;
  std::size_t label_width;
};

struct PropertyRow {
  HostWord number;
  std::string_view text;
  std::size_t width;
};

extern const ParameterRow kParameters[5];

// Writes text then zero bytes up to width; width 0 writes text and one zero.
void WriteFixedWidth(char* buffer, std::string_view text, std::size_t width);

}  // namespace kolektor
