#include "app/document_server.h"

#include "app/server_registration.h"
#include "base/callback_guard.h"
#include "base/com_object.h"

namespace orvane::app {

namespace {

// The document's automation object: no methods and no properties. While one exists the
// application stays alive for its client.
class StubDocument final : public ComObject<IDispatch> {
public:
  explicit StubDocument(DocumentHost& host) : host_(host) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    return GuardedComMethod("CStubDoc::GetTypeInfoCount", nullptr, [&] {
      if (!count) return E_POINTER;
      *count = 0;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    return GuardedComMethod("CStubDoc::GetTypeInfo", nullptr, [&] {
      if (info) *info = nullptr;
      return E_NOTIMPL;
    });
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) noexcept override {
    return GuardedComMethod("CStubDoc::GetIDsOfNames", nullptr, [&] {
      if (!ids) return E_POINTER;
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    });
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception,
                                   UINT*) noexcept override {
    return GuardedComMethod("CStubDoc::Invoke", exception, [] { return DISP_E_MEMBERNOTFOUND; });
  }

private:
  ~StubDocument() override { host_.DocumentReleased(); }
  void* OtherInterface(REFIID iid) noexcept override {
    return IsEqualIID(iid, kDocumentDispatchIid) ? static_cast<IDispatch*>(this) : nullptr;
  }

  DocumentHost& host_;
};

// Makes the document (with its frame) for an automation client.
class DocumentFactory final : public ComObject<IClassFactory> {
public:
  explicit DocumentFactory(DocumentHost& host) : host_(host) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override {
    return GuardedComMethod("DocumentFactory::CreateInstance", nullptr, [&] {
      if (!object) return E_POINTER;
      *object = nullptr;
      if (outer) return CLASS_E_NOAGGREGATION;
      if (!host_.OpenDocument()) return E_FAIL;
      const ComPtr<IDispatch> document = MakeComObject<StubDocument>(host_);
      return document->QueryInterface(iid, object);
    });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    return GuardedComMethod("DocumentFactory::LockServer", nullptr, [&] {
      lock ? CoAddRefServerProcess() : CoReleaseServerProcess();
      return S_OK;
    });
  }

private:
  DocumentHost& host_;
};

}  // namespace

ComPtr<IClassFactory> MakeDocumentFactory(DocumentHost& host) { return MakeComObject<DocumentFactory>(host); }

}  // namespace orvane::app
