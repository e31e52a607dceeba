#include "testbed/outlook/registration.h"

#include "base/unique_resource.h"
#include "testbed/outlook/events_type_library.h"
#include "testbed/outlook/standin_ids.h"

#include <objbase.h>

#include <utility>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr wchar_t kClassesRoot[] = L"Software\\Classes\\";
constexpr wchar_t kServerFileName[] = L"OutlookStandin.exe";

// The key's default text; empty when it has none.
std::wstring ReadDefault(const UniqueRegistryKey& key) {
  wchar_t text[MAX_PATH * 2] = {};
  DWORD size = sizeof text - sizeof(wchar_t);  // room for a terminator the value may lack
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return text;
}

struct ClassEntry {
  const CLSID& clsid;
  const wchar_t* progId;
  const wchar_t* description;
};

const ClassEntry kClasses[] = {
    {kApplicationClsid, kApplicationProgId, L"Outlook stand-in Application"},
    {kControlClsid, kControlProgId, L"Outlook stand-in test controls"},
};

std::wstring ClsidText(const CLSID& clsid) {
  wchar_t text[40] = {};
  StringFromGUID2(clsid, text, 40);
  return text;
}

std::wstring ClassKeyPath(const CLSID& clsid) { return std::wstring(kClassesRoot) + L"CLSID\\" + ClsidText(clsid); }

HRESULT FromStatus(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

LSTATUS WriteKey(const std::wstring& path, const std::wstring& text) {
  UniqueRegistryKey key;
  const LSTATUS status =
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  return RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The program the class's LocalServer32 names now; empty when there is none.
std::wstring CurrentServer(const CLSID& clsid) {
  UniqueRegistryKey key;
  const std::wstring path = ClassKeyPath(clsid) + L"\\LocalServer32";
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return {};
  return ReadDefault(key);
}

// Whether a LocalServer32 command names the stand-in (or nothing at all).
bool IsStandinOrNone(const std::wstring& server) {
  if (server.empty()) return true;
  std::wstring path = server;
  if (!path.empty() && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring fileName = slash == std::wstring::npos ? path : path.substr(slash + 1);
  return lstrcmpiW(fileName.c_str(), kServerFileName) == 0;
}

HRESULT RegisterOneClass(const ClassEntry& entry, const std::wstring& serverCommand) {
  const std::wstring classKey = ClassKeyPath(entry.clsid);
  const std::wstring progIdKey = std::wstring(kClassesRoot) + entry.progId;
  const std::pair<std::wstring, std::wstring> writes[] = {
      {classKey, entry.description},
      {classKey + L"\\LocalServer32", serverCommand},
      {classKey + L"\\ProgID", entry.progId},
      {progIdKey, entry.description},
      {progIdKey + L"\\CLSID", ClsidText(entry.clsid)},
  };
  for (const auto& [path, text] : writes) {
    const LSTATUS status = WriteKey(path, text);
    if (status != ERROR_SUCCESS) return FromStatus(status);
  }
  return S_OK;
}

std::wstring EventsInterfaceKeyPath() {
  return std::wstring(kClassesRoot) + L"Interface\\" + ClsidText(kItemsEventsIid);
}

HRESULT DeleteTree(const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

}  // namespace

HRESULT RegisterServer(const std::wstring& serverPath, const std::wstring& storePath) {
  for (const ClassEntry& entry : kClasses) {
    if (!IsStandinOrNone(CurrentServer(entry.clsid))) return E_ACCESSDENIED;
  }
  // COM adds its own switch to the command when it starts the server.
  std::wstring command = L"\"" + serverPath + L"\"";
  if (!storePath.empty()) command += L" /Store \"" + storePath + L"\"";
  for (const ClassEntry& entry : kClasses) {
    const HRESULT hr = RegisterOneClass(entry, command);
    if (FAILED(hr)) return hr;
  }
  return RegisterEventsTypeLibrary(serverPath);
}

HRESULT UnregisterServer() {
  // The events interface is Outlook's too: it goes only with a stand-in registration.
  HRESULT result = S_OK;
  if (IsStandinOrNone(CurrentServer(kApplicationClsid))) {
    UnregisterEventsTypeLibrary();
    result = DeleteTree(EventsInterfaceKeyPath());
  }
  for (const ClassEntry& entry : kClasses) {
    if (!IsStandinOrNone(CurrentServer(entry.clsid))) continue;
    const HRESULT classResult = DeleteTree(ClassKeyPath(entry.clsid));
    const HRESULT progIdResult = DeleteTree(std::wstring(kClassesRoot) + entry.progId);
    if (FAILED(classResult)) result = classResult;
    if (FAILED(progIdResult)) result = progIdResult;
  }
  return result;
}

HRESULT EnsureApplicationProgId() {
  CLSID registered;
  if (SUCCEEDED(CLSIDFromProgID(kApplicationProgId, &registered))) return S_OK;
  return FromStatus(
      WriteKey(std::wstring(kClassesRoot) + kApplicationProgId + L"\\CLSID", ClsidText(kApplicationClsid)));
}

}  // namespace outlook_standin

}  // namespace orvane
