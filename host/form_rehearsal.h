// The test form's rehearsal with the terminal simulator, which the setup
// installs in the form's simulator folder: the operations see that folder
// as ZRB's (through a registry key of the person's own, for this process
// only), and the simulator's terminal program scans as a person would.
#pragma once

#include <windows.h>

#include <string>

namespace kolektor::form {

// The installed simulator's folder, beside the form, and whether its
// terminal program is there.
std::string SimulatorFolder();
bool HasSimulator(const std::string& folder);

// For a rehearsal: HKEY_LOCAL_MACHINE of this process only, and only while
// this lives, is a key of the person's own in which ZRB's key holds
// Binaria = the simulator's folder. ZRB's own value is never written.
class RehearsalRegistry {
 public:
  explicit RehearsalRegistry(const std::string& folder);
  ~RehearsalRegistry();
  RehearsalRegistry(const RehearsalRegistry&) = delete;
  RehearsalRegistry& operator=(const RehearsalRegistry&) = delete;
  bool redirected() const { return redirected_; }
  LONG error() const { return error_; }

 private:
  HKEY root_ = nullptr;
  LONG error_ = ERROR_SUCCESS;
  bool redirected_ = false;
};

// The simulator's terminal program run with `arguments`, as a person would
// run it, for at most 20 seconds. Its exit code, or -1 when it could not be
// run. `failure` gets the log's line when it could not be run or ended with
// a code that answers nothing the person did; else it is left empty.
int RunSimulator(const std::string& folder, const std::wstring& arguments, std::string& failure);

// A scan's field as the simulator takes it: without quotes and without the
// blanks around it.
std::wstring ScanField(std::wstring typed);

// What the log says of a scan's exit code; "" for a code that is no answer
// to the scan (RunSimulator's failure says it).
std::string ScanSaid(int code, const std::string& code_utf8, const std::string& quantity_utf8);

}  // namespace kolektor::form
