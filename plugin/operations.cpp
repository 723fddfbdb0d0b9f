// The three operations the host runs on an instance. The export and the
// import run in the frame of an operation (operation.h); the clear step
// needs only its trace, so that a trace switched on shows every step.
#include "export/export_command.h"
#include "import/import_command.h"
#include "platform/platform.h"
#include "plugin/operation.h"
#include "plugin/plugin_api.h"

namespace kolektor {

HostWord ExportGoods(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                     const char* goods_path, FpuGuard* fpu) {
  return RunOperation(platform, instance, operation_handle, goods_path, fpu,
                      "ZRBDLLInwEksportujTowary", RunExport);
}

HostWord ImportCounts(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                      const char* counts_path, FpuGuard* fpu) {
  return RunOperation(platform, instance, operation_handle, counts_path, fpu, "ZRBDLLInwImport",
                      RunImport);
}

HostWord ClearStep(Platform& platform, HostWord operation_handle) {
  Trace trace(platform, "ZRBDLLInwZeruj", operation_handle);
  // The terminal is cleared by the user on the terminal itself; the host
  // only expects the step to take a moment and succeed.
  platform.Sleep(1000);
  trace.Result(1);
  return 1;
}

}  // namespace kolektor
