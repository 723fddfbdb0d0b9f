// The form's installation check on real serial ports, which
// scripts/com-ports-test.sh maps in this test's own prefix: COM5 to a
// pseudo-terminal, COM6 to a device this test holds, COM7 to a device that
// is not there. A port the script did not map is never opened.
#include "tests/win32/form_driver.h"

namespace kolektor::wintest {
namespace {

namespace id = kolektor::form;

// The device wine maps a port to, "" when it is not mapped.
std::string MappedDevice(const std::string& port) {
  char device[MAX_PATH] = {};
  DWORD size = sizeof device;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Ports", port.c_str(), RRF_RT_REG_SZ,
                   nullptr, device, &size) != ERROR_SUCCESS)
    return "";
  return device;
}

TEST(WinFormPorts, CheckOnAFreeAHeldAndAMissingPort) {
  const char* mapped = std::getenv("KOLEKTOR_PORTS_MAPPED");
  if (mapped == nullptr) GTEST_SKIP() << "run by scripts/com-ports-test.sh, which maps the ports";
  ASSERT_STREQ(mapped, "COM5,COM6,COM7");
  for (const char* port : {"COM5", "COM6", "COM7"})
    ASSERT_NE(MappedDevice(port), "") << port << " is not mapped here, so it is not opened";

  FormProcess form(FreshDir("form_ports") + "kolektor-test.ini");
  HANDLE held = CreateFileA("\\\\.\\COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE) << GetLastError();
  const struct Case {
    const char* typed;
    bool release_com6;
    const char* said;
  } cases[] = {
      {"COM5", false, "OK: Port COM5 istnieje i daje się otworzyć."},
      {"6", false, "BŁĄD: Port COM6 jest zajęty przez inny program."},
      {"7", false, "BŁĄD: Port COM7 jest w systemie, ale nie działa jak port szeregowy"},
      // Released, the same device is no longer busy.
      {"6", true, "Port COM6 jest w systemie, ale nie działa jak port szeregowy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    if (c.release_com6 && held != INVALID_HANDLE_VALUE) {
      CloseHandle(held);
      held = INVALID_HANDLE_VALUE;
    }
    form.Type(id::kParamValue + 0, c.typed);
    const std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
    EXPECT_HAS(log, W(c.said));
    EXPECT_EQ(CountOf(log, L": Port COM"), 1) << "only the port of the setting is opened";
  }
  EXPECT_EQ(form.Text(id::kParamValue + 0), L"6");
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
}

}  // namespace
}  // namespace kolektor::wintest
