#include "host/form_worker.h"

#include <memory>

#include "base/cp1250.h"
#include "base/texts.h"
#include "host/form_rehearsal.h"
#include "tools/docs/message_reference.h"
#include "host/program_texts.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
using kolektor::ui::Fill;

std::string Utf8(const std::string& cp1250) { return kolektor::Utf8FromCp1250(cp1250); }

void Post(HWND window, UINT message, const std::string& utf8) {
  PostMessageW(window, message, 0,
               reinterpret_cast<LPARAM>(new std::wstring(h::WideFromUtf8(utf8))));
}

// Seconds with a decimal comma: "4,003".
std::string Seconds(DWORD ms) {
  std::string fraction = std::to_string(ms % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(ms / 1000) + "," + fraction;
}

// The process's current folder for the operation's time.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    if (folder.empty()) return;
    wchar_t before[MAX_PATH] = {};
    if (GetCurrentDirectoryW(MAX_PATH, before) == 0) return;
    before_ = before;
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() {
    if (!before_.empty()) SetCurrentDirectoryW(before_.c_str());
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::wstring before_;
};

std::string EventLine(const h::Event& e, DWORD start) {
  const std::string time = "[" + Seconds(e.tick - start) + " s] ";
  switch (e.kind) {
    case h::Event::kStatus:
      return time + Fill(u::kHostStatus, {Utf8(e.text)});
    case h::Event::kParam:
      return time + Fill(u::kLogParam, {Utf8(e.name), Utf8(e.text)});
    case h::Event::kError:
      return time + Fill(u::kHostError, {Utf8(e.text)});
    case h::Event::kMessageBox:
      return time + Fill(u::kLogBox, {Utf8(e.name), Utf8(e.text)});
  }
  return time;
}

// The explanation of an error, its lines begun by `indent`; one line each,
// the log and the explanation box wrap them themselves.
std::string ExplanationOf(const std::string& cp1250_error, std::string_view indent) {
  const kolektor::text::Explanation* x = kolektor::text::Explain(cp1250_error);
  if (x == nullptr) return std::string(indent) + std::string(u::kFormNoExplanation);
  std::string lines = kolektor::ExplanationLines(*x, indent, std::string::npos);
  lines.pop_back();  // the last line's LF
  return lines;
}

void RunCheck(const Job& job) {
  Post(job.window, kWorkerLogLine, std::string(u::kLogCheckStart));
  int faults = 0, warnings = 0;
  for (const h::InstallCheckItem& item : h::CheckInstallation(job.check)) {
    const std::string_view level = item.level == h::InstallCheckItem::kOk        ? u::kLogOk
                                   : item.level == h::InstallCheckItem::kWarning ? u::kLogWarning
                                                                                 : u::kLogFault;
    faults += item.level == h::InstallCheckItem::kFault;
    warnings += item.level == h::InstallCheckItem::kWarning;
    Post(job.window, kWorkerLogLine, std::string(level) + ": " + item.what);
    if (!item.fix.empty())
      Post(job.window, kWorkerLogLine, "    " + std::string(u::kLogFix) + " " + item.fix);
  }
  Post(job.window, kWorkerLogLine,
       Fill(u::kLogCheckDone, {std::to_string(faults), std::to_string(warnings)}));
}

// Every callback into the log with its time; an error also with its
// explanation, under it and in the explanation's pane.
void LogEvent(HWND window, DWORD start, const h::Event& e) {
  Post(window, kWorkerLogLine, EventLine(e, start));
  if (e.kind != h::Event::kError) return;
  Post(window, kWorkerLogLine, ExplanationOf(e.text, "        "));
  std::string shown = ExplanationOf(e.text, "");
  const std::size_t lf = shown.find('\n');
  if (lf != std::string::npos) shown.replace(lf, 1, "\r\n");  // the pane breaks at CR LF
  Post(window, kWorkerExplanation, shown);
}

void RunOperation(const Job& job) {
  HWND window = job.window;
  std::unique_ptr<RehearsalRegistry> rehearsal;
  if (!job.rehearsal.empty()) {
    rehearsal = std::make_unique<RehearsalRegistry>(job.rehearsal);
    if (!rehearsal->redirected()) {
      Post(window, kWorkerLogLine,
           Fill(u::kLogRehearsalFailed, {std::to_string(rehearsal->error())}));
      return;
    }
  }
  const CurrentFolder folder(job.folder);
  h::Session session(job.api, 1);
  session.settings = job.settings;
  const DWORD start = GetTickCount();
  session.on_event = [window, start](const h::Event& e) { LogEvent(window, start, e); };
  // The boxes are the person's to close, as in the host; each is logged.
  h::MessageBoxWatch boxes(&session, false);
  int result = 0;
  switch (job.kind) {
    case Job::kExport:
      result = session.Export(1, job.path);
      break;
    case Job::kImport:
      result = session.Import(1, job.path);
      break;
    default:
      result = session.Clear(1);
      break;
  }
  Post(window, kWorkerLogLine,
       Fill(u::kLogResult,
            {std::to_string(result), std::string(result == 1 ? u::kResultDone : u::kResultFailed),
             Seconds(GetTickCount() - start)}));
}

DWORD WINAPI RunJob(LPVOID parameter) {
  const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  if (job->kind == Job::kCheck)
    RunCheck(*job);
  else
    RunOperation(*job);
  PostMessageW(job->window, kWorkerDone, 0, 0);
  return 0;
}

}  // namespace

HANDLE StartWorker(Job job) {
  auto owned = std::make_unique<Job>(std::move(job));
  HANDLE thread = CreateThread(nullptr, 0, RunJob, owned.get(), 0, nullptr);
  if (thread != nullptr) owned.release();
  return thread;
}

std::wstring TakePosted(LPARAM lparam) {
  const std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lparam));
  return text ? *text : std::wstring();
}

}  // namespace kolektor::form
