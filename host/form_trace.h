// The test form's trace box: the plug-in's support trace (kolektor.log
// beside the loaded DLL) switched on and off, and its last lines shown.
#pragma once

#include <string>
#include <vector>

namespace kolektor::form {

// The trace file of the plug-in at `plugin_path`; "" for no plug-in.
std::string TracePathOf(const std::string& plugin_path);
bool TraceOn(const std::string& trace_path);

// Creates or deletes the trace file as `on` asks. False when that failed;
// `said` gets the log's line either way.
bool SwitchTrace(const std::string& trace_path, bool on, std::string& said);

// The log's lines (UTF-8) that show the trace's last 16 KB from its first
// whole line, or say that there is none or that it is empty. The trace is
// the plug-in's UTF-8, but any bytes are shown without harm.
std::vector<std::string> TraceTail(const std::string& trace_path);

}  // namespace kolektor::form
