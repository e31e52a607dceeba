#include "tests/unit/fake_outlook_support.h"

#include "base/com_object.h"
#include "outlook/outlook_ids.h"

#include <cstdio>

namespace orvane {

namespace fake {
namespace {

// Outlook's class, under which "Outlook.Application" is registered.
constexpr CLSID kOutlookClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr char kOutlookClsidText[] = "{0006F03A-0000-0000-C000-000000000046}";

OutlookRecord record;

class FakeObject final : public ComObject<IDispatch> {
public:
  explicit FakeObject(bool isApplication) : isApplication_(isApplication) { ++record.liveObjects; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (isApplication_ && id == outlook::kGetNamespace) {
      if (result) {
        VariantInit(result);
        result->pdispVal = new FakeObject(false);
        result->vt = VT_DISPATCH;
      }
      return S_OK;
    }
    if (!isApplication_ && id == outlook::kLogon) {
      ++record.logons;
      for (UINT i = 0; i < params->cArgs; ++i) {
        const VARIANT& argument = params->rgvarg[i];
        char text[48];
        std::snprintf(text, sizeof text, "vt%u:%08lX", static_cast<unsigned>(argument.vt),
                      static_cast<unsigned long>(argument.vt == VT_ERROR ? argument.scode : 0));
        record.logonArguments.push_back(text);
      }
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

private:
  ~FakeObject() override { --record.liveObjects; }
  bool isApplication_;
};

class FakeFactory final : public ComObject<IClassFactory> {
public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    *object = nullptr;
    if (record.refuseCreation) return CO_E_SERVER_EXEC_FAILURE;
    record.liveAtCreation.push_back(record.liveObjects);
    ++record.applicationsCreated;
    const ComPtr<IDispatch> application = ComPtr<IDispatch>::Attach(new FakeObject(true));
    return application->QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The ProgID must lead to Outlook's class, as it does wherever Outlook (or its stand-in) is installed.
void RegisterProgId() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Outlook.Application\\CLSID", 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kOutlookClsidText), sizeof kOutlookClsidText);
    RegCloseKey(key);
  }
}

}  // namespace

RegisteredOutlook::RegisteredOutlook() {
  record = OutlookRecord{};
  RegisterProgId();
  const ComPtr<IClassFactory> factory = ComPtr<IClassFactory>::Attach(new FakeFactory);
  if (FAILED(CoRegisterClassObject(kOutlookClsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_))) {
    cookie_ = 0;
  }
}

RegisteredOutlook::~RegisteredOutlook() {
  if (cookie_) CoRevokeClassObject(cookie_);
}

OutlookRecord& RegisteredOutlook::Record() { return record; }

}  // namespace fake

}  // namespace orvane
