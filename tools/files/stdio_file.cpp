// Files through the C runtime's buffered streams. Buffering keeps one write
// per record cheap; Close() reports a failed flush, so a full disk is seen.
#include "tools/files/stdio_file.h"

#include <climits>
#include <cstdio>

namespace kolektor {

namespace {

class StdioFile final : public File {
 public:
  explicit StdioFile(std::FILE* file) : file_(file) {}
  ~StdioFile() override { Close(); }

  long Read(char* buffer, std::size_t size) override {
    if (file_ == nullptr) return -1;
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(got);
  }

  std::size_t Write(const char* data, std::size_t size) override {
    if (file_ == nullptr) return 0;
    return std::fwrite(data, 1, size, file_);
  }

  bool Size(std::uint64_t& size) override {
    if (file_ == nullptr || std::fflush(file_) != 0) return false;
    const long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file_);
    if (end < 0 || std::fseek(file_, here, SEEK_SET) != 0) return false;
    size = static_cast<std::uint64_t>(end);
    return true;
  }

  bool Seek(std::uint64_t position) override {
    if (file_ == nullptr || position > static_cast<std::uint64_t>(LONG_MAX)) return false;
    return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
  }

  // The C runtime cannot tell; the real platform's files can.
  bool Identity(FileId&) override { return false; }
  // Nor can it cut an open file; the journal is written through the real
  // platform's files.
  bool Truncate(std::uint64_t) override { return false; }
  bool Flush() override { return file_ != nullptr && std::fflush(file_) == 0; }

  bool Close() override {
    if (file_ == nullptr) return ok_;
    const bool flushed = !std::ferror(file_) && std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    ok_ = flushed && closed;
    return ok_;
  }

 private:
  std::FILE* file_;
  bool ok_ = true;
};

}  // namespace

std::unique_ptr<File> OpenStdioFile(const std::string& path, OpenMode mode) {
  std::FILE* file = nullptr;
  switch (mode) {
    case OpenMode::kRead:
      file = std::fopen(path.c_str(), "rb");
      break;
    case OpenMode::kWriteTruncate:
      file = std::fopen(path.c_str(), "wb");
      break;
    case OpenMode::kWriteKeep:
      // "r+b" keeps the content but needs the file; create it first.
      file = std::fopen(path.c_str(), "r+b");
      if (file == nullptr) {
        std::FILE* created = std::fopen(path.c_str(), "ab");
        if (created == nullptr) return nullptr;
        std::fclose(created);
        file = std::fopen(path.c_str(), "r+b");
      }
      break;
  }
  if (file == nullptr) return nullptr;
  // Records are written one at a time; a larger buffer saves system calls.
  if (mode != OpenMode::kRead) std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
  return std::make_unique<StdioFile>(file);
}

}  // namespace kolektor
