#include "base/com_scope.h"

#include <utility>

namespace orvane {

Apartment::Apartment(Kind kind) noexcept
    : ComOutcome(kind == Kind::Ole ? OleInitialize(nullptr) : CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)),
      kind_(kind) {}

Apartment::~Apartment() {
  if (!Ok()) return;
  if (kind_ == Kind::Ole) {
    OleUninitialize();
  } else {
    CoUninitialize();
  }
}

ClassRegistration::ClassRegistration(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags) noexcept {
  DWORD cookie = 0;
  result_ = CoRegisterClassObject(clsid, classObject, context, flags, &cookie);
  if (SUCCEEDED(result_)) cookie_.Reset(cookie);
}

AdviseConnection::AdviseConnection(AdviseConnection&& other) noexcept
    : point_(std::move(other.point_)),
      cookie_(std::exchange(other.cookie_, 0)),
      stage_(std::exchange(other.stage_, Stage::NoContainer)) {}

AdviseConnection& AdviseConnection::operator=(AdviseConnection&& other) noexcept {
  if (this != &other) {
    Disconnect();
    point_ = std::move(other.point_);
    cookie_ = std::exchange(other.cookie_, 0);
    stage_ = std::exchange(other.stage_, Stage::NoContainer);
  }
  return *this;
}

HRESULT AdviseConnection::Connect(IUnknown* source, REFIID events, IUnknown* sink) noexcept {
  Disconnect();
  ComPtr<IConnectionPointContainer> container;
  const HRESULT found =
      source ? source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()))
             : E_POINTER;
  if (FAILED(found) || !container) return FAILED(found) ? found : E_NOINTERFACE;
  stage_ = Stage::NoConnectionPoint;
  const HRESULT point = container->FindConnectionPoint(events, point_.Receive());
  if (FAILED(point) || !point_) return FAILED(point) ? point : E_NOINTERFACE;
  stage_ = Stage::AdviseRefused;
  DWORD cookie = 0;
  const HRESULT advised = point_->Advise(sink, &cookie);
  if (FAILED(advised)) return advised;
  cookie_ = cookie;
  stage_ = Stage::Connected;
  return advised;
}

HRESULT AdviseConnection::Disconnect() noexcept {
  HRESULT result = S_OK;
  if (const DWORD cookie = std::exchange(cookie_, 0); cookie != 0 && point_) result = point_->Unadvise(cookie);
  point_.Reset();
  stage_ = Stage::NoContainer;
  return result;
}

void AdviseConnection::Abandon() noexcept {
  cookie_ = 0;
  point_.Reset();
  stage_ = Stage::NoContainer;
}

}  // namespace orvane
