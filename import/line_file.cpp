#include "import/line_file.h"

#include "base/time_text.h"

namespace kolektor {

bool TMCustomFile::Open() {
  Close();
  file_ = platform_.Open(path_, read_only_ ? OpenMode::kRead : OpenMode::kWriteKeep);
  return file_ != nullptr;
}

bool TMCustomFile::GetSize(std::uint64_t& size) { return file_ && file_->Size(size); }

bool TMCustomFile::SetPointer(std::uint64_t position) { return file_ && file_->Seek(position); }

bool TMCustomFile::Close() {
  if (!file_) return true;
  const bool ok = file_->Close();
  file_.reset();
  return ok;
}

bool LineReader::Next(File& file, std::string& line, std::string_view terminator) {
  if (failed_) return false;
  for (;;) {
    const std::size_t end = pending_.find(terminator, start_);
    if (end != std::string::npos) {
      line.assign(pending_, start_, end - start_);
      start_ = end + terminator.size();
      unterminated_ = false;
      return true;
    }
    if (at_end_) {
      if (start_ == pending_.size()) return false;
      line.assign(pending_, start_, std::string::npos);
      start_ = pending_.size();
      unterminated_ = true;
      return true;
    }
    pending_.erase(0, start_);  // keep only the unfinished line
    start_ = 0;
    char buffer[1 << 14];
    const long got = file.Read(buffer, sizeof buffer);
    if (got < 0) {
      failed_ = true;
      return false;
    }
    if (got == 0)
      at_end_ = true;
    else
      pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

bool TMFile::WriteLine(std::string_view text, std::string_view terminator) {
  if (!file_) return false;
  return file_->Write(text.data(), text.size()) == text.size() &&
         file_->Write(terminator.data(), terminator.size()) == terminator.size();
}

std::string TdtTools::ToString(TdtFormat) const {
  // Only the one form the journal uses exists.
  return TimeText(moment_, "Y-M-D h:m:s");
}

}  // namespace kolektor
