// Files on Windows through their handles: 64-bit sizes and positions (a
// journal grows past 4 GiB over the years), the file's identity, and the
// system's error code of every failure, left for GetLastError(). Writes are buffered as the C
// runtime's were, so one write per record stays cheap.
#include "platform/win32_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace kolektor {

namespace {

constexpr std::size_t kWriteBuffer = 1 << 16;

class Win32File final : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { Close(); }

  long Read(char* buffer, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE || !WritePending()) return -1;
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!::ReadFile(handle_, buffer, want, &got, nullptr)) {
      Failed();
      return -1;
    }
    return static_cast<long>(got);
  }

  std::size_t Write(const char* data, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE || failed_) return 0;
    if (pending_.size() + size > kWriteBuffer && !WritePending()) return 0;
    if (size >= kWriteBuffer) return WriteThrough(data, size) ? size : 0;
    pending_.insert(pending_.end(), data, data + size);
    return size;
  }

  bool Size(std::uint64_t& size) override {
    LARGE_INTEGER value;
    if (handle_ == INVALID_HANDLE_VALUE || !WritePending()) return false;
    if (!::GetFileSizeEx(handle_, &value)) return Failed();
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
  }

  bool Seek(std::uint64_t position) override {
    if (handle_ == INVALID_HANDLE_VALUE || !WritePending()) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) return Failed();
    return true;
  }

  bool Identity(FileId& id) override {
    return handle_ != INVALID_HANDLE_VALUE && HandleIdentity(handle_, id);
  }

  // Also after a failed write: what did not fit is dropped, and a file cut
  // back to its earlier size is sound again.
  bool Truncate(std::uint64_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    pending_.clear();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_))
      return Failed();
    failed_ = false;
    return true;
  }

  bool Flush() override {
    if (handle_ == INVALID_HANDLE_VALUE || !WritePending()) return false;
    return ::FlushFileBuffers(handle_) != 0 || Failed();
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return !failed_;
    const bool flushed = WritePending();
    const DWORD flush_error = ::GetLastError();
    if (!::CloseHandle(handle_)) Failed();
    handle_ = INVALID_HANDLE_VALUE;
    if (!flushed) ::SetLastError(flush_error);  // the cause, not the close
    return flushed && !failed_;
  }

 private:
  // The failing call's error stays for GetLastError().
  bool Failed() {
    failed_ = true;
    return false;
  }

  bool WriteThrough(const char* data, std::size_t size) {
    while (size > 0) {
      const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD put = 0;
      if (!::WriteFile(handle_, data, chunk, &put, nullptr) || put == 0) return Failed();
      data += put;
      size -= put;
    }
    return true;
  }

  bool WritePending() {
    if (failed_) return false;
    if (pending_.empty()) return true;
    const bool ok = WriteThrough(pending_.data(), pending_.size());
    pending_.clear();
    return ok;
  }

  HANDLE handle_;
  std::vector<char> pending_;
  bool failed_ = false;
};

}  // namespace

bool HandleIdentity(void* handle, FileId& id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(static_cast<HANDLE>(handle), &info)) return false;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

std::unique_ptr<File> OpenWin32File(const std::string& path, OpenMode mode) {
  // Others may read and write the file meanwhile, as with the C runtime's
  // fopen: the host may still hold its goods file open.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::kRead:
      break;
    case OpenMode::kWriteTruncate:
      access = GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case OpenMode::kWriteKeep:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = OPEN_ALWAYS;
      break;
  }
  const HANDLE handle = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

}  // namespace kolektor
