// Every choice of the host's settings, one row each: the text the host
// stores and hands back, whether the settings form lists it, what it puts
// on the upload's and the download's command lines, and what it means to
// the commands. The descriptions, both commands and the host library read
// this table alone: a new speed or port is one row here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/host_interface.h"

namespace kolektor {

struct SettingChoice {
  std::string_view setting;  // the host's name for the setting
  // The text the form lists, the host stores and hands back through
  // ParamCallback; the commands compare the whole value, exactly.
  std::string_view value;
  // The form lists it (ZRBDLLTekstListyParametru). The port is typed as a
  // number; "COM1" to "COM4" are only understood when the host hands them
  // back, as settings kept from older hosts.
  bool listed;
  // Its part of the upload utility's and of the download utility's command
  // line: the port number, or the speed code and what follows it.
  std::string_view upload;
  std::string_view download;
  // cena: the price level; maxKod: the longest code sent to the terminal;
  // timeout: the download's polls of 100 ms.
  std::uint32_t number;
  // The form's preselected choice; for cena, maxKod and timeout also what
  // any value outside the table means.
  bool is_default;
};

// "cena": which of the goods file's two prices goes to the terminal.
inline constexpr std::uint32_t kPriceSale = 1;  // the retail price
inline constexpr std::uint32_t kPriceBook = 2;  // the book (purchase) price

// Choices of one setting stay together, in the order the form lists them.
// clang-format off
inline constexpr SettingChoice kSettingChoices[] = {
    // setting      value       listed upload download       number      default
    {kParamPort,    "COM1",     false, "1",   "1",           0,          false},
    {kParamPort,    "COM2",     false, "2",   "2",           0,          false},
    {kParamPort,    "COM3",     false, "3",   "3",           0,          false},
    {kParamPort,    "COM4",     false, "4",   "4",           0,          false},
    {kParamBaud,    "9600",     true,  "5,1", "5,1,1,1,1,0", 0,          true},
    {kParamBaud,    "19200",    true,  "4,1", "4,1,1,1,1,0", 0,          false},
    {kParamBaud,    "38400",    true,  "3,1", "3,1,1,1,1,0", 0,          false},
    {kParamBaud,    "57600",    true,  "2,1", "2,1,1,1,1,0", 0,          false},
    {kParamBaud,    "115200",   true,  "1,1", "1,1,1,1,1,0", 0,          false},
    {kParamCena,    "Cena det", true,  "",    "",            kPriceSale, true},
    {kParamCena,    "Cena zak", true,  "",    "",            kPriceBook, false},
    {kParamMaxKod,  "13",       true,  "",    "",            13,         true},
    {kParamMaxKod,  "20",       true,  "",    "",            20,         false},
    {kParamTimeout, "1 min",    true,  "",    "",            600,        false},
    {kParamTimeout, "2 min",    true,  "",    "",            1200,       false},
    {kParamTimeout, "5 min",    true,  "",    "",            3000,       true},
    {kParamTimeout, "10 min",   true,  "",    "",            6000,       false},
    {kParamTimeout, "15 min",   true,  "",    "",            9000,       false},
    {kParamTimeout, "30 min",   true,  "",    "",            18000,      false},
    {kParamTimeout, "60 min",   true,  "",    "",            36000,      false},
    {kParamTimeout, "120 min",  true,  "",    "",            72000,      false},
    {kParamTimeout, "600 min",  true,  "",    "",            360000,     false},
};
// clang-format on

// The row of a value the host handed back; nullptr when it is none of
// the setting's choices.
constexpr const SettingChoice* FindChoice(std::string_view setting, std::string_view value) {
  for (const SettingChoice& c : kSettingChoices)
    if (c.setting == setting && c.value == value) return &c;
  return nullptr;
}

// The setting's default row; nullptr for a setting without one (the port,
// whose default is a number the form describes).
constexpr const SettingChoice* DefaultChoice(std::string_view setting) {
  for (const SettingChoice& c : kSettingChoices)
    if (c.setting == setting && c.is_default) return &c;
  return nullptr;
}

// Command-line parts; a value outside the table gives `otherwise`.
constexpr std::string_view UploadPart(std::string_view setting, std::string_view value,
                                      std::string_view otherwise) {
  const SettingChoice* c = FindChoice(setting, value);
  return c != nullptr ? c->upload : otherwise;
}
constexpr std::string_view DownloadPart(std::string_view setting, std::string_view value,
                                        std::string_view otherwise) {
  const SettingChoice* c = FindChoice(setting, value);
  return c != nullptr ? c->download : otherwise;
}

// What a value means to the commands; a value outside the table means
// what the default does.
constexpr std::uint32_t ChoiceNumber(std::string_view setting, std::string_view value) {
  const SettingChoice* c = FindChoice(setting, value);
  if (c == nullptr) c = DefaultChoice(setting);
  return c != nullptr ? c->number : 0;
}

constexpr int PriceLevel(std::string_view cena) {
  return static_cast<int>(ChoiceNumber(kParamCena, cena));
}
constexpr std::size_t MaxCodeLength(std::string_view max_kod) {
  return ChoiceNumber(kParamMaxKod, max_kod);
}
// Polls (of 100 ms each) allowed for the download.
constexpr std::uint32_t TickLimit(std::string_view timeout) {
  return ChoiceNumber(kParamTimeout, timeout);
}

namespace settings_checks {
constexpr std::size_t Defaults(std::string_view setting) {
  std::size_t n = 0;
  for (const SettingChoice& c : kSettingChoices) n += c.setting == setting && c.is_default;
  return n;
}
constexpr bool DefaultsListed() {
  for (const SettingChoice& c : kSettingChoices)
    if (c.is_default && !c.listed) return false;
  return true;
}
constexpr bool NoValueTwice() {
  for (const SettingChoice& c : kSettingChoices)
    if (FindChoice(c.setting, c.value) != &c) return false;
  return true;
}
}  // namespace settings_checks
static_assert(settings_checks::Defaults(kParamPort) == 0, "the port's default is a number");
static_assert(settings_checks::Defaults(kParamBaud) == 1 &&
              settings_checks::Defaults(kParamCena) == 1 &&
              settings_checks::Defaults(kParamMaxKod) == 1 &&
              settings_checks::Defaults(kParamTimeout) == 1);
static_assert(settings_checks::DefaultsListed(), "the form preselects one of its choices");
static_assert(settings_checks::NoValueTwice(), "a value names one choice");

}  // namespace kolektor
