#include "app/server_registration.h"

#include "app/command_line.h"
#include "app/registry_key.h"
#include "base/module_path.h"

#include <string>

namespace orvane::app {

namespace {

constexpr char kDocumentName[] = "Stub Document";
constexpr char kClasses[] = "Software\\Classes\\";
constexpr char kServerSwitch[] = "/Automation";

std::string ProgIdKey() { return std::string(kClasses) + kDocumentProgId; }
std::string ClassKey() { return std::string(kClasses) + "CLSID\\" + kDocumentClsidText; }

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Whether the class's LocalServer32 starts this very program.
bool ClassNamesThisProgram() {
  const std::string command = RegistryKey::Open(HKEY_CURRENT_USER, ClassKey() + "\\LocalServer32").GetText(nullptr);
  return !command.empty() && SamePathIgnoringCase(std::string(app::ServerProgram(command)), ModulePath());
}

// Deletes a key that has no subkeys left; one that someone else added to is kept.
void DeleteLeafKey(const std::string& path) { RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }

}  // namespace

bool RegisterAutomationServer() {
  // Under the current user's classes, so no administrator rights are needed.
  RegistryKey::Create(HKEY_CURRENT_USER, ProgIdKey()).SetText(nullptr, kDocumentName);
  RegistryKey::Create(HKEY_CURRENT_USER, ProgIdKey() + "\\CLSID").SetText(nullptr, kDocumentClsidText);
  RegistryKey::Create(HKEY_CURRENT_USER, ClassKey()).SetText(nullptr, kDocumentName);
  RegistryKey::Create(HKEY_CURRENT_USER, ClassKey() + "\\ProgID").SetText(nullptr, kDocumentProgId);
  RegistryKey::Create(HKEY_CURRENT_USER, ClassKey() + "\\LocalServer32")
      .SetText(nullptr, app::ServerCommand(ModulePath(), kServerSwitch));
  return ClassNamesThisProgram();
}

bool UnregisterAutomationServer() {
  if (!ClassNamesThisProgram()) return true;
  DeleteLeafKey(ClassKey() + "\\LocalServer32");
  DeleteLeafKey(ClassKey() + "\\ProgID");
  DeleteLeafKey(ClassKey());
  // The ProgID goes only while it still leads to this class.
  if (RegistryKey::Open(HKEY_CURRENT_USER, ProgIdKey() + "\\CLSID").GetText(nullptr) == kDocumentClsidText) {
    DeleteLeafKey(ProgIdKey() + "\\CLSID");
    DeleteLeafKey(ProgIdKey());
  }
  return !ClassNamesThisProgram();
}

}  // namespace orvane::app
