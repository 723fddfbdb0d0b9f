// zrbhost's commands on the files around the plug-in: they need no plug-in
// and no host, only the plug-in's own conversion code, and reach the files
// through `platform`, waiting as the plug-in does while another program
// holds one for a moment. Portable, so that the native tests run them too.
// Each prints its output through `print` and its errors through
// `print.error` (UTF-8), and returns the program's exit code: 0 done, 1
// faults found or the work stopped, 2 a file that cannot be opened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kolektor::zrbhost {

using Print = std::function<void(const std::string& utf8)>;
struct Printer {
  Print out, error;  // standard output, standard error
  void operator()(const std::string& utf8) const { out(utf8); }
  // " (błąd systemu N)" to end a file's error with, where the program puts
  // Windows' reason beside the number; empty for code 0 (the platform
  // could not tell).
  std::string Reason(std::uint32_t code) const;
};

// "błąd: <text>" and, under it, the text's explanation from the message
// table.
void PrintExplained(const std::string& cp1250_text, const Print& print);

// Faults (exit code 1) and warnings (exit code 3 when there is no fault);
// 0 when the file is clean, 2 when it cannot be read.
int Check(Platform& platform, const std::string& goods_path, int price_level,
          std::size_t max_code_length, const Printer& print);
int JournalList(Platform& platform, const std::string& journal_path, const Printer& print);
// A block cut short by an unfinished append is refused (exit code 1)
// unless `unfinished_allowed`; then its whole lines are written.
int JournalExtract(Platform& platform, const std::string& journal_path, const std::string& number,
                   const std::string& counts_path, const Printer& print,
                   bool unfinished_allowed = false);
// What the next import does to a block whose append was cut short, done
// under the folder's import lock (kolektor.lock beside the journal), taken
// as an import takes it: 0 repaired or nothing to repair, 1 refused while
// an import holds the lock or not repaired, 2 no journal.
int JournalRepair(Platform& platform, const std::string& journal_path, const Printer& print);
int Convert(Platform& platform, const std::string& data_path, const std::string& counts_path,
            const Printer& print);
int Report(Platform& platform, const std::string& goods_path, const std::string& counts_path,
           const std::string& csv_path, const Printer& print);

// The import's conversion of a data file, its messages collected
// (Windows-1250), the counts records it wrote counted; the counts file is
// closed on return.
bool ConvertData(File& data, File& counts, std::vector<std::string>& errors,
                 std::uint64_t* records_written = nullptr);

}  // namespace kolektor::zrbhost
