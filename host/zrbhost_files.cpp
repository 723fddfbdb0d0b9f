#include "host/zrbhost_files.h"

#include <memory>

#include "base/cp1250.h"
#include "base/file_names.h"
#include "base/held_files.h"
#include "base/host_link.h"
#include "base/texts.h"
#include "export/goods_conversion.h"
#include "host/program_texts.h"
#include "import/data_conversion.h"
#include "import/journal.h"
#include "tools/docs/message_reference.h"
#include "tools/files/goods_warnings.h"
#include "tools/files/journal_tool.h"
#include "tools/files/stock_report.h"

namespace kolektor::zrbhost {

namespace {

namespace u = ui;
using ui::Fill;

std::string Utf8(const std::string& cp1250) { return Utf8FromCp1250(cp1250); }

// The till's files, held for a moment by a virus scanner or a backup as
// the plug-in meets them, are waited for as the plug-in waits.
// `role` names what the file is to the person ("pliku towarów",
// "dziennika"), and the error says why Windows refused it.
std::unique_ptr<File> OpenOrSay(Platform& platform, const std::string& path, OpenMode mode,
                                const Printer& print, std::string_view role = u::kRoleFile) {
  std::unique_ptr<File> file = OpenWaitingWhileHeld(platform, nullptr, "opening", path, mode);
  if (!file) {
    const std::uint32_t error = platform.LastError();
    print.error(Fill(mode == OpenMode::kRead ? u::kToolCannotOpen : u::kToolCannotWrite,
                     {std::string(role), Utf8(path)}) +
                print.Reason(error) + "\n");
  }
  return file;
}

// Where an append that did not finish began, from its record beside the
// journal; kNoUnfinishedAppend when there is none.
std::uint64_t UnfinishedFrom(Platform& platform, const std::string& journal_path) {
  std::uint64_t size = 0;
  std::unique_ptr<File> record = OpenWaitingWhileHeld(
      platform, nullptr, "opening", AppendRecordPath(journal_path), OpenMode::kRead);
  return record && ReadAppendRecord(*record, size) ? size : kNoUnfinishedAppend;
}

// A column of the journal's listing.
std::string Pad(const std::string& text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string fill(width - text.size(), ' ');
  return right ? fill + text : text + fill;
}

// The conversion reports through host callbacks; the tools collect them.
thread_local std::vector<std::string>* t_errors = nullptr;
void KOLEKTOR_STDCALL CollectError(HostWord, HostWord, const char* text) {
  if (t_errors != nullptr) t_errors->emplace_back(text);
}
void KOLEKTOR_STDCALL NoParam(HostWord, HostWord, const char*, char* value) { value[0] = '\0'; }

}  // namespace

std::string Printer::Reason(std::uint32_t code) const {
  if (code == 0) return std::string();
  return " " + std::string(u::kSystemErrorHead) + std::to_string(code) + ")";
}

void PrintExplained(const std::string& cp1250_text, const Print& print) {
  print(Fill(u::kHostError, {Utf8(cp1250_text)}) + "\n");
  if (const text::Explanation* x = text::Explain(cp1250_text))
    print(ExplanationLines(*x, "    ", 76));
}

bool ConvertData(File& data, File& counts, std::vector<std::string>& errors,
                 std::uint64_t* records_written) {
  PluginInstance instance;
  instance.paramCallback = &NoParam;
  instance.errorCallback = &CollectError;
  t_errors = &errors;
  const bool ok = ConvertDataStream(data, counts, HostLink(instance, 0), records_written);
  t_errors = nullptr;
  return ok;
}

int Check(Platform& platform, const std::string& goods_path, int price_level,
          std::size_t max_code_length, const Printer& print) {
  GoodsOptions options;
  options.price_level = price_level;
  options.max_code_length = max_code_length;
  std::unique_ptr<File> goods =
      OpenOrSay(platform, goods_path, OpenMode::kRead, print, u::kRoleGoodsFile);
  if (!goods) return 2;
  std::uint64_t faults = 0, warnings = 0;
  const GoodsCheckSummary summary = CheckGoods(*goods, options, [&](const GoodsCheckFault& f) {
    ++faults;
    print(Fill(u::kCheckFault, {std::to_string(f.line), std::to_string(f.offset)}));
    PrintExplained(f.text, print);
  });
  goods = OpenOrSay(platform, goods_path, OpenMode::kRead, print, u::kRoleGoodsFile);
  bool read = summary.read_error ? false : goods != nullptr;
  if (goods)
    read = FindGoodsWarnings(
               *goods, options,
               [&](const GoodsWarningFound& w) {
                 ++warnings;
                 const std::string text = GoodsWarningText(w, options);
                 print(w.line == 0 ? Fill(u::kCheckWarningNoLine, {text}) + "\n"
                                   : Fill(u::kCheckWarning, {std::to_string(w.line), text}) + "\n");
               }) &&
           read;
  if (!read) print.error(std::string(u::kCheckReadError) + "\n");
  print(Fill(u::kCheckSummary,
             {std::to_string(summary.lines), std::to_string(faults), std::to_string(warnings)}) +
        "\n");
  print((faults == 0 ? Fill(u::kCheckToTerminal, {std::to_string(summary.records)})
                     : std::string(u::kCheckNothingToTerminal)) +
        "\n");
  if (faults > 0 || !read) return 1;
  return warnings > 0 ? 3 : 0;
}

int JournalList(Platform& platform, const std::string& journal_path, const Printer& print) {
  std::unique_ptr<File> journal =
      OpenOrSay(platform, journal_path, OpenMode::kRead, print, u::kRoleJournal);
  if (!journal) return 2;
  print(Fill(u::kJournalTitle, {Utf8(journal_path)}) + "\n" + std::string(u::kJournalColumns) +
        "\n");
  std::uint64_t doubles = 0;
  const std::uint64_t unfinished_from = UnfinishedFrom(platform, journal_path);
  const JournalSummary summary = ListJournal(
      *journal,
      [&](const JournalBlock& b) {
        std::string row =
            Pad(std::to_string(b.number), 6, true) + "  " +
            Pad(std::string(b.import ? u::kJournalImport : u::kJournalExport), 7, false) + "  " +
            Pad(Utf8(b.date), 19, false) + "  " + Pad(std::to_string(b.records), 9, true) + "  " +
            Pad(Thousandths(b.total), 15, true);
        if (b.same_as != 0) {
          row += "  " + Fill(u::kJournalDouble, {std::to_string(b.same_as)});
          ++doubles;
        }
        if (b.unfinished) row += "  " + std::string(u::kJournalUnfinished);
        if (b.records == 0 && !b.unfinished) row += "  " + std::string(u::kJournalEmpty);
        print(row + "\n");
      },
      unfinished_from);
  print(Fill(u::kJournalSummary, {std::to_string(summary.blocks), std::to_string(doubles)}) + "\n");
  if (summary.lines_outside > 0)
    print(Fill(u::kJournalOutside, {std::to_string(summary.lines_outside)}) + "\n");
  if (unfinished_from != kNoUnfinishedAppend)
    print(Fill(u::kJournalRepairPending, {Utf8(AppendRecordPath(journal_path))}) + "\n");
  if (summary.read_error) {
    print.error(std::string(u::kCheckReadError) + "\n");
    return 1;
  }
  return 0;
}

int JournalExtract(Platform& platform, const std::string& journal_path, const std::string& number,
                   const std::string& counts_path, const Printer& print, bool unfinished_allowed) {
  std::uint64_t n = 0;
  for (char c : number) {
    if (c < '0' || c > '9' || n > 1000000000) {
      print.error(Fill(u::kJournalNoBlock, {number}) + "\n");
      return 2;
    }
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  std::unique_ptr<File> journal =
      OpenOrSay(platform, journal_path, OpenMode::kRead, print, u::kRoleJournal);
  if (!journal) return 2;
  // An unfinished block lacks counts: it is written out only when asked
  // for, and then only its whole lines. Told before the counts file is
  // touched.
  const std::uint64_t unfinished_from = UnfinishedFrom(platform, journal_path);
  bool unfinished = false;
  const JournalSummary summary = ListJournal(
      *journal,
      [&](const JournalBlock& b) { unfinished = unfinished || (b.number == n && b.unfinished); },
      unfinished_from);
  if (unfinished && !unfinished_allowed) {
    print(Fill(u::kJournalRefuseUnfinished, {number}) + "\n");
    return 1;
  }
  journal = OpenOrSay(platform, journal_path, OpenMode::kRead, print, u::kRoleJournal);
  if (!journal) return 2;
  if (n == 0 || summary.blocks < n) {
    print(Fill(u::kJournalNoBlock, {number}) + "\n");
    return 1;
  }
  std::unique_ptr<File> counts =
      OpenOrSay(platform, counts_path, OpenMode::kWriteTruncate, print, u::kRoleCountsFile);
  if (!counts) return 2;
  std::uint64_t records = 0;
  switch (ExtractBlock(*journal, n, *counts, &records, unfinished_from)) {
    case ExtractResult::kDone:
      print(Fill(unfinished ? u::kJournalExtractedUnfinished : u::kJournalExtracted,
                 {number, std::to_string(records), Utf8(counts_path)}) +
            "\n");
      return 0;
    case ExtractResult::kNoBlock:
      print.error(Fill(u::kJournalNoBlock, {number}) + "\n");
      return 1;
    case ExtractResult::kReadFailed:
      print.error(std::string(u::kCheckReadError) + "\n");
      return 1;
    case ExtractResult::kWriteFailed:
      print.error(Fill(u::kToolCannotWrite, {std::string(u::kRoleCountsFile), Utf8(counts_path)}) +
                  print.Reason(platform.LastError()) + "\n");
      return 1;
  }
  return 1;
}

namespace {

// The journal's folder as its path names it, separator included
// (C:\DANE\ and C: as given, nothing for the current folder): the
// folder's lock is this followed by the lock file's name.
std::string FolderPart(const std::string& journal_path) {
  const std::size_t end = journal_path.find_last_of("\\/:");
  return journal_path.substr(0, end == std::string::npos ? 0 : end + 1);
}

// The folder as a person reads it: C:\DANE, C:\, "." for the current one.
std::string Shown(std::string folder) {
  const bool root = folder.size() == 3 && folder[1] == ':';
  if (folder.size() > 1 && !root && (folder.back() == '\\' || folder.back() == '/'))
    folder.pop_back();
  return folder.empty() ? "." : folder;
}

std::uint64_t SizeOf(Platform& platform, const std::string& path) {
  std::uint64_t size = 0;
  const std::unique_ptr<File> file = platform.Open(path, OpenMode::kRead);
  if (!file || !file->Size(size)) return 0;
  return size;
}

}  // namespace

int JournalRepair(Platform& platform, const std::string& journal_path, const Printer& print) {
  if (!platform.FileExists(journal_path)) {
    print.error(Fill(u::kToolCannotOpen, {Utf8(journal_path)}) + "\n");
    return 2;
  }
  // No import may append, nor begin, while the journal is cut back.
  const std::string folder = FolderPart(journal_path);
  const std::string lock_path = folder + std::string(kLockFileName);
  LockHandle lock = 0;
  switch (platform.Lock(lock_path, lock)) {
    case LockResult::kTaken:
      break;
    case LockResult::kBusy:
      print.error(Fill(u::kRepairBusy, {Utf8(Shown(folder)), Utf8(lock_path)}) + "\n");
      return 1;
    default:
      print.error(Fill(u::kRepairNoLock, {Utf8(lock_path)}) + "\n");
      return 1;
  }
  const std::string record_path = AppendRecordPath(journal_path);
  const std::uint64_t before = SizeOf(platform, journal_path);
  const kolektor::JournalRepair result = RepairJournal(platform, journal_path, nullptr);
  const std::uint64_t after = SizeOf(platform, journal_path);
  platform.Unlock(lock);
  switch (result) {
    case kolektor::JournalRepair::kNothing:
      print(Fill(u::kRepairNothing, {Utf8(journal_path)}) + "\n");
      return 0;
    case kolektor::JournalRepair::kRepaired:
      print((after < before ? Fill(u::kRepairCut, {Utf8(journal_path), std::to_string(before),
                                                   std::to_string(after), Utf8(record_path)})
                            : Fill(u::kRepairRecordOnly, {Utf8(record_path), Utf8(journal_path)})) +
            "\n");
      return 0;
    case kolektor::JournalRepair::kFailed:
      break;
  }
  print.error(Fill(u::kRepairFailed, {Utf8(journal_path), Utf8(record_path)}) + "\n");
  return 1;
}

int Convert(Platform& platform, const std::string& data_path, const std::string& counts_path,
            const Printer& print) {
  // The person names the files: a missing one is theirs to correct, not
  // the "no result file" of a download.
  std::unique_ptr<File> data =
      OpenOrSay(platform, data_path, OpenMode::kRead, print, u::kRoleDataFile);
  if (!data) return 2;
  std::unique_ptr<File> counts =
      OpenOrSay(platform, counts_path, OpenMode::kWriteTruncate, print, u::kRoleCountsFile);
  if (!counts) return 2;
  std::vector<std::string> errors;
  std::uint64_t records = 0;
  const bool ok = ConvertData(*data, *counts, errors, &records);
  for (const std::string& e : errors) PrintExplained(e, print.error);
  print(Fill(ok ? u::kConvertDone : u::kConvertStopped,
             {Utf8(data_path), Utf8(counts_path), std::to_string(records)}) +
        "\n");
  return ok ? 0 : 1;
}

int Report(Platform& platform, const std::string& goods_path, const std::string& counts_path,
           const std::string& csv_path, const Printer& print) {
  std::unique_ptr<File> goods =
      OpenOrSay(platform, goods_path, OpenMode::kRead, print, u::kRoleGoodsFile);
  std::unique_ptr<File> counts =
      OpenOrSay(platform, counts_path, OpenMode::kRead, print, u::kRoleCountsFile);
  if (!goods || !counts) return 2;
  StockReport report;
  if (!BuildStockReport(*goods, *counts, report)) {
    print.error(std::string(u::kCheckReadError) + "\n");
    return 1;
  }
  std::unique_ptr<File> csv =
      OpenOrSay(platform, csv_path, OpenMode::kWriteTruncate, print, u::kRoleReport);
  if (!csv) return 2;
  const std::string bytes = StockReportCsv(report);
  if (csv->Write(bytes.data(), bytes.size()) != bytes.size() || !csv->Close()) {
    print.error(Fill(u::kToolCannotWrite, {std::string(u::kRoleReport), Utf8(csv_path)}) +
                print.Reason(platform.LastError()) + "\n");
    return 1;
  }
  print(StockReportSummary(report) + Fill(u::kReportWritten, {Utf8(csv_path)}) + "\n");
  return 0;
}

}  // namespace kolektor::zrbhost
