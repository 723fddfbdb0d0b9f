// The real export under wine: registry value, short installation
// directory, the DLOOKUP2.EXE stand-in started in the goods directory.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

std::string InstallValue() {
  const std::string value = HklmValue("Software\\Orvisk\\ZRBWin\\Instalacja", "Binaria");
  EXPECT_NE(value, "(none)");
  return value;
}

std::string ShortForm(const std::string& path) {
  char out[MAX_PATH] = {};
  const DWORD got = GetShortPathNameA(path.c_str(), out, sizeof out);
  return got ? std::string(out, got) : path;
}

const char* kGoodsUtf8 =
    "TOW;5901234123457;Mąka pszenna, typ 500 1kg;189;249;12000;5\r\n"
    "TOW;5900000000017;Łódź,Kraków;1050;1299;-5;23\r\n";
const std::string kLookup =
    "5901234123457,Maka pszenna  ,2.49,12.000\r\n"
    "5900000000017,Lodz Krakow,12.99,-0.005\r\n";

TEST(WinExport, UploadStartedInTheGoodsDirectoryWithItsCommandLine) {
  const std::string dir = FreshDir("export_ok");
  StandinEnv env(dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_COPY", dir + "seen_by_upload");
  WriteFileBytes(dir + "exp.txt", Cp1250(kGoodsUtf8));
  Host host(1);
  host.params["port"] = "2";
  host.params["baud"] = "19200";
  const DWORD start = GetTickCount();
  EXPECT_EQ(LoadPlugin().eksport(host.instance(), 77, (dir + "exp.txt").c_str()), 1);
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(host.errors.empty()) << host.errors.at(0);
  EXPECT_EQ(ReadFileBytes(dir + "a"), kLookup);
  EXPECT_EQ(ReadFileBytes(dir + "seen_by_upload"), kLookup) << "complete before the upload";
  const std::string install = ShortForm(InstallValue());
  const std::vector<std::string> starts = env.Starts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "DLOOKUP2.EXE|" + install + "\\DLOOKUP2.EXE a,2,4,1|" +
                           NoSlash(FullPath(dir)) + "|a=present");
  const std::vector<std::string> order = {"param cena",   "status \nTransakcja w toku...",
                                          "param maxKod", "param timeout",
                                          "param port",   "param baud"};
  EXPECT_EQ(host.events, order);
  // About 4 s between the notice and reading the goods file.
  const DWORD pause = host.event_ticks.at(2) - host.event_ticks.at(1);
  EXPECT_GE(pause, 4000u - 20u);  // the upper bound: WinPauses, run alone
  EXPECT_GE(took, 4000u - 20u);
  for (int h : host.handles) EXPECT_EQ(h, 77);
}

TEST(WinExport, NonzeroExitAndLongUploadStillSucceed) {
  const std::string dir = FreshDir("export_exit");
  StandinEnv env(dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", "3");
  StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "1500");
  WriteFileBytes(dir + "exp.txt", Cp1250(kGoodsUtf8));
  Host host(2);
  host.params["timeout"] = "1 min";
  const DWORD start = GetTickCount();
  EXPECT_EQ(LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str()), 1);
  EXPECT_GE(GetTickCount() - start, 5500u - 40u) << "the whole upload is awaited";
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(env.Starts().size(), 1u);
}

// For as long as it lives, this process's HKEY_LOCAL_MACHINE is an empty
// key of its own: whatever reads the host's value then fails to find it.
class RegistryHidden {
 public:
  RegistryHidden()
      : name_("Software\\kolektor-tests\\hidden-" + std::to_string(GetCurrentProcessId())) {
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_), ERROR_SUCCESS);
  }
  ~RegistryHidden() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CURRENT_USER, name_.c_str());
  }

 private:
  std::string name_;
  HKEY key_ = nullptr;
};

TEST(WinExport, GoodsFaultStopsBeforeTheRegistryAndUpload) {
  const std::string dir = FreshDir("export_fault");
  StandinEnv env(dir);
  RegistryHidden hidden;
  // A sound goods file meets the hidden registry after its conversion.
  WriteFileBytes(dir + "sound.txt", Cp1250(kGoodsUtf8));
  Host sound(30);
  EXPECT_EQ(LoadPlugin().eksport(sound.instance(), 1, (dir + "sound.txt").c_str()), 0);
  EXPECT_EQ(sound.errors, std::vector<std::string>{Cp1250("Błąd otwarcia rejestru.")})
      << "the registry is hidden from the plug-in";

  // A fault in the goods file is the only error: the registry is never
  // reached, nor the settings asked after it, nor the upload.
  WriteFileBytes(dir + "exp.txt", Cp1250(kGoodsUtf8) + "TOW;77;x;1;1;1;1000\r\n");
  Host host(3);
  EXPECT_EQ(LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str()), 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{
                             Cp1250("[9] Błąd składni pliku \"exp\". - [77] błąd pola VAT")});
  EXPECT_EQ(host.events.back(), "error " + host.errors.at(0));
  for (const std::string& event : host.events)
    EXPECT_TRUE(event != "param port" && event != "param baud") << event;
  EXPECT_EQ(ReadFileBytes(dir + "a"), kLookup);
  EXPECT_TRUE(env.Starts().empty());
}

TEST(WinExport, GoodsFileMissing) {
  const std::string dir = FreshDir("export_missing");
  StandinEnv env(dir);
  Host host(4);
  EXPECT_EQ(LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str()), 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"exp\".")});
  EXPECT_FALSE(Exists(dir + "a"));
  EXPECT_EQ(host.events.size(), 5u);
}

// ZRB's 32-bit installer writes Binaria to the registry's 32-bit view; on
// 64-bit Windows a value of the same name may stand in the 64-bit view as
// well (written there by hand in regedit). The plug-in reads the host's
// view whatever its own machine: a 64-bit build that read its own view
// would start the upload from the other folder.
TEST(WinExport, BinariaIsReadFromTheViewZrbsInstallerWrites) {
  // 32-bit Windows (a 32-bit wine prefix) has one view: there is no other
  // value to write, and the test reads the only one.
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  const bool two_views = sizeof(void*) == 8 || wow64;
  const char* key = "Software\\Orvisk\\ZRBWin\\Instalacja";
  const std::string dir = FreshDir("export_view");
  StandinEnv env(dir);
  const std::string other = dir + "other";
  CreateDirectoryA(other.c_str(), nullptr);
  if (two_views) {
    SetBinaria(other, REG_SZ, true, KEY_WOW64_64KEY);
    ASSERT_EQ(HklmValue(key, "Binaria", KEY_WOW64_64KEY), other);
    ASSERT_NE(HklmValue(key, "Binaria"), other);
  }
  WriteFileBytes(dir + "exp.txt", Cp1250(kGoodsUtf8));
  Host host(6);
  const Word result = LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str());
  if (two_views) DeleteHklmKey(key, KEY_WOW64_64KEY);
  EXPECT_EQ(result, 1) << (host.errors.empty() ? "" : host.errors[0]);
  const std::vector<std::string> starts = env.Starts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_NE(starts[0].find("|" + ShortForm(InstallValue()) + "\\DLOOKUP2.EXE a,"),
            std::string::npos)
      << starts[0];
}

// Windows drops trailing dots and blanks, knows 8.3 aliases and "..": under
// any of these spellings the goods file is the lookup file "a", and the
// export must refuse instead of emptying it.
TEST(WinExport, GoodsFileSpelledAsTheLookupFileIsLeftAlone) {
  const std::string dir = FreshDir("export_spellings");
  const std::string folder = dir + "Folder with a long name\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  StandinEnv env(dir);
  const std::string goods = Cp1250(kGoodsUtf8);
  const std::string short_folder = ShortForm(folder);
  ASSERT_NE(short_folder, folder) << "wine gives long names an 8.3 alias";
  for (const std::string& path : {folder + "a.", folder + "a ", folder + "A..", short_folder + "a.",
                                  folder + "..\\" + "Folder with a long name\\a ."}) {
    SCOPED_TRACE(path);
    WriteFileBytes(folder + "a", goods);
    Host host(5);
    EXPECT_EQ(LoadPlugin().eksport(host.instance(), 1, path.c_str()), 0);
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku roboczego.")});
    EXPECT_EQ(ReadFileBytes(folder + "a"), goods);
  }
  EXPECT_TRUE(env.Starts().empty());
}

}  // namespace
}  // namespace kolektor::wintest
