// Real file faults on this machine's file system: a full device and a
// folder standing where a file should be.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "export/goods_conversion.h"
#include "import/data_conversion.h"
#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"
#include "tools/files/stdio_file.h"

namespace kolektor::testing {
namespace {

namespace fs = std::filesystem;

// The fake platform with real files.
class RealFilesPlatform : public FakePlatform {
 public:
  using FakePlatform::FakePlatform;
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    Record("open " + path);
    return OpenStdioFile(path, mode);
  }
  bool FileExists(const std::string& path) override { return fs::is_regular_file(path); }
  bool RemoveFile(const std::string& path) override { return fs::remove(path); }
};

struct TempDir {
  fs::path path;
  TempDir() {
    char pattern[] = "/tmp/kolektor-test-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path); }
};

void Write(const fs::path& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(RealFiles, FullDeviceGivesTheWriteError) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  EventLog log;
  RealFilesPlatform platform(log);
  TestHost host(log);
  TempDir dir;
  Write(dir.path / "exp.txt", "TOW;1;x;1;1;1;1\r\n");
  auto goods = platform.Open((dir.path / "exp.txt").string(), OpenMode::kRead);
  auto lookup = platform.Open("/dev/full", OpenMode::kWriteTruncate);
  ASSERT_TRUE(goods && lookup);
  EXPECT_FALSE(KonwertujTowary(*goods, *lookup, GoodsOptions{}, HostLink(*host.instance(), 1)));
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd zapisu do pliku roboczego.")});

  host.errors.clear();
  Write(dir.path / "a.dat", "1,2\r\n");
  EXPECT_FALSE(ConvertDataFile(platform, (dir.path / "a.dat").string(), "/dev/full",
                               HostLink(*host.instance(), 1)));
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd zapisu do pliku roboczego.")});
}

TEST(RealFiles, FolderInPlaceOfAFile) {
  EventLog log;
  RealFilesPlatform platform(log);
  TempDir dir;
  // The export's lookup file "a" is a folder: the open fails.
  {
    TestHost host(log);
    fs::create_directory(dir.path / "a");
    Write(dir.path / "exp.txt", "TOW;1;x;1;1;1;1\r\n");
    auto goods = platform.Open((dir.path / "exp.txt").string(), OpenMode::kRead);
    EXPECT_EQ(platform.Open((dir.path / "a").string(), OpenMode::kWriteTruncate), nullptr);
  }
  // The import's counts file is a folder: "imp" cannot be created, the
  // data file stays.
  {
    TestHost host(log);
    Write(dir.path / "a.dat", "1,2\r\n");
    fs::create_directory(dir.path / "imp");
    EXPECT_FALSE(ConvertDataFile(platform, (dir.path / "a.dat").string(),
                                 (dir.path / "imp").string(), HostLink(*host.instance(), 1)));
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"imp\".")});
    EXPECT_TRUE(fs::exists(dir.path / "a.dat"));
  }
  // The data file is a folder: reading it fails and is no end of data.
  {
    TestHost host(log);
    fs::create_directory(dir.path / "d.dat");
    EXPECT_FALSE(ConvertDataFile(platform, (dir.path / "d.dat").string(), (dir.path / "c").string(),
                                 HostLink(*host.instance(), 1)));
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Brak pliku wynikowego.")});
  }
  // A read-only folder: root may write there anyway, so only without it.
  if (geteuid() != 0) {
    TestHost host(log);
    fs::create_directory(dir.path / "ro");
    chmod((dir.path / "ro").c_str(), 0555);
    EXPECT_FALSE(ConvertDataFile(platform, (dir.path / "a.dat").string(),
                                 (dir.path / "ro" / "imp").string(),
                                 HostLink(*host.instance(), 1)));
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"imp\".")});
  }
}

}  // namespace
}  // namespace kolektor::testing
