// What the export accepts from a goods file but silently loses or changes:
// for the people who prepare one (zrbhost check), beside its faults.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "export/goods_conversion.h"
#include "platform/platform.h"

namespace kolektor {

enum class GoodsWarning {
  kByteOrderMark,
  kUtf8,
  kLfOnly,
  kUnfinishedLastLine,
  kCodeCut,
  kCommaInCode,
  kCodeTwice,
  kDecimalInPrice,
  kDecimalInQuantity,
  kEmptyFile,
};

struct GoodsWarningFound {
  GoodsWarning kind;
  std::uint64_t line = 0;    // 1-based
  std::string value;         // the code or field concerned (Windows-1250)
  std::uint64_t number = 0;  // a length, a count or an earlier line
};

// Reads the whole file; false when it could not be read to its end.
bool FindGoodsWarnings(File& goods, const GoodsOptions& options,
                       const std::function<void(const GoodsWarningFound&)>& on_warning);

// The warning as the user reads it (UTF-8): what happens and how to fix it.
std::string GoodsWarningText(const GoodsWarningFound& warning, const GoodsOptions& options);

}  // namespace kolektor
