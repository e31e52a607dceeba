// RegistryKey: one open registry key of the current user, with the text values the plug-in uses.
#pragma once

#include "base/unique_resource.h"

#include <windows.h>

#include <string>

namespace orvane::app {

class RegistryKey {
public:
  // Opens the key for reading and writing, creating it when missing.
  static RegistryKey Create(HKEY parent, const std::string& path);
  // Opens an existing key for reading only; an empty key when there is none.
  static RegistryKey Open(HKEY parent, const std::string& path);

  bool Exists() const { return static_cast<bool>(key_); }
  void SetText(const char* name, const std::string& value) const;
  // The REG_SZ value, empty when it is missing or of another type.
  std::string GetText(const char* name) const;

private:
  UniqueRegistryKey key_;
};

}  // namespace orvane::app
