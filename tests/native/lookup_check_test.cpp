// The simulated terminal refuses what a real one could not load.
#include "tools/terminal/lookup_check.h"

#include <gtest/gtest.h>

namespace kolektor::terminal {
namespace {

TEST(TerminalTable, AcceptsAndRefuses) {
  const std::string good = "5901234123457,Maka pszenna  ,2.49,12.000\r\n";
  struct Case {
    std::string table;
    bool ok;
    std::size_t records_or_bad;
  } cases[] = {
      {"", true, 0},
      {good + good, true, 2},
      {",,0.00,0.001\r\n", true, 1},
      {good + "1,2,a b,0.01,0.001\r\n", false, 2},  // a comma in the code
      {good + "1,x,0.01\r\n", false, 2},
      {"1,x,0.01,0.001\n", false, 1},
      {"1,x,0.01,0.001", false, 1},
      {"1,x,0.01,0.001\r" + good, false, 1},
      {std::string(21, '1') + ",x,0.01,0.001\r\n", false, 1},
      {"1," + std::string(15, 'n') + ",0.01,0.001\r\n", false, 1},
      {"1,x,.01,0.001\r\n", false, 1},
      {"1,x,123456789,0.001\r\n", false, 1},
      {"1,x,0.01,0.01\r\n", false, 1},
      {"1,x,0.0a,0.001\r\n", false, 1},
  };
  for (const Case& c : cases) {
    const LookupCheck check = CheckLookupTable(c.table);
    EXPECT_EQ(check.ok, c.ok) << c.table;
    EXPECT_EQ(c.ok ? check.records : check.bad_record, c.records_or_bad) << c.table;
    EXPECT_EQ(check.reason.empty(), c.ok) << c.table;
  }
}

TEST(TerminalTable, ScanFindsCodesAndChecksQuantities) {
  const std::string table = "111,Chleb,3.50,10.000\r\n222,Mleko,2.99,5.000\r\n";
  std::string name;
  EXPECT_TRUE(FindCode(table, "222", name));
  EXPECT_EQ(name, "Mleko");
  EXPECT_FALSE(FindCode(table, "22", name));
  EXPECT_FALSE(FindCode(table, "333", name));
  for (const char* ok : {"1", "2.5", "12345678", ".5", "0"}) EXPECT_TRUE(IsQuantity(ok)) << ok;
  for (const char* bad : {"", "123456789", "1.2.3", "-1", "1,5", "x", "."})
    EXPECT_FALSE(IsQuantity(bad)) << bad;
  // Typed with a decimal comma, as Polish users write it: recorded with the
  // point that the data file's comma leaves free.
  const struct {
    const char* typed;
    const char* recorded;
  } typed[] = {{"57,5", "57.5"}, {"57.5", "57.5"}, {"2", "2"},        {",5", ".5"},
               {"1,2,3", ""},    {"1,2.3", ""},    {"1234567,8", ""}, {"-1,5", ""}};
  for (const auto& t : typed) EXPECT_EQ(QuantityAsRecorded(t.typed), t.recorded) << t.typed;
}

}  // namespace
}  // namespace kolektor::terminal
