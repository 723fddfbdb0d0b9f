// A small line-file layer in place of the host's support library, doing
// only what the transfer journal needs of it: open a file for reading or
// for appending, read and write lines with a chosen terminator, and put a
// date into words. Every call reports failure by its result.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kolektor {

// Lines of an open file, each ended by a terminator; a last line without
// one is still a line. Holds what was read but not yet handed out.
class LineReader {
 public:
  // The next line without its terminator; false when no line is left or
  // the file could not be read (then Failed() tells).
  bool Next(File& file, std::string& line, std::string_view terminator);
  bool Failed() const { return failed_; }
  // The line Next() gave last had no terminator: the file ended inside it.
  bool Unterminated() const { return unterminated_; }

 private:
  std::string pending_;  // read but not yet handed out, from start_
  std::size_t start_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  bool unterminated_ = false;
};

class TMCustomFile {
 public:
  explicit TMCustomFile(Platform& platform) : platform_(platform) {}
  virtual ~TMCustomFile() { Close(); }

  void SetPath(std::string path) { path_ = std::move(path); }
  // Read-only opens an existing file for reading; otherwise the file is
  // opened for writing, created when missing, its content kept.
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool Open();
  bool GetSize(std::uint64_t& size);
  bool SetPointer(std::uint64_t position);
  // Cuts the file back to `size` bytes; false when it could not be cut.
  bool Truncate(std::uint64_t size) { return file_ && file_->Truncate(size); }
  // Puts what was written on the disk; false when it could not.
  bool Flush() { return file_ && file_->Flush(); }
  // Flushes and closes; false when written data could not be kept.
  bool Close();

 protected:
  Platform& platform_;
  std::unique_ptr<File> file_;
  std::string path_;
  bool read_only_ = true;
};

class TMFile : public TMCustomFile {
 public:
  using TMCustomFile::TMCustomFile;

  // The next line without its terminator; false when no line is left or
  // the file could not be read (then Failed() tells). A last line without
  // terminator is still a line.
  bool ReadLine(std::string& line, std::string_view terminator) {
    return file_ && lines_.Next(*file_, line, terminator);
  }
  bool Failed() const { return lines_.Failed(); }
  // Writes the text and the terminator at the current position.
  bool WriteLine(std::string_view text, std::string_view terminator);

 private:
  LineReader lines_;
};

enum class TdtFormat { kDateTime = 7 };

class TdtTools {
 public:
  explicit TdtTools(const LocalTime& moment) : moment_(moment) {}
  // Format 7: "YYYY-MM-DD HH:MM:SS".
  std::string ToString(TdtFormat format) const;

 private:
  LocalTime moment_;
};

}  // namespace kolektor
