#include "plugin/descriptions.h"

#include <cstring>

#include "base/settings_table.h"
#include "base/texts.h"

namespace kolektor {

namespace {

namespace t = text;

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

// The settings the form lists choices for, and how wide each is written.
struct ChoiceList {
  std::string_view name;
  std::size_t width;  // as in ParameterRow
};
constexpr ChoiceList kChoiceLists[] = {
    {kParamBaud, 10},
    {kParamCena, 10},
    {kParamMaxKod, 10},
    {kParamTimeout, 0},
};

// Every listed choice fits its list's width with its terminating zero;
// the host's buffer for a text written with its zero only is 8 bytes.
constexpr bool ChoicesFit() {
  for (const ChoiceList& list : kChoiceLists)
    for (const SettingChoice& c : kSettingChoices)
      if (c.setting == list.name && c.listed && c.value.size() + 1 > (list.width ? list.width : 8))
        return false;
  return true;
}
static_assert(ChoicesFit());

constexpr std::string_view DefaultOf(std::string_view setting) {
  return DefaultChoice(setting)->value;
}

// The form's choice `index` of a setting; nullptr past its end.
const SettingChoice* ListedChoice(std::string_view setting, std::uint32_t index) {
  for (const SettingChoice& c : kSettingChoices)
    if (c.setting == setting && c.listed && index-- == 0) return &c;
  return nullptr;
}

}  // namespace

const ParameterRow kParameters[5] = {
    {kParamPort, t::kLabelPort, "1", "1", "999", kParameterNumber, 20, 20},
    {kParamBaud, t::kLabelBaud, DefaultOf(kParamBaud), "", "", kParameterChoice, 20, 20},
    {kParamCena, t::kLabelCena, DefaultOf(kParamCena), "", "", kParameterChoice, 20, 20},
    // The only label that needs more than 20 bytes (28 in Windows-1250).
    {kParamMaxKod, t::kLabelMaxKod, DefaultOf(kParamMaxKod), "", "", kParameterChoice, 20, 30},
    {kParamTimeout, t::kLabelTimeout, DefaultOf(kParamTimeout), "", "", kParameterChoice, 0, 0},
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
    const SettingChoice* choice = ListedChoice(list.name, static_cast<std::uint32_t>(index));
    if (choice == nullptr) return 0;
    WriteFixedWidth(buffer, choice->value, list.width);
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
