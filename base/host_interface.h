// The host's interface as both sides see it: the instance record and the
// three callbacks, the numbers the host and the plug-in exchange, the names
// of the settings (their choices are in base/settings_table.h) and where
// the host keeps its installation folder. The plug-in, the host library,
// zrbhost and the test form all take them from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The Windows build defines this as the stdcall convention; natively (tests)
// there is only one convention and it stays empty.
#ifndef KOLEKTOR_STDCALL
#define KOLEKTOR_STDCALL
#endif

namespace kolektor {

// Every argument and result at the interface is one machine word: 32 bits
// wide in the shipped 32-bit DLL, as the host has it, and pointer-sized in
// the 64-bit test build, so that a pointer (the context, a callback's
// address) passes whole there too.
using HostWord = std::intptr_t;
static_assert(sizeof(HostWord) == sizeof(void*));

using StatusCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                               const char* text);
using ParamCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                              const char* name, char* value);
using ErrorCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                              const char* text);

// One per registration; the host holds it as an opaque pointer. The field
// order is the host's and must not change.
struct PluginInstance {
  StatusCallback statusCallback = nullptr;
  ParamCallback paramCallback = nullptr;
  ErrorCallback errorCallback = nullptr;
  HostWord hostContext = 0;
};
static_assert(sizeof(PluginInstance) == 4 * sizeof(void*), "four words, no padding");
static_assert(sizeof(void*) != 4 || sizeof(PluginInstance) == 16,
              "four 32-bit fields on the 32-bit target");

// Registration types of ZRBDLLRejestrujCallback.
inline constexpr HostWord kRegisterStatus = 2;
inline constexpr HostWord kRegisterParam = 6;
inline constexpr HostWord kRegisterError = 7;

// What ZRBDLLTypBiblioteki answers: a stocktaking device.
inline constexpr HostWord kLibraryType = 3;

// ZRBDLLParametr describes the settings under this function code and
// answers each one's kind: a choice among the texts of
// ZRBDLLTekstListyParametru, or a number between its bounds.
inline constexpr HostWord kParameterFunction = 301;
inline constexpr HostWord kParameterChoice = 2;
inline constexpr HostWord kParameterNumber = 4;

// The host's value buffer for ParamCallback.
inline constexpr int kParamValueBytes = 100;

// Property numbers of ZRBDLLWlasciwosci.
namespace property {
inline constexpr HostWord kModel = 1;
inline constexpr HostWord kIdentifier = 2;
// The user's instructions: sending the counts from the terminal to the
// host (before an import), loading the goods into it (before an export).
inline constexpr HostWord kSendToHost = 302;
inline constexpr HostWord kLoadFromHost = 303;
// Every number the plug-in answers with a text of its own.
inline constexpr HostWord kAnswered[] = {1, 2, 301, 302, 303, 304, 305, 306, 307, 308};
}  // namespace property

// The settings, by the names the host asks for them with.
inline constexpr std::string_view kParamPort = "port";
inline constexpr std::string_view kParamBaud = "baud";
inline constexpr std::string_view kParamCena = "cena";
inline constexpr std::string_view kParamMaxKod = "maxKod";
inline constexpr std::string_view kParamTimeout = "timeout";

// Where the host keeps its installation folder: this value of this key of
// the local-machine hive, at most 230 bytes with its terminating zero.
inline constexpr const char* kInstallKey = "Software\\Orvisk\\ZRBWin\\Instalacja";
inline constexpr const char* kInstallValue = "Binaria";
inline constexpr std::size_t kInstallValueBytes = 230;

}  // namespace kolektor
