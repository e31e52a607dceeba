#include "app/registry_key.h"

namespace orvane::app {

RegistryKey RegistryKey::Create(HKEY parent, const std::string& path) {
  RegistryKey key;
  if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.key_.Receive(),
                      nullptr) != ERROR_SUCCESS) {
    key.key_.Reset();
  }
  return key;
}

RegistryKey RegistryKey::Open(HKEY parent, const std::string& path) {
  RegistryKey key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.key_.Receive()) != ERROR_SUCCESS) key.key_.Reset();
  return key;
}

void RegistryKey::SetText(const char* name, const std::string& value) const {
  if (key_) {
    RegSetValueExA(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
}

std::string RegistryKey::GetText(const char* name) const {
  DWORD type = 0;
  DWORD size = 0;
  if (!key_ || RegQueryValueExA(key_.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return {};
  }
  std::string value(size, '\0');
  if (RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
  return value;
}

}  // namespace orvane::app
