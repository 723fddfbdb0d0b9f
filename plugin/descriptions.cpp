#include "plugin/descriptions.h"

#include <cstring>

#include "base/texts.h"

namespace kolektor {

namespace {

namespace t = text;

constexpr std::string_view kBaudChoices[] = {"9600", "19200", "38400", "57600", "115200"};
constexpr std::string_view kCenaChoices[] = {kCenaDet, kCenaZak};
constexpr std::string_view kMaxKodChoices[] = {"13", "20"};
constexpr std::string_view kTimeoutChoices[] = {"1 min",  "2 min",  "5 min",   "10 min", "15 min",
                                                "30 min", "60 min", "120 min", "600 min"};

constexpr PropertyRow kProperties[] = {
    {property::kModel, t::kPropertyModel, 20},
    {property::kIdentifier, t::kPropertyIdentifier, 20},
    {301, "1", 5},
    {property::kSendToHost, t::kPropertySendToHost, 299},
    {property::kLoadFromHost, t::kPropertyLoadFromHost, 299},
    {304, "", 2},
    {305, "0", 5},
    {306, "0", 5},
    {307, "0", 5},
    {308, "0", 5},
};
constexpr std::size_t kUnknownPropertyWidth = 2;

template <typename T, std::size_t N>
constexpr std::size_t CountOf(const T (&)[N]) {
  return N;
}

}  // namespace

const ParameterRow kParameters[5] = {
    {kParamPort, t::kLabelPort, "1", "1", "999", kParameterNumber, 20, 20},
    {kParamBaud, t::kLabelBaud, "9600", "", "", kParameterChoice, 20, 20},
    {kParamCena, t::kLabelCena, kCenaDet, "", "", kParameterChoice, 20, 20},
    // The only label that needs more than 20 bytes (28 in Windows-1250).
    {kParamMaxKod, t::kLabelMaxKod, "13", "", "", kParameterChoice, 20, 30},
    {kParamTimeout, t::kLabelTimeout, "5 min", "", "", kParameterChoice, 0, 0},
};

const ChoiceList kChoiceLists[4] = {
    {kParamBaud, kBaudChoices, CountOf(kBaudChoices), 10},
    {kParamCena, kCenaChoices, CountOf(kCenaChoices), 10},
    {kParamMaxKod, kMaxKodChoices, CountOf(kMaxKodChoices), 10},
    {kParamTimeout, kTimeoutChoices, CountOf(kTimeoutChoices), 0},
};

void WriteFixedWidth(char* buffer, std::string_view text, std::size_t width) {
  std::memcpy(buffer, text.data(), text.size());
  const std::size_t end = width == 0 ? text.size() + 1 : width;
  std::memset(buffer + text.size(), 0, end - text.size());
}

HostWord DescribeParameter(HostWord function, HostWord index, char* name, char* label,
                           char* default_value, char* low, char* high) {
  if (function != kParameterFunction) return 0;
  const auto row_index = static_cast<std::uint32_t>(index);
  if (row_index >= CountOf(kParameters)) return 0;
  if (!name || !label || !default_value || !low || !high) return 0;
  const ParameterRow& row = kParameters[row_index];
  WriteFixedWidth(name, row.name, row.width);
  WriteFixedWidth(label, row.label, row.label_width);
  WriteFixedWidth(default_value, row.default_value, row.width);
  WriteFixedWidth(low, row.low, row.width);
  WriteFixedWidth(high, row.high, row.width);
  return row.kind;
}

HostWord DescribeChoice(const char* name, HostWord index, char* buffer) {
  if (name == nullptr || buffer == nullptr) return 0;
  const std::string_view wanted(name);
  for (const ChoiceList& list : kChoiceLists) {
    if (list.name != wanted) continue;
    const auto choice = static_cast<std::uint32_t>(index);
    if (choice >= list.count) return 0;
    WriteFixedWidth(buffer, list.choices[choice], list.width);
    return 1;
  }
  return 0;
}

void DescribeProperty(char* buffer, HostWord number) {
  if (buffer == nullptr) return;
  for (const PropertyRow& row : kProperties) {
    if (row.number == number) {
      WriteFixedWidth(buffer, row.text, row.width);
      return;
    }
  }
  WriteFixedWidth(buffer, "", kUnknownPropertyWidth);
}

}  // namespace kolektor
