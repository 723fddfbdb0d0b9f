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

TEST(Quantity, ExactThousandthsOfTheDecimalText) {
  struct Case {
    const char* text;
    const char* field;  // nullptr: out of range
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
      {"0", "00000"},
      {"-0", "00000"},
      {"+3", "03000"},
      {".5", "00500"},
      {"5.", "05000"},
      {"\t9", "09000"},
      {"00000001", "01000"},
      {"0000.001", "00001"},
      {"0.001", "00001"},
      {"-0.001", "-0001"},
      // Finer than a thousandth: cut off toward zero.
      {"0.0005", "00000"},
      {"1.0009", "01000"},
      {"-0.0005", "00000"},
      {"-1.0009", "-1000"},
      {"0.0009999", "00000"},
      // What single precision got wrong by a thousandth (the field soak's
      // weighed goods) or more, and what it got right.
      {"64.06", "64060"},
      {"259.727", "259727"},
      {"0.251", "00251"},
      {"1.009", "01009"},
      {"2.018", "02018"},
      {"4.035", "04035"},
      {"8.03", "08030"},
      {"16.06", "16060"},
      {"32.12", "32120"},
      {"1024.7", "1024700"},
      {"99999.99", "99999990"},
      {"65536.01", "65536010"},
      {"2000.001", "2000001"},
      {"20000.01", "20000010"},
      {"7.85", "07850"},
      {"3.14159", "03141"},
      {"9999.999", "9999999"},
      {"-999.999", "-999999"},
      // The 32-bit range, up to its last thousandth.
      {"2147483", "2147483000"},
      {"-2147483", "-2147483000"},
      {"2147483.", "2147483000"},
      {"2147483.647", "2147483647"},
      {"2147483.6479", "2147483647"},
      {"2147483.648", nullptr},
      {"-2147483.648", "-2147483648"},
      {"-2147483.6489", "-2147483648"},
      {"-2147483.649", nullptr},
      {"2147484", nullptr},
      {"-2147484", nullptr},
      {"99999999", nullptr},
      {"-9999999", nullptr},
      // Exponents move the point; past the range they stay out of it.
      {"1e", "01000"},
      {"1e+", "01000"},
      {"1E3", "1000000"},
      {"+1e+2", "100000"},
      {"12e-2", "00120"},
      {"1e-3", "00001"},
      {"1e-4", "00000"},
      {"-1e-4", "00000"},
      {"1e-9", "00000"},
      {"1e-99999", "00000"},
      {"0e99999", "00000"},
      {"0.0001e4", "01000"},
      {"2.147e6", "2147000000"},
      {"2.148e6", nullptr},
      {"1e10", nullptr},
      {"9e99", nullptr},
      {"1e99999", nullptr},
      {"1e999999999999999999", nullptr},
  };
  for (const Case& c : cases) {
    std::int32_t n = 0;
    const QuantityRead read = ReadThousandths(c.text, n);
    if (c.field == nullptr) {
      EXPECT_EQ(read, QuantityRead::kOutOfRange) << c.text;
      continue;
    }
    ASSERT_EQ(read, QuantityRead::kNumber) << c.text;
    char out[16];
    EXPECT_EQ(std::string(out, FormatThousandths(n, out)), c.field) << c.text;
  }
}

// Every quantity text of up to 8 bytes with up to three decimals, in its
// plain spelling and zero-padded to 8 bytes, against integer arithmetic.
// Under the sanitizers (many times slower) every 71st value only (every
// last digit still comes round), and every value near the range's ends.
TEST(Quantity, EveryShortDecimalTextAgainstIntegerArithmetic) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr std::int64_t kStride = 71;
#else
  constexpr std::int64_t kStride = 1;
#endif
  constexpr std::int64_t kMax = 2147483647;
  std::uint64_t checked = 0;
  std::uint64_t wrong = 0;
  char text[16];
  auto check = [&](std::size_t size, std::int64_t expected) {
    std::int32_t n = 0;
    const QuantityRead read = ReadThousandths(std::string_view(text, size), n);
    const bool in_range = expected <= kMax && expected >= -kMax - 1;
    ++checked;
    if (in_range ? read == QuantityRead::kNumber && n == expected
                 : read == QuantityRead::kOutOfRange)
      return;
    if (++wrong <= 10) ADD_FAILURE() << std::string(text, size) << " expected " << expected;
  };
  // The digits of `m` with a point before the last `decimals`, after the
  // sign, optionally padded with zeros after the sign to `width` bytes.
  auto spell = [&](bool negative, std::int64_t m, int decimals, std::size_t width) {
    char digits[12];
    std::size_t count = 0;
    for (std::int64_t v = m; count == 0 || v > 0 || count <= static_cast<std::size_t>(decimals);
         v /= 10)
      digits[count++] = static_cast<char>('0' + v % 10);
    std::size_t size = 0;
    if (negative) text[size++] = '-';
    const std::size_t body = count + (decimals > 0 ? 1 : 0) + size;
    for (std::size_t pad = body; pad < width; ++pad) text[size++] = '0';
    for (std::size_t k = count; k-- > 0;) {
      text[size++] = digits[k];
      if (decimals > 0 && k == static_cast<std::size_t>(decimals)) text[size++] = '.';
    }
    return size;
  };
  for (int decimals = 0; decimals <= 3; ++decimals) {
    std::int64_t scale = 1;
    for (int d = decimals; d < 3; ++d) scale *= 10;
    for (const bool negative : {false, true}) {
      // The most digits that fit 8 bytes with the point and the sign.
      const int digits = 8 - (decimals > 0 ? 1 : 0) - (negative ? 1 : 0);
      std::int64_t end = 1;
      for (int d = 0; d < digits; ++d) end *= 10;
      auto one = [&](std::int64_t m) {
        const std::int64_t expected = negative ? -m * scale : m * scale;
        check(spell(negative, m, decimals, 0), expected);
        check(spell(negative, m, decimals, 8), expected);
      };
      // Near the range's ends every value, elsewhere every kStride-th.
      const std::int64_t edge = (kMax + 1) / scale;
      for (std::int64_t m = 0; m < end; m += kStride) one(m);
      for (std::int64_t m = edge - 1000; m <= edge + 1000 && m < end; ++m)
        if (m >= 0) one(m);
    }
  }
  EXPECT_EQ(wrong, 0u);
  EXPECT_GE(checked, 2000000u);
  std::printf("quantity texts checked: %llu\n", static_cast<unsigned long long>(checked));
}

TEST(Quantity, NoNumber) {
  const char* no_number[] = {"",    " ",   "abc",  "-",     "+.", ".",   "inf",
                             "nan", "INF", "0x10", "0X1p3", "e5", "--1", "- 1"};
  for (const char* text : no_number) {
    std::int32_t n = 0;
    EXPECT_EQ(ReadThousandths(text, n), QuantityRead::kNoNumber) << text;
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
