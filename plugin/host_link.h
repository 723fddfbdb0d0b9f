// How an operation talks back to the host: one progress notice, parameter
// values by name, and at most one error text.
#pragma once

#include <string>
#include <string_view>

#include "plugin/plugin_api.h"

namespace kolektor {

class HostLink {
 public:
  HostLink(const PluginInstance& instance, HostWord operation_handle)
      : instance_(instance), operation_(operation_handle) {}

  // An operation needs a way to ask for its settings and to report a
  // failure; without both it must not start.
  bool CanOperate() const {
    return instance_.paramCallback != nullptr && instance_.errorCallback != nullptr;
  }

  // A missing status callback is only skipped.
  void Status(std::string_view text) const;
  // Reports a failure; the operation returns 0 right after.
  void Error(std::string_view text) const;
  // The current value of a parameter, at most 99 bytes.
  std::string Param(std::string_view name) const;

 private:
  const PluginInstance& instance_;
  HostWord operation_;
};

}  // namespace kolektor
