// Every text the plug-in can send the host has its explanation, and the
// shipped message reference is made from that table.
#include "plugin/message_reference.h"

#include <gtest/gtest.h>

#include "export/goods_conversion.h"
#include "plugin/texts.h"
#include "tests/corpus/corpus_format.h"
#include "tools/docs/reference_docs.h"

namespace kolektor::testing {
namespace {

namespace t = text;

TEST(MessageReference, EveryTextTheHostCanReceiveIsExplained) {
  std::vector<std::string> texts = {
      std::string(t::kGoodsOpenFailed),
      std::string(t::kWorkFileOpenFailed),
      std::string(t::kWorkFileWriteFailed),
      std::string(t::kRegistryOpenFailed),
      std::string(t::kRegistryReadFailed),
      std::string(t::kRegistryCloseFailed),
      t::DriverStartFailed("C:\\ZRBDLOOKUP2.EXE"),
      t::DriverStartFailed("C:\\DANE\\IR_READ2.EXE a.dat,1,5,1,1,1,1,0"),
      std::string(t::kDataFileMissing),
      std::string(t::kCountsOpenFailed),
      std::string(t::kData2),
      std::string(t::kData3),
      std::string(t::kData4),
      std::string(t::kData6),
      std::string(t::kData7),
      std::string(t::kNoConnection),
      t::Compound(t::kImportBusyBegin, "C:\\DANE", t::kImportBusyEnd),
      t::Compound(t::kImportLockFailedBegin, "C:\\DANE", t::kImportLockFailedEnd),
      t::Compound(t::kKeepDataFailedBegin, "C:\\DANE\\a.dat", t::kKeepDataFailedEnd),
      std::string(t::kDownloadCut),
      t::Compound(t::kLockBlockedBegin, "X:\\kolektor.lock", t::kLockBlockedEnd),
      t::Compound(t::kFolderTooLongBegin, "C:\\DANE", t::kFolderTooLongEnd),
      t::Compound(t::kKeepDataNoNameBegin, "C:\\DANE\\a.dat", t::kKeepDataNoNameEnd),
  };
  for (int f = static_cast<int>(GoodsFault::kTow); f <= static_cast<int>(GoodsFault::kVatNumber);
       ++f)
    for (const char* code : {"", "5901234123457", "]x"})
      texts.push_back(GoodsFaultText(static_cast<GoodsFault>(f), code));
  for (const std::string& text : texts) EXPECT_NE(t::Explain(text), nullptr) << text;
  // The two texts numbered 11 are told apart.
  EXPECT_NE(t::Explain(GoodsFaultText(GoodsFault::kSalePriceNumber, "1")),
            t::Explain(GoodsFaultText(GoodsFault::kBookPriceNumber, "1")));
  EXPECT_EQ(t::Explain("Coś innego."), nullptr);
  // Two texts that begin alike are told apart by their ends.
  EXPECT_NE(t::Explain(t::Compound(t::kKeepDataFailedBegin, "a.dat", t::kKeepDataFailedEnd)),
            t::Explain(t::Compound(t::kKeepDataNoNameBegin, "a.dat", t::kKeepDataNoNameEnd)));
}

TEST(MessageReference, ShippedFilesAreMadeFromTheTable) {
  const std::string packaging = std::string(KOLEKTOR_SOURCE_DIR) + "/packaging/";
  EXPECT_EQ(corpus::ReadAll(packaging + "KOMUNIKATY.txt"), docs::MessagesFile())
      << "run build/native/kolektor_docs . to update packaging/";
  const std::string install = corpus::ReadAll(packaging + "INSTALL.txt");
  EXPECT_EQ(install, docs::WithMessageSection(install))
      << "run build/native/kolektor_docs . to update packaging/";
}

}  // namespace
}  // namespace kolektor::testing
