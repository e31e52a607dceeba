#include "testbed/outlook/events_type_library.h"

#include "outlook/com_types.h"
#include "testbed/outlook/object_model_ids.h"
#include "testbed/outlook/standin_ids.h"

#include <oleauto.h>

namespace orvane {

namespace outlook_standin {
namespace {

// {5B8E6C2B-3F41-4D7B-9A2E-0C7D4F1B6A93}
constexpr GUID kEventsLibraryId = {0x5B8E6C2B, 0x3F41, 0x4D7B, {0x9A, 0x2E, 0x0C, 0x7D, 0x4F, 0x1B, 0x6A, 0x93}};
constexpr WORD kMajorVersion = 1;
constexpr WORD kMinorVersion = 0;

#ifdef _WIN64
constexpr SYSKIND kSystem = SYS_WIN64;
#else
constexpr SYSKIND kSystem = SYS_WIN32;
#endif

// dispinterface ItemsEvents: derived from IDispatch, which stdole2 describes.
HRESULT DeriveFromDispatch(ICreateTypeInfo* info) {
  ComPtr<ITypeLib> standard;
  HRESULT hr = LoadTypeLib(L"stdole2.tlb", standard.Receive());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> dispatch;
  hr = standard->GetTypeInfoOfGuid(IID_IDispatch, dispatch.Receive());
  if (FAILED(hr)) return hr;
  HREFTYPE reference = 0;
  hr = info->AddRefTypeInfo(dispatch.Get(), &reference);
  return FAILED(hr) ? hr : info->AddImplType(0, reference);
}

HRESULT AddEvent(ICreateTypeInfo* info, UINT index, const EventMember& event) {
  ELEMDESC item{};
  item.tdesc.vt = VT_DISPATCH;
  item.paramdesc.wParamFlags = PARAMFLAG_FIN;
  FUNCDESC function{};
  function.memid = event.id;
  function.funckind = FUNC_DISPATCH;
  function.invkind = INVOKE_FUNC;
  function.callconv = CC_STDCALL;
  function.cParams = event.passesItem ? 1 : 0;
  function.lprgelemdescParam = event.passesItem ? &item : nullptr;
  function.elemdescFunc.tdesc.vt = VT_VOID;
  HRESULT hr = info->AddFuncDesc(index, &function);
  if (FAILED(hr)) return hr;
  LPOLESTR names[] = {const_cast<LPOLESTR>(event.name), const_cast<LPOLESTR>(L"Item")};
  return info->SetFuncAndParamNames(index, names, event.passesItem ? 2 : 1);
}

HRESULT WriteLibrary(const std::wstring& path) {
  ComPtr<ICreateTypeLib2> library;
  HRESULT hr = CreateTypeLib2(kSystem, path.c_str(), library.Receive());
  if (FAILED(hr)) return hr;
  library->SetGuid(kEventsLibraryId);
  library->SetName(const_cast<LPOLESTR>(L"OutlookStandinEvents"));
  library->SetVersion(kMajorVersion, kMinorVersion);
  library->SetLcid(LOCALE_NEUTRAL);
  ComPtr<ICreateTypeInfo> info;
  hr = library->CreateTypeInfo(const_cast<LPOLESTR>(L"ItemsEvents"), TKIND_DISPATCH, info.Receive());
  if (FAILED(hr)) return hr;
  info->SetGuid(kItemsEventsIid);
  hr = DeriveFromDispatch(info.Get());
  for (UINT index = 0; SUCCEEDED(hr) && index < sizeof kItemsEvents / sizeof kItemsEvents[0]; ++index) {
    hr = AddEvent(info.Get(), index, kItemsEvents[index]);
  }
  if (SUCCEEDED(hr)) hr = info->LayOut();
  return FAILED(hr) ? hr : library->SaveAllChanges();
}

}  // namespace

HRESULT RegisterEventsTypeLibrary(const std::wstring& serverPath) {
  const size_t dot = serverPath.find_last_of(L'.');
  const std::wstring path = (dot == std::wstring::npos ? serverPath : serverPath.substr(0, dot)) + L".tlb";
  HRESULT hr = WriteLibrary(path);
  if (FAILED(hr)) return hr;
  ComPtr<ITypeLib> library;
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive());
  return FAILED(hr) ? hr : RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
}

HRESULT UnregisterEventsTypeLibrary() {
  const HRESULT hr = UnRegisterTypeLib(kEventsLibraryId, kMajorVersion, kMinorVersion, LOCALE_NEUTRAL, kSystem);
  return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

}  // namespace outlook_standin

}  // namespace orvane
