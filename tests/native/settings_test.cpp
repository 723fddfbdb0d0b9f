// Every row of the settings table, handed back by the host as its value:
// the settings form lists it where the row says, and both utilities' command
// lines, the goods record and the download's time limit carry what the row
// says. The values themselves are pinned by the export's and the import's
// own tests; this one holds the table and its readers together.
#include <gtest/gtest.h>

#include <map>

#include "base/settings_table.h"
#include "plugin/plugin_api.h"
#include "tests/guarded_buffer.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

// A goods line whose code is 20 characters, with retail price 2.49 and
// book price 1.89.
const std::string kGoods = "TOW;12345678901234567890;n;189;249;1000;5\r\n";

struct Lines {
  std::string upload, download, record;
  std::uint32_t polls = 0;  // of a download that never ends
};

// One export and two imports with `setting` handed back as `value`, every
// other setting at its default.
Lines RunWith(std::string_view setting, std::string_view value) {
  Lines lines;
  {
    Till till;
    till.host.params[std::string(setting)] = std::string(value);
    till.platform.files["C:\\DANE\\exp.txt"] = kGoods;
    EXPECT_EQ(till.Export("C:\\DANE\\exp.txt"), 1);
    if (!till.platform.starts.empty()) lines.upload = till.platform.starts[0].command_line;
    lines.record = till.platform.files["C:\\DANE\\a"];
  }
  {
    Till till;
    till.host.params[std::string(setting)] = std::string(value);
    till.download = "1,1\r\n";
    EXPECT_EQ(till.Import("C:\\DANE\\INW\\imp.txt"), 1);
    if (!till.platform.starts.empty()) lines.download = till.platform.starts[0].command_line;
  }
  {
    Till till;
    till.host.params[std::string(setting)] = std::string(value);
    till.platform.child.running_queries = -1;  // never ends
    EXPECT_EQ(till.Import("C:\\DANE\\INW\\imp.txt"), 0);
    lines.polls = till.platform.polls - 1;  // the first query is no poll
  }
  return lines;
}

TEST(Settings, EveryRowReachesTheFormAndBothCommandLines) {
  const SettingChoice& baud = *DefaultChoice(kParamBaud);
  std::map<std::string_view, int> listed;  // choices listed so far, per setting
  for (const SettingChoice& row : kSettingChoices) {
    SCOPED_TRACE(std::string(row.setting) + "=" + std::string(row.value));
    const Lines got = RunWith(row.setting, row.value);

    // Both command lines: the port (the host's default is "1") between the
    // file's name and the speed, the speed part at the end.
    const bool is_port = row.setting == kParamPort, is_baud = row.setting == kParamBaud;
    const std::string port_number = is_port ? std::string(row.upload) : "1";
    EXPECT_EQ(got.upload, "C:\\ZRB\\DLOOKUP2.EXE a," + port_number + "," +
                              std::string(is_baud ? row.upload : baud.upload));
    const std::string port_download = is_port ? std::string(row.download) : "1";
    EXPECT_EQ(got.download, "IR_READ2.EXE a.dat," + port_download + "," +
                                std::string(is_baud ? row.download : baud.download));
    if (is_port) EXPECT_EQ(row.upload, row.download) << "one port for both utilities";

    // What the value means: the price written, the longest code, the time
    // limit in polls.
    const std::uint32_t price_level = row.setting == kParamCena ? row.number : kPriceSale;
    const std::size_t code = row.setting == kParamMaxKod ? row.number : 13;
    EXPECT_EQ(got.record, std::string("12345678901234567890").substr(0, code) + ",n," +
                              (price_level == kPriceBook ? "1.89" : "2.49") + ",1.000\r\n");
    const std::uint32_t ticks =
        row.setting == kParamTimeout ? row.number : DefaultChoice(kParamTimeout)->number;
    EXPECT_EQ(got.polls, ticks);

    // The form: a listed row is the setting's next choice, and the
    // default is what the form preselects.
    if (!row.listed) continue;
    testing_support::Guarded choice;
    ASSERT_EQ(DescribeChoice(std::string(row.setting).c_str(), listed[row.setting]++, choice.bytes),
              1);
    EXPECT_EQ(std::string(choice.bytes), row.value);
    if (!row.is_default) continue;
    for (HostWord index = 0; index < 5; ++index) {
      testing_support::Guarded name, label, def, low, high;
      DescribeParameter(301, index, name.bytes, label.bytes, def.bytes, low.bytes, high.bytes);
      if (std::string(name.bytes) == row.setting) EXPECT_EQ(std::string(def.bytes), row.value);
    }
  }
  // Each setting's list ends with its last listed row.
  for (const auto& [setting, count] : listed) {
    testing_support::Guarded past;
    EXPECT_EQ(DescribeChoice(std::string(setting).c_str(), count, past.bytes), 0) << setting;
  }
}

}  // namespace
}  // namespace kolektor::testing
