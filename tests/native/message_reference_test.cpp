// Every text the plug-in can send the host has its explanation, and the
// shipped message reference is made from that table.
#include "tools/docs/message_reference.h"

#include <gtest/gtest.h>

#include "base/cp1250.h"
#include "base/texts.h"
#include "export/goods_conversion.h"
#include "tests/corpus/corpus_format.h"
#include "tools/docs/reference_docs.h"

namespace kolektor::testing {
namespace {

namespace t = text;

// The error texts as the texts header spells them (UTF-8), read from the
// source between its two marker lines, apart from the table that keys the
// explanations: a text added there without an explanation is found.
std::vector<std::pair<std::string, std::string>> ErrorTextsInTheSource() {
  const std::string source = corpus::ReadAll(std::string(KOLEKTOR_SOURCE_DIR) + "/base/texts.h");
  const std::size_t begin = source.find("// ---- Texts the host receives as errors");
  const std::size_t end = source.find("// ---- End of the texts the host receives as errors");
  EXPECT_NE(begin, std::string::npos);
  EXPECT_NE(end, std::string::npos);
  std::vector<std::pair<std::string, std::string>> texts;  // name, text
  const std::string_view macro = "KOLEKTOR_TEXT(";
  for (std::size_t at = source.find(macro, begin); at < end; at = source.find(macro, at)) {
    at += macro.size();
    const std::size_t comma = source.find(',', at);
    std::string name = source.substr(at, comma - at), text;
    // Adjacent literals up to the closing parenthesis, escapes undone.
    std::size_t i = comma + 1;
    while (i < source.size() && source[i] != ')') {
      if (source[i++] != '"') continue;
      for (; source[i] != '"'; ++i) {
        if (source[i] != '\\') {
          text += source[i];
          continue;
        }
        const char escaped = source[++i];
        text += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
      }
      ++i;
    }
    texts.emplace_back(name, text);
    at = i;
  }
  return texts;
}

TEST(MessageReference, EveryTextTheHostCanReceiveIsExplained) {
  const auto texts = ErrorTextsInTheSource();
  EXPECT_GE(texts.size(), 40u) << "the block of error texts was not found whole";
  for (const auto& [name, utf8] : texts) {
    std::string cp1250;
    ASSERT_TRUE(Cp1250FromUtf8(utf8, cp1250)) << name;
    bool explained = false;
    for (const t::Explanation& e : t::kExplanations)
      explained = explained || e.first == cp1250 || (!e.last.empty() && e.last == cp1250);
    EXPECT_TRUE(explained) << name << " has no explanation in kExplanations";
  }
  // Every goods fault's whole text, as the conversion composes it.
  for (int f = static_cast<int>(GoodsFault::kTow); f <= static_cast<int>(GoodsFault::kVatNumber);
       ++f)
    for (const char* code : {"", "5901234123457", "]x"}) {
      const std::string text = GoodsFaultText(static_cast<GoodsFault>(f), code);
      EXPECT_NE(t::Explain(text), nullptr) << text;
    }
  // The two texts numbered 11 are told apart.
  EXPECT_NE(t::Explain(GoodsFaultText(GoodsFault::kSalePriceNumber, "1")),
            t::Explain(GoodsFaultText(GoodsFault::kBookPriceNumber, "1")));
  EXPECT_EQ(t::Explain("Coś innego."), nullptr);
  // Two texts that begin alike are told apart by their ends.
  EXPECT_NE(t::Explain(t::Compound(t::kKeepDataFailedBegin, "a.dat", t::kKeepDataFailedEnd)),
            t::Explain(t::Compound(t::kKeepDataNoNameBegin, "a.dat", t::kKeepDataNoNameEnd)));
  EXPECT_NE(t::Explain(t::DriverStartFailed("C:\\ZRBDLOOKUP2.EXE")), nullptr);
}

TEST(MessageReference, ShippedFilesAreMadeFromTheTable) {
  const std::string packaging = std::string(KOLEKTOR_SOURCE_DIR) + "/packaging/";
  EXPECT_EQ(corpus::ReadAll(packaging + "KOMUNIKATY.txt"), docs::MessagesFile())
      << "run build/native/kolektor_docs . to update packaging/";
  const std::string install = corpus::ReadAll(packaging + "INSTALL.txt");
  EXPECT_EQ(install, docs::WithMessageSection(install))
      << "run build/native/kolektor_docs . to update packaging/";
}

// What zrbhost prints on a console: a long line breaks between words, the
// rest indented under it; short lines, a table's blanks and a word longer
// than the console stay as they are.
TEST(MessageReference, LongLinesBreakBetweenWords) {
  const struct Case {
    std::string text;
    std::string wrapped;
  } cases[] = {
      {"krótki tekst\n", "krótki tekst\n"},
      {"wiersz 2: ostrzeżenie: żółć", "wiersz 2:\n  ostrzeżenie:\n  żółć"},
      {"  7  23  45 <- ten sam\r\n", "  7  23  45\n    <- ten\n    sam\r\n"},
      {"a bardzodługiesłowo b", "a\n  bardzodługiesłowo\n  b"},
      {"jeden\n\ndwa trzy cztery pięć", "jeden\n\ndwa trzy\n  cztery\n  pięć"},
      // A label keeps its number; a number too long to go with it does not.
      {"suma: 1, niepoliczonych: 12.", "suma: 1,\n  niepoliczonych:\n  12."},
      {"a bc suma: 12", "a bc\n  suma: 12"},
      {"ilość -0,5 sztuk", "ilość -0,5\n  sztuk"},
  };
  for (const Case& c : cases) EXPECT_EQ(WrapLongLines(c.text, 12), c.wrapped) << c.text;
}

}  // namespace
}  // namespace kolektor::testing
