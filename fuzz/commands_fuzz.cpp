// Whole export and import runs over the fake platform with any parameter
// texts, paths, file bytes and utility outcome: one error exactly when the
// result is 0, the goods file never changed, the journal only appended and
// never left with a cut block, a downloaded a.dat kept whenever the import
// fails, nothing left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>

#include "base/folder_path.h"
#include "fuzz/invariants.h"
#include "import/journal.h"
#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

using namespace kolektor;

namespace {
constexpr std::size_t kOperationCount = std::size(testing::FakePlatform::kOperations);
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  testing::Till till;
  testing::FakePlatform& platform = till.platform;
  testing::TestHost& host = till.host;
  for (const char* name : {"port", "baud", "cena", "maxKod", "timeout"})
    if (in.ConsumeBool()) host.params[name] = in.ConsumeRandomLengthString(12);
  std::string failing;
  if (in.ConsumeBool()) {
    failing = testing::FakePlatform::kOperations[in.ConsumeIntegralInRange<std::size_t>(
        0, kOperationCount - 1)];
    platform.FailAt(failing, in.ConsumeIntegralInRange<int>(1, 4));
    // Or a file held for a moment by another program, to be waited for.
    if (in.ConsumeBool()) platform.fault_error = kErrorSharingViolation;
  }
  platform.read_chunk = in.ConsumeIntegralInRange<std::size_t>(1, 64);
  platform.child.running_queries = in.ConsumeIntegralInRange<long>(-1, 5);
  const std::uint32_t exit_codes[] = {0, 1, kStillActive};
  platform.child.exit_code = exit_codes[in.ConsumeIntegralInRange<int>(0, 2)];
  const bool export_run = in.ConsumeBool();
  std::string path = in.ConsumeBool() ? "C:\\DANE\\INW\\f.txt" : in.ConsumeRandomLengthString(24);
  // Binaria as the till has it ("C:\\ZRB"), or anything.
  if (!in.ConsumeBool())
    platform.registry[kInstallKey][kInstallValue] = in.ConsumeRandomLengthString(240);
  const std::string payload = in.ConsumeRemainingBytesAsString();

  if (export_run) {
    platform.files[path] = payload;
    const HostWord result = till.Export(path.c_str());
    fuzz::Require(host.errors.size() == (result == 1 ? 0u : 1u), "export: one error exactly on 0");
    fuzz::Require(platform.files[path] == payload, "the goods file is only read");
  } else {
    const std::string journal_before = "earlier block\r\n";
    std::string data_path;
    platform.child.on_start = [&](const std::string& dir) {
      data_path = JoinPath(dir, "a.dat");
      platform.files[data_path] = payload;
    };
    platform.files["C:\\DANE\\Inwent.bak"] = journal_before;
    const std::string earlier = "9,9\r\n";  // a failed import's a.dat
    platform.files["C:\\DANE\\a.dat"] = earlier;
    const HostWord result = till.Import(path.c_str());
    fuzz::Require(host.errors.size() == (result == 1 ? 0u : 1u), "import: one error exactly on 0");
    const std::string journal = "C:\\DANE\\Inwent.bak";
    const std::string& after = platform.files[journal];
    fuzz::Require(after.compare(0, journal_before.size(), journal_before) == 0,
                  "the journal is only appended");
    // No cut block: a failed import leaves the journal as it was, or its
    // record for the next import to cut it back.
    const bool record = platform.files.count(AppendRecordPath(journal)) != 0;
    fuzz::Require(!record || result == 0, "no record after success");
    if (result == 0 && path == "C:\\DANE\\INW\\f.txt") {
      platform.FailAt(failing, 0);
      if (record)
        fuzz::Require(RepairJournal(platform, journal, nullptr) == JournalRepair::kRepaired,
                      "the next import repairs the journal");
      fuzz::Require(platform.files[journal] == journal_before, "no cut block kept");
    }
    // Once the download has run, a failed import keeps what it delivered.
    if (result == 0 && !data_path.empty())
      fuzz::Require(platform.files.count(data_path) == 1 && platform.files[data_path] == payload,
                    "a.dat kept after a failed import");
    // After success a.dat is deleted, unless the deletion itself failed
    // (the next import deletes it before its download).
    if (result == 1 && failing != "remove")
      fuzz::Require(platform.files.count(data_path) == 0, "a.dat removed after success");
    // The earlier a.dat is never lost: kept aside, or left where it was.
    bool earlier_kept = false;
    for (const auto& [name, bytes] : platform.files)
      earlier_kept = earlier_kept || (name.rfind("C:\\DANE\\a.dat", 0) == 0 && bytes == earlier);
    fuzz::Require(earlier_kept || path == "C:\\DANE\\a.dat", "earlier a.dat kept");
    fuzz::Require(platform.locks.empty(), "the folder lock released");
  }
  fuzz::Require(platform.OpenFiles() == 0, "no file left open");
  fuzz::Require(platform.open_children == 0, "no child handle left open");
  return 0;
}
