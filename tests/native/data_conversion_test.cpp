// a.dat -> counts file: quantities, every fault, what each leaves behind.
#include "import/data_conversion.h"

#include <gtest/gtest.h>

#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

struct Outcome {
  bool ok;
  std::string counts;
  std::vector<std::string> errors;
};

Outcome Convert(const std::string& data, std::size_t chunk = 7) {
  EventLog log;
  FakePlatform platform(log);
  platform.read_chunk = chunk;
  platform.files["d\\a.dat"] = data;
  TestHost host(log);
  const bool ok =
      ConvertDataFile(platform, "d\\a.dat", "d\\x\\imp.txt", HostLink(*host.instance(), 3));
  EXPECT_EQ(platform.OpenFiles(), 0);
  EXPECT_EQ(host.errors.size(), ok ? 0u : 1u);
  EXPECT_EQ(platform.files["d\\a.dat"], data) << "the data file is only read";
  return {ok, platform.files["d\\x\\imp.txt"], host.errors};
}

TEST(Quantity, ThousandthsInSinglePrecision) {
  struct Case {
    const char* text;
    const char* field;
  } cases[] = {
      {"2", "02000"},
      {" 7", "07000"},
      {"2x", "02000"},
      {"1e2", "100000"},
      {"0.25", "00250"},
      {"-2", "-2000"},
      {"-0.5", "-0500"},
      {"123.456", "123456"},
      {"1.5", "01500"},
      {"0.0005", "00000"},
      {"1.0009", "01000"},
      {"0", "00000"},
      {"-0.001", "-0001"},
      {"-0", "00000"},
      {"+3", "03000"},
      {".5", "00500"},
      {"5.", "05000"},
      {"1e", "01000"},
      {"1e-9", "00000"},
      {"1e-99999", "00000"},
      {"\t9", "09000"},
      // Single precision: a double would give 2000000 and 2147483000.
      {"2000.001", "2000001"},
      {"2147483", "2147483008"},
      {"-2147483", "-2147483008"},
      {"0.001", "00001"},
      {"99999.99", "99999992"},
  };
  for (const Case& c : cases) {
    std::int32_t n = 0;
    ASSERT_EQ(ReadThousandths(c.text, n), QuantityRead::kNumber) << c.text;
    char out[16];
    EXPECT_EQ(std::string(out, FormatThousandths(n, out)), c.field) << c.text;
  }
}

TEST(Quantity, NoNumberAndOutOfRange) {
  const char* no_number[] = {"",    " ",   "abc",  "-",     "+.", ".",   "inf",
                             "nan", "INF", "0x10", "0X1p3", "e5", "--1", "- 1"};
  for (const char* text : no_number) {
    std::int32_t n = 0;
    EXPECT_EQ(ReadThousandths(text, n), QuantityRead::kNoNumber) << text;
  }
  const char* out_of_range[] = {"2147484", "-2147484", "1e10", "9e99", "1e99999"};
  for (const char* text : out_of_range) {
    std::int32_t n = 0;
    EXPECT_EQ(ReadThousandths(text, n), QuantityRead::kOutOfRange) << text;
  }
}

TEST(Quantity, FormatPadsAfterTheSign) {
  struct Case {
    std::int32_t value;
    const char* text;
  } cases[] = {{0, "00000"},
               {5, "00005"},
               {-5, "-0005"},
               {99999, "99999"},
               {-9999, "-9999"},
               {-10000, "-10000"},
               {INT32_MAX, "2147483647"},
               {INT32_MIN, "-2147483648"}};
  for (const Case& c : cases) {
    char out[16];
    EXPECT_EQ(std::string(out, FormatThousandths(c.value, out)), c.text);
  }
}

TEST(Data, Records) {
  struct Case {
    std::string data;
    std::string counts;
  } cases[] = {
      {"", ""},
      {"12345678,1.5\r\n", "INW;12345678;01500\r\n"},
      {"1,2\r2,3\r", "INW;1;02000\r\nINW;2;03000\r\n"},
      {",3\r\n", "INW;;03000\r\n"},
      {"a;b,1\r\n", "INW;a;b;01000\r\n"},
      {"\n1\n,\n2\n\r", "INW;1;02000\r\n"},
      {std::string(20, 'c') + ",1234.567\r\n", "INW;" + std::string(20, 'c') + ";1234567\r\n"},
      // A last record without CR is dropped.
      {"1,2\r\n2,3", "INW;1;02000\r\n"},
      // No number ends the data: what follows is ignored, even faults.
      {"1,2\r\n2,abc\r\n3,4\r\n", "INW;1;02000\r\n"},
      {"1,2\r\n2,\r\n,,,\r\n", "INW;1;02000\r\n"},
      {std::string(3, '\xB9') + ",1\r\n", "INW;" + std::string(3, '\xB9') + ";01000\r\n"},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : {1u, 5u, 65536u}) {
      const Outcome o = Convert(c.data, chunk);
      EXPECT_TRUE(o.ok) << c.data;
      EXPECT_EQ(o.counts, c.counts) << c.data;
    }
  }
}

TEST(Data, FaultsInCheckOrder) {
  const std::string good = "1,2\r\n";
  const std::string kept = "INW;1;02000\r\n";
  struct Case {
    std::string rest;
    const char* error;  // UTF-8
  } cases[] = {
      {"\r\n", "[6] Błąd składni pliku roboczego."},
      {"123456789\r\n", "[6] Błąd składni pliku roboczego."},
      {"1,123456789\r\n", "[3] Błąd składni pliku roboczego."},
      {"1,2147484\r\n", "[3] Błąd składni pliku roboczego."},
      {"1,1,2\r\n", "[4] Błąd składni pliku roboczego."},
      {std::string(21, 'c') + ",1\r\n", "[2] Błąd składni pliku roboczego."},
      // At a comma the second comma is found before the code's length.
      {"1," + std::string(21, 'c') + ",\r\n", "[4] Błąd składni pliku roboczego."},
      // At a CR the missing comma is found before the quantity's length.
      {std::string(30, '9') + "\r\n", "[6] Błąd składni pliku roboczego."},
      {"1,2\n2,3\r\n", "[4] Błąd składni pliku roboczego."},
      {std::string(201, 'c'), "[7] Błąd składni pliku roboczego."},
      {"1," + std::string(201, '0'), "[7] Błąd składni pliku roboczego."},
  };
  for (const Case& c : cases) {
    const Outcome o = Convert(good + c.rest);
    EXPECT_FALSE(o.ok) << c.rest;
    EXPECT_EQ(o.errors, std::vector<std::string>{Cp1250(c.error)}) << c.rest;
    EXPECT_EQ(o.counts, kept) << c.rest;
  }
  // 200 bytes in a field is no fault by itself.
  EXPECT_EQ(Convert(std::string(200, 'c')).ok, true);
}

TEST(Data, FileFailures) {
  struct Case {
    const char* name;
    const char* operation;
    int nth;
    const char* error;
    bool counts_touched;
    std::string counts;
  } cases[] = {
      {"data missing", nullptr, 0, "Brak pliku wynikowego.", false, ""},
      {"counts not creatable", "open", 2, "Błąd otwarcia pliku \"imp\".", false, ""},
      {"read error", "read", 2, "Brak pliku wynikowego.", true, "INW;1;02000\r\n"},
      {"write error", "write", 2, "Błąd zapisu do pliku roboczego.", true, "INW;1;02000\r\nINW;2;"},
      {"close error", "close", 2, "Błąd zapisu do pliku roboczego.", true,
       "INW;1;02000\r\nINW;2;03000\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    FakePlatform platform(log);
    platform.read_chunk = 5;
    platform.files["imp"] = "old counts";
    if (c.operation != nullptr) {
      platform.files["a.dat"] = "1,2\r\n2,3\r\n";
      platform.FailAt(c.operation, c.nth);
    }
    TestHost host(log);
    EXPECT_FALSE(ConvertDataFile(platform, "a.dat", "imp", HostLink(*host.instance(), 1)));
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250(c.error)});
    EXPECT_EQ(platform.files["imp"], c.counts_touched ? c.counts : "old counts");
    EXPECT_EQ(platform.OpenFiles(), 0);
  }
}

}  // namespace
}  // namespace kolektor::testing
