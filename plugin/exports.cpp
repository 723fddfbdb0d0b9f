// The ten entry points the host resolves by name. Each forwards to the core
// and catches everything: no exception may reach the host. Each also runs
// under the plug-in's own floating-point state (fpu_guard.h) and realigns
// the stack: hosts built with older tools call with 4-byte alignment, and
// SSE code keeps 16-byte values on the stack.
#include <windows.h>

#include <cstdint>

#include "base/fpu_guard.h"
#include "platform/win32.h"
#include "plugin/plugin_api.h"

using kolektor::HostWord;
using kolektor::PluginInstance;

#define KOLEKTOR_EXPORT extern "C" __declspec(dllexport) __attribute__((force_align_arg_pointer))

namespace {

PluginInstance* AsInstance(void* instance) { return static_cast<PluginInstance*>(instance); }

}  // namespace

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLTypBiblioteki() {
  kolektor::FpuGuard fpu;
  return kolektor::LibraryType();
}

KOLEKTOR_EXPORT void* __stdcall ZRBDLLRejestrujBiblioteke(HostWord host_context, HostWord, HostWord,
                                                          HostWord) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::RegisterLibrary(host_context);
  } catch (...) {
    return nullptr;
  }
}

KOLEKTOR_EXPORT void __stdcall ZRBDLLZwolnijBiblioteke(void* instance) {
  const kolektor::FpuGuard fpu;
  kolektor::FreeLibrary(AsInstance(instance));
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLRejestrujCallback(void* instance, void* callback,
                                                           HostWord type) {
  kolektor::FpuGuard fpu;
  return static_cast<HostWord>(kolektor::RegisterCallback(
      AsInstance(instance), reinterpret_cast<std::uintptr_t>(callback), type));
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLParametr(HostWord function, HostWord index, char* name,
                                                  char* label, char* default_value, char* low,
                                                  char* high, HostWord) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::DescribeParameter(function, index, name, label, default_value, low, high);
  } catch (...) {
    return 0;
  }
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLTekstListyParametru(const char* name, HostWord index,
                                                             char* buffer) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::DescribeChoice(name, index, buffer);
  } catch (...) {
    return 0;
  }
}

KOLEKTOR_EXPORT void __stdcall ZRBDLLWlasciwosci(char* buffer, HostWord number) {
  kolektor::FpuGuard fpu;
  try {
    kolektor::DescribeProperty(buffer, number);
  } catch (...) {
  }
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLInwEksportujTowary(void* instance,
                                                            HostWord operation_handle,
                                                            const char* goods_path) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::ExportGoods(kolektor::SystemPlatform(), AsInstance(instance), operation_handle,
                                 goods_path, &fpu);
  } catch (...) {
    return 0;
  }
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLInwZeruj(void*, HostWord operation_handle) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::ClearStep(kolektor::SystemPlatform(), operation_handle);
  } catch (...) {
    return 1;  // the pause is all the step does
  }
}

KOLEKTOR_EXPORT HostWord __stdcall ZRBDLLInwImport(void* instance, HostWord operation_handle,
                                                   const char* counts_path) {
  kolektor::FpuGuard fpu;
  try {
    return kolektor::ImportCounts(kolektor::SystemPlatform(), AsInstance(instance),
                                  operation_handle, counts_path, &fpu);
  } catch (...) {
    return 0;
  }
}

// Loading and unloading do no work of the plug-in's own.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
