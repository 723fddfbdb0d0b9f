// Goods file -> lookup file: records, every message, reading order.
#include "export/goods_conversion.h"

#include <gtest/gtest.h>

#include "base/host_link.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

struct Outcome {
  bool ok;
  std::string lookup;
  std::vector<std::string> errors;
};

Outcome Convert(const std::string& goods, int level = 1, std::size_t max_code = 13,
                std::size_t chunk = 7) {
  EventLog log;
  FakePlatform platform(log);
  platform.read_chunk = chunk;
  platform.files["g"] = goods;
  TestHost host(log);
  auto in = platform.Open("g", OpenMode::kRead);
  auto out = platform.Open("a", OpenMode::kWriteTruncate);
  const bool ok =
      KonwertujTowary(*in, *out, GoodsOptions{level, max_code}, HostLink(*host.instance(), 5));
  EXPECT_EQ(platform.OpenFiles(), 0) << "both files closed";
  EXPECT_EQ(host.errors.size(), ok ? 0u : 1u) << "one message per failure";
  return {ok, platform.files["a"], host.errors};
}

std::string Line(const std::string& code, const std::string& name, const std::string& book,
                 const std::string& sale, const std::string& qty, const std::string& vat = "23") {
  return "TOW;" + code + ";" + name + ";" + book + ";" + sale + ";" + qty + ";" + vat + "\r\n";
}

std::string Msg(int number, const std::string& code, const char* last) {
  return Cp1250("[" + std::to_string(number) + "] Błąd składni pliku \"exp\". - [") + code +
         Cp1250(last);
}

TEST(Goods, WorkedExampleBothPriceLevels) {
  const std::string goods =
      Cp1250("TOW;5901234123457;Mąka pszenna, typ 500 1kg;189;249;12000;5\r\n");
  for (std::size_t chunk : {1u, 7u, 4096u}) {
    const Outcome sale = Convert(goods, 1, 13, chunk);
    ASSERT_TRUE(sale.ok);
    EXPECT_EQ(sale.lookup, "5901234123457,Maka pszenna  ,2.49,12.000\r\n");
    EXPECT_EQ(sale.lookup.size(), 42u);
  }
  EXPECT_EQ(Convert(goods, 2).lookup, "5901234123457,Maka pszenna  ,1.89,12.000\r\n");
  // Outside the two levels: the default level, never a missing column.
  EXPECT_EQ(Convert(goods, 0).lookup, Convert(goods, 1).lookup);
}

TEST(Goods, ColumnValues) {
  struct Case {
    std::string line;
    std::string record;
  } cases[] = {
      {Line("1", "x", "0", "0", "1"), "1,x,0.00,0.001\r\n"},
      {Line("1", "x", "0", "5", "1000"), "1,x,0.05,1.000\r\n"},
      {Line("1", "x", "0", "10000000", "12345678"), "1,x,100000.0,12345.67\r\n"},
      {Line("1", "x", "0", "12345678", "-5"), "1,x,123456.7,-0.005\r\n"},
      {Line("1", "x", "0", "4294967295", "999999999"), "1,x,42949672,1000000.\r\n"},
      {Line("1", "x", "0", " +7", "12abc"), "1,x,0.07,0.012\r\n"},
      {Line("1", "x", "0", "99abc", " -0"), "1,x,0.99,0.000\r\n"},
      // Minus zero is no negative price, in either price field.
      {Line("1", "x", "-0", " -00", "1"), "1,x,0.00,0.001\r\n"},
      // Code cut to 13, a comma in the code passes unchanged.
      {Line("12345678901234567890", "", "1", "1", "1"), "1234567890123,,0.01,0.001\r\n"},
      {Line("1,2", "a,b", "1", "1", "1"), "1,2,a b,0.01,0.001\r\n"},
      {Line("", "n", "1", "1", "1"), ",n,0.01,0.001\r\n"},
      {Cp1250(Line("1", "Łódź,Kraków", "1", "1", "1")), "1,Lodz Krakow,0.01,0.001\r\n"},
      {Cp1250(Line("1", "ŚśŹźŁłĄąŻżĆćĘęŃńÓó", "1", "1", "1")), "1,SsZzLlAaZzCcEe,0.01,0.001\r\n"},
      // VAT is checked but not written.
      {Line("1", "x", "1", "1", "1", "255"), "1,x,0.01,0.001\r\n"},
      {Line("1", "x", "1", "1", "1", ""), "1,x,0.01,0.001\r\n"},
      {Line("1", "x", "1", "1", "1", " 5"), "1,x,0.01,0.001\r\n"},
      {Line("1", "x", "1", "1", "1", "300"), "1,x,0.01,0.001\r\n"},
  };
  for (const Case& c : cases) {
    const Outcome o = Convert(c.line);
    EXPECT_TRUE(o.ok) << c.line;
    EXPECT_EQ(o.lookup, c.record) << c.line;
  }
}

TEST(Goods, MaxCodeLength20KeepsTheWholeCode) {
  EXPECT_EQ(Convert(Line("12345678901234567890", "x", "1", "1", "1"), 1, 20).lookup,
            "12345678901234567890,x,0.01,0.001\r\n");
}

TEST(Goods, LineEndsAndUnfinishedLines) {
  const std::string a = Line("1", "x", "1", "1", "1");
  const std::string rec = "1,x,0.01,0.001\r\n";
  struct Case {
    std::string goods;
    bool ok;
    std::string lookup;
  } cases[] = {
      {"", true, ""},
      {a + a, true, rec + rec},
      {"TOW;1;x;1;1;1;23\rTOW;1;x;1;1;1;23\r", true, rec + rec},
      {"T\nOW;1;x;1;1;1;2\n3\r\n", true, rec},
      // A last line without CR gives no record and no message.
      {a + "TOW;2;y;1;1;1;23", true, rec},
      {a + "TOW;2;y;1;1;1;", true, rec},
      {a + "TOW;2", true, rec},
  };
  for (const Case& c : cases) {
    const Outcome o = Convert(c.goods);
    EXPECT_EQ(o.ok, c.ok) << c.goods;
    EXPECT_EQ(o.lookup, c.lookup) << c.goods;
  }
}

TEST(Goods, EveryMessageWithItsCodeStore) {
  const std::string first = Line("111", "x", "1", "1", "1");
  struct Case {
    std::string second_line;
    std::string message;
  } cases[] = {
      {"TOX;2;x;1;1;1;1\r\n", Cp1250("[1] Błąd składni pliku \"exp\" - błąd pola TOW.")},
      {"\r\n", Cp1250("[1] Błąd składni pliku \"exp\" - błąd pola TOW.")},
      {"tow;2;x;1;1;1;1\r\n", Cp1250("[1] Błąd składni pliku \"exp\" - błąd pola TOW.")},
      // The code store still holds the line before's code.
      {Line("123456789012345678901", "x", "1", "1", "1"), Msg(2, "111", "] błąd pola KOD")},
      {Line("2", "x", std::string(20, '1'), "1", "1"), Msg(4, "2", "] błąd pola CENA_EWIDENCYJNA")},
      {Line("2", "x", "1", std::string(20, '1'), "1"), Msg(5, "2", "] błąd pola CENA_SPRZEDAŻY")},
      {"TOW;2;x;1;1;1;1;\r\n", Msg(6, "2", "]")},
      {"TOW;2;x;1;1;1;1;extra\r\n", Msg(6, "2", "]")},
      {Line("2", "x", "1", "1", "1234567890"), Msg(7, "2", "] błąd pola ILOŚĆ")},
      {Line("2", "x", "1", "1", "abc"), Msg(8, "2", "] błąd pola ILOŚĆ")},
      {Line("2", "x", "1", "1", "1", "1000"), Msg(9, "2", "] błąd pola VAT")},
      {Line("2", "x", "1", "1", "1", "a"), Msg(12, "2", "] błąd pola VAT")},
      {Line("2", "x", "1", "1", "1", "-x"), Msg(12, "2", "] błąd pola VAT")},
      {Line("2", "x", "1", "z", "1"), Msg(11, "2", "] błąd pola CENA_SPRZEDAŻY")},
      {Line("2", "x", "z", "1", "1"), Msg(11, "2", "] błąd pola CENA_EWIDENCYJNA")},
      {Line("2", "x", "z", "z", "1"), Msg(11, "2", "] błąd pola CENA_SPRZEDAŻY")},
      // A field that ends before any digit is that field's error.
      {Line("2", "x", "1", "1", ""), Msg(8, "2", "] błąd pola ILOŚĆ")},
      {Line("2", "x", "1", "1", " -"), Msg(8, "2", "] błąd pola ILOŚĆ")},
      {Line("2", "x", "1", "  ", "1"), Msg(11, "2", "] błąd pola CENA_SPRZEDAŻY")},
      {Line("2", "x", "+", "1", "1"), Msg(11, "2", "] błąd pola CENA_EWIDENCYJNA")},
      // Prices: no minus sign, nothing beyond 32 bits.
      {Line("2", "x", "1", "-1", "1"), Msg(11, "2", "] błąd pola CENA_SPRZEDAŻY")},
      {Line("2", "x", "4294967296", "1", "1"), Msg(11, "2", "] błąd pola CENA_EWIDENCYJNA")},
      {Line("2", "x", "1", "99999999999", "1"), Msg(11, "2", "] błąd pola CENA_SPRZEDAŻY")},
      // A line that ends early does not borrow the line before's values.
      {"TOW;2;x;1\r\n", Msg(6, "2", "]")},
      {"TOW\r\n", Msg(6, "111", "]")},
      // 201 bytes in one field; in the first two fields the old code shows.
      {"TOW;2;" + std::string(201, 'n') + ";1;1;1;1\r\n",
       Msg(10, "2", "] przekroczona długość linii towaru")},
      {"TOW;" + std::string(201, '9') + ";x;1;1;1;1\r\n",
       Msg(10, "111", "] przekroczona długość linii towaru")},
      // A lone LF ends nothing: the next TOW runs into VAT.
      {"TOW;2;x;1;1;1;23\nTOW;3;x;1;1;1;1\r\n", Msg(9, "2", "] błąd pola VAT")},
      {"TOW;2;x;1;1;1;\nTOW;3;x;1;1;1;1\r\n", Msg(12, "2", "] błąd pola VAT")},
  };
  for (const Case& c : cases) {
    const Outcome o = Convert(first + c.second_line);
    EXPECT_FALSE(o.ok) << c.second_line;
    ASSERT_EQ(o.errors.size(), 1u) << c.second_line;
    EXPECT_EQ(o.errors[0], c.message) << c.second_line;
    // The line before stays written; nothing of the faulty line is.
    EXPECT_EQ(o.lookup, "111,x,0.01,0.001\r\n") << c.second_line;
  }
}

TEST(Goods, FirstLineFaultsShowAnEmptyCode) {
  EXPECT_EQ(Convert(Line(std::string(21, '1'), "x", "1", "1", "1")).errors,
            std::vector<std::string>{Msg(2, "", "] błąd pola KOD")});
  EXPECT_EQ(Convert("\xEF\xBB\xBF" + Line("1", "x", "1", "1", "1")).errors,
            std::vector<std::string>{Cp1250("[1] Błąd składni pliku \"exp\" - błąd pola TOW.")});
}

TEST(Goods, LimitsAreInclusive) {
  const Outcome o = Convert(Line(std::string(20, '7'), std::string(200, 'n'), std::string(19, '0'),
                                 std::string(19, '0'), "-99999999", "999"));
  ASSERT_TRUE(o.ok) << (o.errors.empty() ? "" : o.errors[0]);
  EXPECT_EQ(o.lookup, std::string(13, '7') + "," + std::string(14, 'n') + ",0.00,-100000.\r\n");
}

TEST(Goods, FaultInLineNLeavesTheLinesBefore) {
  std::string goods;
  for (int i = 0; i < 50; ++i) goods += Line(std::to_string(i), "x", "1", "1", "1");
  goods += Line("bad", "x", "1", "1", "x");
  goods += Line("after", "x", "1", "1", "1");
  const Outcome o = Convert(goods);
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(std::count(o.lookup.begin(), o.lookup.end(), '\n'), 50);
  EXPECT_EQ(o.lookup.find("after"), std::string::npos);
}

TEST(Goods, ReadAndWriteFailures) {
  const std::string goods = Line("1", "x", "1", "1", "1") + Line("2", "x", "1", "1", "1");
  struct Case {
    const char* operation;
    int nth;
    std::string message;
    std::string lookup;
  } cases[] = {
      {"read", 2, Cp1250("Błąd otwarcia pliku \"exp\"."), "1,x,0.01,0.001\r\n"},
      {"write", 2, Cp1250("Błąd zapisu do pliku roboczego."), "1,x,0.01,0.001\r\n2,x,0.01"},
      // Close of the lookup file is the second close (goods first).
      {"close", 2, Cp1250("Błąd zapisu do pliku roboczego."),
       "1,x,0.01,0.001\r\n2,x,0.01,0.001\r\n"},
  };
  for (const Case& c : cases) {
    EventLog log;
    FakePlatform platform(log);
    platform.read_chunk = 20;
    platform.files["g"] = goods;
    platform.FailAt(c.operation, c.nth);
    TestHost host(log);
    auto in = platform.Open("g", OpenMode::kRead);
    auto out = platform.Open("a", OpenMode::kWriteTruncate);
    EXPECT_FALSE(KonwertujTowary(*in, *out, GoodsOptions{}, HostLink(*host.instance(), 1)))
        << c.operation;
    EXPECT_EQ(host.errors, std::vector<std::string>{c.message}) << c.operation;
    EXPECT_EQ(platform.files["a"], c.lookup) << c.operation;
    EXPECT_EQ(platform.files["g"], goods);
  }
}

TEST(Goods, CheckListsEveryFaultWithLineAndOffset) {
  const std::string goods = Line("1", "x", "1", "1", "1") +  // line 1 ok
                            Line("2", "x", "1", "1", "q") +  // line 2: [8]
                            "BAD;3\r\n" +                    // line 3: [1]
                            Line("4", "x", "1", "z", "1") +  // line 4: [11]
                            Line("5", "x", "1", "1", "1");   // line 5 ok
  EventLog log;
  FakePlatform platform(log);
  platform.files["g"] = goods;
  auto in = platform.Open("g", OpenMode::kRead);
  std::vector<GoodsCheckFault> faults;
  const GoodsCheckSummary summary =
      CheckGoods(*in, GoodsOptions{}, [&](GoodsCheckFault f) { faults.push_back(f); });
  EXPECT_EQ(summary.lines, 5u);
  EXPECT_EQ(summary.records, 2u);
  ASSERT_EQ(faults.size(), 3u);
  EXPECT_EQ(faults[0].line, 2u);
  EXPECT_EQ(faults[0].text, Msg(8, "2", "] błąd pola ILOŚĆ"));
  EXPECT_EQ(goods[faults[0].offset], ';');
  EXPECT_EQ(faults[1].line, 3u);
  EXPECT_EQ(faults[1].offset, goods.find("BAD;") + 3);
  EXPECT_EQ(faults[2].line, 4u);
  EXPECT_EQ(goods[faults[2].offset], '\r');
}

}  // namespace
}  // namespace kolektor::testing
