// zrbhost and the terminal simulator, run as a person runs them.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

struct ProgramRun {
  DWORD exit_code = 0;
  std::string output;  // stdout and stderr together
};

ProgramRun RunProgram(const std::string& command_line, const std::string& directory = "") {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 0));
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  std::string line = command_line;
  ProgramRun run;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start " << command_line;
    CloseHandle(read_end);
    CloseHandle(write_end);
    return run;
  }
  CloseHandle(write_end);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
    run.output.append(buffer, got);
  WaitForSingleObject(info.hProcess, INFINITE);
  GetExitCodeProcess(info.hProcess, &run.exit_code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  CloseHandle(read_end);
  return run;
}

std::string Zrbhost(const std::string& args) { return "\"" + BinDir() + "zrbhost.exe\" " + args; }

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Zrbhost, DescribeShowsTheFormInUtf8) {
  const ProgramRun r = RunProgram(Zrbhost("describe"));
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(Has(r.output, "Plug-in type: 3")) << r.output;
  EXPECT_TRUE(Has(r.output,
                  "Prędkość (baud), default \"9600\", one of: 9600 | 19200 | 38400 | "
                  "57600 | 115200"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "Max. długość kodu kreskowego (maxKod)")) << r.output;
  EXPECT_TRUE(Has(r.output, "Port RS232 COM: (port), default \"1\", a number from 1 to 999"));
  EXPECT_TRUE(Has(r.output, "302: Włącz zasilanie doku")) << r.output;
  EXPECT_TRUE(Has(r.output, "1: CipherLab 8x00"));
}

TEST(Zrbhost, SettingsOutsideTheFormAreRefusedBeforeThePlugin) {
  const std::string dir = FreshDir("zrbhost_refused");
  struct Case {
    const char* set;
    const char* message;
  } cases[] = {{"baud=4800", "baud=\"4800\" is not one of the choices"},
               {"port=1000", "port=\"1000\" is not a number from 1 to 999"},
               {"port=COM5", "port=\"COM5\" is not a number from 1 to 999"},
               {"cena=cena det", "cena=\"cena det\" is not one of the choices"},
               {"speed=1", "no parameter \"speed\""}};
  for (const Case& c : cases) {
    const ProgramRun r =
        RunProgram(Zrbhost(std::string("--set \"") + c.set + "\" export " + dir + "exp.txt"));
    EXPECT_EQ(r.exit_code, 2u) << c.set;
    EXPECT_TRUE(Has(r.output, c.message)) << r.output;
    EXPECT_FALSE(Has(r.output, "status:")) << "the plug-in was not called";
  }
  EXPECT_EQ(RunProgram(Zrbhost("--set port=COM2 --set cena=\"Cena zak\" describe")).exit_code, 0u);
}

TEST(Zrbhost, ExportAndImportExitCodes) {
  const std::string dir = FreshDir("zrbhost_ops");
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "exp.txt", "TOW;111;Chleb;100;150;2000;5\r\n");
  ProgramRun r = RunProgram(Zrbhost("--set port=3 export " + dir + "exp.txt"));
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  // The console is in text mode: the notice's line feed arrives as CR LF.
  EXPECT_TRUE(Has(r.output, "status: \r\nTransakcja w toku...")) << r.output;
  EXPECT_TRUE(Has(r.output, "result: 1"));

  r = RunProgram(Zrbhost("export " + dir + "missing.txt"));
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output, "error: Błąd otwarcia pliku \"exp\".")) << r.output;

  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", "none");
  r = RunProgram(Zrbhost("--yes import " + dir + "INW\\imp.txt"));
  EXPECT_EQ(r.exit_code, 1u) << r.output;
  EXPECT_TRUE(Has(r.output, "error: Brak pliku wynikowego.")) << r.output;

  WriteFileBytes(dir + "download.dat", "111,2.5\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.dat");
  r = RunProgram(Zrbhost("--yes import " + dir + "INW\\imp.txt"));
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  EXPECT_TRUE(Has(r.output, "message box [download]: IR_READ2.EXE a.dat,1,5,1,1,1,1,0"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "message box [sciezka]: " + dir + "INW\\imp.txt")) << r.output;
  EXPECT_EQ(ReadFileBytes(dir + "INW\\imp.txt"), "INW;111;02500\r\n");
}

TEST(Zrbhost, CheckListsEveryFaultWithItsLine) {
  const std::string dir = FreshDir("zrbhost_check");
  WriteFileBytes(dir + "exp.txt",
                 "TOW;1;a;1;1;1;1\r\n"     // 1 fine
                 "TOW;2;b;1;1;x;1\r\n"     // 2 quantity
                 "TOW;3;c;1;1;1;1\r\n"     // 3 fine
                 "TOX;4;d;1;1;1;1\r\n"     // 4 record type
                 "TOW;5;e;1;1;1;1000\r\n"  // 5 VAT
                 "TOW;6;f;1;1;1;1\r\n");   // 6 fine
  const ProgramRun r = RunProgram(Zrbhost("check " + dir + "exp.txt"));
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output,
                  "line 2, byte 30: [8] Błąd składni pliku \"exp\". - [2] błąd pola "
                  "ILOŚĆ"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "line 4, byte 54: [1] Błąd składni pliku \"exp\" - błąd pola TOW."))
      << r.output;
  EXPECT_TRUE(Has(r.output, "line 5, byte 86: [9] Błąd składni pliku \"exp\". - [5] błąd pola VAT"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "lines: 6, records that would be written: 3, faults: 3")) << r.output;
  WriteFileBytes(dir + "ok.txt", "TOW;1;a;1;1;1;1\r\n");
  EXPECT_EQ(RunProgram(Zrbhost("check " + dir + "ok.txt")).exit_code, 0u);
}

TEST(Simulator, UploadRefusesABadRecordAndScanKnowsTheTable) {
  const std::string dir = FreshDir("simulator");
  StandinEnv env(dir);
  WriteFileBytes(dir + "a", "111,Chleb,1.50,2.000\r\n1,2,x,0.01,0.001\r\n");
  ProgramRun r = RunProgram("\"" + InstallDir() + "DLOOKUP2.EXE\" a,1,5,1", dir);
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output, "record 2 refused (5 columns where the terminal takes 4)")) << r.output;
  EXPECT_FALSE(Exists(dir + "terminal\\table.txt"));

  WriteFileBytes(dir + "a", "111,Chleb,1.50,2.000\r\n222,Mleko,2.50,1.000\r\n");
  r = RunProgram("\"" + InstallDir() + "DLOOKUP2.EXE\" a,1,5,1", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(Has(r.output, "2 records loaded")) << r.output;

  const std::string terminal = "\"" + BinDir() + "terminal.exe\" ";
  r = RunProgram(terminal + "scan 333 1");
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output, "unknown code 333")) << r.output;
  EXPECT_EQ(RunProgram(terminal + "scan 222 4.5").exit_code, 0u);
  EXPECT_EQ(RunProgram(terminal + "scan 111 1x").exit_code, 1u);
  RunProgram("\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,5,1,1,1,1,0", dir);
  EXPECT_EQ(ReadFileBytes(dir + "a.dat"), "222,4.5\r\n");
  RunProgram(terminal + "clear");
  EXPECT_TRUE(Has(RunProgram(terminal + "show").output, "2 records"));
}

}  // namespace
}  // namespace kolektor::wintest
