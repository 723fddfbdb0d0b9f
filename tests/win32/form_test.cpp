// The real test form driven through its controls only, as a person would:
// find the window, read its labels and lists, choose values, press buttons,
// close the plug-in's message boxes, read the log. In a prefix of its own,
// since it changes the host's registry value.
//
// With KOLEKTOR_FORM_HOLD=FILE set, the form stays open after the failed
// export, from FILE.ready on until FILE exists: scripts/screenshot.sh takes
// its picture meanwhile.
#include <gtest/gtest.h>

#include "host/form_ids.h"
#include "host/plugin_host.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

namespace id = kolektor::form;
const char* kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

std::wstring W(const char* utf8) { return host::WideFromUtf8(utf8); }

std::wstring TextOf(HWND window) {
  wchar_t text[1 << 15] = {};
  SendMessageW(window, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
  return text;
}

// One running kolektor-test.exe and its window.
class FormProcess {
 public:
  explicit FormProcess(const std::string& ini) {
    std::string line = "\"" + BinDir() + "kolektor-test.exe\" --ini \"" + ini + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info_));
    for (int i = 0; i < 200 && window_ == nullptr; ++i) {
      Sleep(100);
      // Shown only once all its controls are made.
      for (HWND found : Windows(id::kWindowClass))
        if (IsWindowVisible(found)) window_ = found;
    }
    EXPECT_NE(window_, nullptr) << "the form's window";
  }
  ~FormProcess() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(info_.hProcess, 20000) == WAIT_TIMEOUT)
        TerminateProcess(info_.hProcess, 1);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
  bool Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return WaitForSingleObject(info_.hProcess, 20000) == WAIT_OBJECT_0;
  }

  HWND Item(int control) const { return GetDlgItem(window_, control); }
  std::wstring Text(int control) const { return TextOf(Item(control)); }
  void Type(int control, const std::string& ansi) {
    SendMessageA(Item(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
  }
  std::wstring Log() const { return Text(id::kLog); }

  // Presses a button and waits until the log has `until`, closing every
  // message box of the form's process meanwhile.
  std::wstring Press(int button, const std::wstring& until, int* boxes = nullptr) {
    const std::size_t before = Log().size();
    SendMessageW(Item(button), BM_CLICK, 0, 0);
    for (int i = 0; i < 600; ++i) {
      const std::wstring log = Log();
      if (log.size() > before && log.find(until, before) != std::wstring::npos) {
        Sleep(100);  // the last lines of the same event
        return Log().substr(before);
      }
      CloseBoxes();
      Sleep(100);
    }
    ADD_FAILURE() << "no \"" << host::Utf8FromWide(until) << "\" in the log:\n"
                  << host::Utf8FromWide(Log());
    return Log();
  }
  int boxes_closed = 0;

 private:
  // The top-level windows of a class that the form's process owns.
  std::vector<HWND> Windows(const wchar_t* window_class) const {
    struct Search {
      DWORD pid;
      const wchar_t* window_class;
      std::vector<HWND> found;
    } search{info_.dwProcessId, window_class, {}};
    EnumWindows(
        [](HWND window, LPARAM data) WINAPI -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if (pid == s->pid && std::wstring(name) == s->window_class) s->found.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // The plug-in's message boxes: pressed OK through their button.
  void CloseBoxes() {
    for (HWND box : Windows(L"#32770")) {
      if (!IsWindowVisible(box)) continue;
      HWND ok = GetDlgItem(box, IDOK);
      if (ok == nullptr) ok = GetDlgItem(box, IDCANCEL);
      SendMessageW(ok, BM_CLICK, 0, 0);
      ++boxes_closed;
    }
  }

  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

bool Has(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}
#define EXPECT_HAS(text, part) \
  EXPECT_TRUE(Has(text, part)) << host::Utf8FromWide(part) << "\nin:\n" << host::Utf8FromWide(text)

TEST(WinForm, SettingsFromThePluginOperationsAndInstallationCheck) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
  const std::string dir = FreshDir("form");
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "download.src", "5901234123457,12\r\n111,2.5\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  WriteFileBytes(dir + "exp.txt", Cp1250("TOW;5901234123457;Mąka;189;249;12000;5\r\n"));
  WriteFileBytes(dir + "bad.txt", "TOW;77;x;1;1;x;1\r\n");
  const std::string ini = dir + "kolektor-test.ini";
  FormProcess form(ini);

  // The settings are the plug-in's own descriptions, converted from
  // Windows-1250, the defaults chosen.
  EXPECT_HAS(form.Text(id::kPluginLine), W(("Wtyczka: " + BinDir() + "kolektor.dll").c_str()));
  EXPECT_HAS(form.Text(id::kModelLine), W("CipherLab 8x00"));
  const std::vector<host::Parameter> parameters = host::DescribeParameters(LoadPlugin());
  ASSERT_EQ(parameters.size(), 5u);
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const host::Parameter& p = parameters[i];
    const int n = static_cast<int>(i);
    SCOPED_TRACE(p.name);
    EXPECT_EQ(form.Text(id::kParamLabel + n), host::WideFromCp1250(p.label));
    EXPECT_EQ(form.Text(id::kParamValue + n), host::WideFromCp1250(p.default_value));
    HWND value = form.Item(id::kParamValue + n);
    if (p.kind == 4) {
      EXPECT_EQ(form.Text(id::kParamRange + n), W(("od " + p.low + " do " + p.high).c_str()));
      continue;
    }
    ASSERT_EQ(SendMessageW(value, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(p.choices.size()));
    for (std::size_t c = 0; c < p.choices.size(); ++c) {
      wchar_t item[64] = {};
      SendMessageW(value, CB_GETLBTEXT, c, reinterpret_cast<LPARAM>(item));
      EXPECT_EQ(std::wstring(item), host::WideFromCp1250(p.choices[c]));
    }
  }
  EXPECT_EQ(form.Text(id::kParamLabel + 1), W("Prędkość"));
  form.Type(id::kParamValue + 0, "3");
  SendMessageW(form.Item(id::kParamValue + 1), CB_SETCURSEL, 1, 0);  // 19200
  form.Type(id::kGoodsPath, dir + "exp.txt");
  form.Type(id::kCountsPath, dir + "INW\\imp.txt");

  // The installation check names what is missing and how to fix it.
  std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W("BŁĄD: Rejestr: brak klucza HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja"));
  EXPECT_HAS(log, W("    Jak naprawić: Zainstaluj ZRB"));
  const std::string empty = NoSlash(FullPath(FreshDir("form_empty_zrb")));
  SetBinaria(empty);
  log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W(("BŁĄD: Brak DLOOKUP2.EXE w folderze ZRB " + empty).c_str()));
  EXPECT_HAS(log, W("    Jak naprawić: Skopiuj DLOOKUP2.EXE"));
  EXPECT_HAS(log, W("UWAGA: IR_READ2.EXE jest tylko obok formularza testowego"));
  EXPECT_HAS(log, W(("OK: Do folderu " + NoSlash(dir) + " można zapisywać.").c_str()));
  SetBinaria(NoSlash(FullPath(InstallDir())));
  log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W("OK: DLOOKUP2.EXE jest w folderze ZRB."));

  // An export and an import with the stand-ins: every callback logged.
  log = form.Press(id::kExport, W("wynik: "));
  EXPECT_HAS(log, W("Na terminalu: Włącz zasilanie doku"));
  EXPECT_HAS(log, W("] ustawienie cena = \"Cena det\""));
  EXPECT_HAS(log, W("] stan: \r\nTransakcja w toku..."));
  EXPECT_HAS(log, W("] ustawienie port = \"3\""));
  EXPECT_HAS(log, W("] ustawienie baud = \"19200\""));
  EXPECT_HAS(log, W("wynik: 1 (zrobione), czas 4,"));
  EXPECT_HAS(form.Text(id::kInstruction), W("3.KONFIGURACJA poczym 8.POBR. DANYCH Z ZRB."));
  EXPECT_EQ(ReadFileBytes(dir + "a"), "5901234123457,Maka,2.49,12.000\r\n");
  ASSERT_EQ(env.Starts().size(), 1u);
  EXPECT_NE(env.Starts()[0].find("DLOOKUP2.EXE a,3,4,1|"), std::string::npos) << env.Starts()[0];

  log = form.Press(id::kImport, W("wynik: "));
  EXPECT_EQ(form.boxes_closed, 5) << "five boxes, closed like a person closes them";
  for (const char* caption : {"sciezka_a", "sciezka_bak", "download", "invent_dir", "sciezka"})
    EXPECT_HAS(log, W((std::string("] okno komunikatu [") + caption + "]: ").c_str()));
  EXPECT_HAS(log, W("] okno komunikatu [download]: IR_READ2.EXE a.dat,3,4,1,1,1,1,0"));
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_EQ(ReadFileBytes(dir + "INW\\imp.txt"), "INW;5901234123457;12000\r\nINW;111;02500\r\n");

  // An error, with its explanation under it.
  form.Type(id::kGoodsPath, dir + "bad.txt");
  log = form.Press(id::kExport, W("wynik: "));
  EXPECT_HAS(log, W("] błąd: [8] Błąd składni pliku \"exp\". - [77] błąd pola ILOŚĆ"));
  EXPECT_HAS(log, W("        Przyczyna: Pole ILOŚĆ nie zawiera liczby."));
  EXPECT_HAS(log, W("wynik: 0 (nie wykonano)"));
  EXPECT_HAS(form.Text(id::kExplanation), W("Co sprawdzić: Ilość towaru o podanym kodzie"));
  if (const char* hold = std::getenv("KOLEKTOR_FORM_HOLD")) {
    WriteFileBytes(std::string(hold) + ".ready", "");
    for (int i = 0; i < 600 && !Exists(hold); ++i) Sleep(100);
  }
  form.Type(id::kGoodsPath, dir + "exp.txt");

  // The values chosen are there again in the next run.
  ASSERT_TRUE(form.Close());
  FormProcess again(ini);
  EXPECT_EQ(again.Text(id::kParamValue + 0), L"3");
  EXPECT_EQ(again.Text(id::kParamValue + 1), L"19200");
  EXPECT_EQ(again.Text(id::kGoodsPath), W((dir + "exp.txt").c_str()));
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
}

}  // namespace
}  // namespace kolektor::wintest
