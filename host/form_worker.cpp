#include "host/form_worker.h"

#include <memory>

#include "base/cp1250.h"
#include "base/texts.h"
#include "host/form_rehearsal.h"
#include "host/program_texts.h"
#include "tools/docs/message_reference.h"

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

// A setting as the person sees it on the form: its label, without the
// colon some labels end with; its name when the plug-in describes none.
std::string SettingLabel(const Job& job, const std::string& name) {
  const auto found = job.labels.find(name);
  if (found == job.labels.end() || found->second.empty()) return name;
  std::string label = found->second;
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
  return label.empty() ? name : label;
}

// The plug-in's notice begins with a line feed, which the host's status
// line expects; the log keeps the notice on the line of its time.
std::string WithoutLeadingBreaks(const std::string& text) {
  const std::size_t begin = text.find_first_not_of("\r\n");
  return begin == std::string::npos ? std::string() : text.substr(begin);
}

std::string EventLine(const Job& job, const h::Event& e, DWORD start) {
  const std::string time = "[" + Seconds(e.tick - start) + " s] ";
  switch (e.kind) {
    case h::Event::kStatus:
      return time + Fill(u::kHostStatus, {Utf8(WithoutLeadingBreaks(e.text))});
    case h::Event::kParam:
      return time + Fill(u::kLogParam, {Utf8(SettingLabel(job, e.name)), Utf8(e.text)});
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
    // Every fault and warning in the explanations' pane, with its fix.
    if (item.level != h::InstallCheckItem::kOk)
      Post(
          job.window, kWorkerExplanation,
          std::string(level) + ": " + item.what +
              (item.fix.empty() ? std::string() : "\n" + std::string(u::kLogFix) + " " + item.fix));
  }
  Post(job.window, kWorkerLogLine,
       Fill(u::kLogCheckDone, {std::to_string(faults), std::to_string(warnings)}));
}

// Every callback into the log with its time; an error also with its
// explanation, under it and, with the error, in the explanations' pane.
void LogEvent(const Job& job, DWORD start, const h::Event& e) {
  Post(job.window, kWorkerLogLine, EventLine(job, e, start));
  if (e.kind != h::Event::kError) return;
  Post(job.window, kWorkerLogLine, ExplanationOf(e.text, "        "));
  Post(job.window, kWorkerExplanation,
       Fill(u::kHostError, {Utf8(e.text)}) + "\n" + ExplanationOf(e.text, ""));
}

void RunOperation(const Job& job) {
  HWND window = job.window;
  std::unique_ptr<RehearsalRegistry> rehearsal;
  if (!job.rehearsal.empty()) {
    rehearsal = std::make_unique<RehearsalRegistry>(job.rehearsal);
    if (!rehearsal->redirected()) {
      const std::string said = Fill(u::kLogRehearsalFailed, {std::to_string(rehearsal->error())});
      Post(window, kWorkerLogLine, said);
      Post(window, kWorkerExplanation, said);
      return;
    }
  }
  const CurrentFolder folder(job.folder);
  h::Session session(job.api, 1);
  session.settings = job.settings;
  const DWORD start = GetTickCount();
  session.on_event = [&job, start](const h::Event& e) { LogEvent(job, start, e); };
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
