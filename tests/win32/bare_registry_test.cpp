// In a prefix with no key of the host's: the registry failures, then the
// key written here pointing at a folder without DLOOKUP2.EXE. One test,
// since its steps share the prefix's registry.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const char* kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

std::string Export(const std::string& dir, Host& host) {
  host.errors.clear();
  const int result = LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str());
  EXPECT_EQ(result, 0);
  return host.errors.size() == 1 ? host.errors[0]
                                 : "(" + std::to_string(host.errors.size()) + " errors)";
}

TEST(WinRegistry, EveryRegistryAndStartFailure) {
  DeleteHklmKey(kKey);
  const std::string dir = FreshDir("bare_registry");
  StandinEnv env(dir);
  const std::string lookup = "1,x,0.01,0.001\r\n";
  WriteFileBytes(dir + "exp.txt", "TOW;1;x;1;1;1;1\r\n");
  Host host(9);

  EXPECT_EQ(Export(dir, host), Cp1250("Błąd otwarcia rejestru."));
  EXPECT_EQ(ReadFileBytes(dir + "a"), lookup) << "the complete lookup file stays";

  SetBinaria(std::string(230, 'c'));  // 231 bytes with its zero
  EXPECT_EQ(Export(dir, host), Cp1250("Błąd odczytu rejestru."));
  SetBinaria("C:\\x", REG_DWORD);
  EXPECT_EQ(Export(dir, host), Cp1250("Błąd odczytu rejestru."));

  // A folder that exists but holds no DLOOKUP2.EXE.
  const std::string empty = NoSlash(FullPath(FreshDir("bare_install_empty")));
  char short_form[MAX_PATH];
  GetShortPathNameA(empty.c_str(), short_form, sizeof short_form);
  SetBinaria(empty);
  EXPECT_EQ(Export(dir, host),
            Cp1250("Błąd uruchomienia driver'a (") + short_form + "DLOOKUP2.EXE).");
  // No short form (the folder does not exist): named as it stands.
  const std::string nowhere = "C:\\nie ma\\takiego katalogu";
  SetBinaria(nowhere);
  EXPECT_EQ(Export(dir, host), Cp1250("Błąd uruchomienia driver'a (") + nowhere + "DLOOKUP2.EXE).");
  // Stored without its terminating zero: read safely all the same.
  SetBinaria(empty, REG_SZ, false);
  EXPECT_EQ(Export(dir, host),
            Cp1250("Błąd uruchomienia driver'a (") + short_form + "DLOOKUP2.EXE).");
  EXPECT_TRUE(env.Starts().empty());
  DeleteHklmKey(kKey);
}

}  // namespace
}  // namespace kolektor::wintest
