// Scoped owners of COM state: the thread's apartment, a registered class object, an advise.
#pragma once

#include "base/com_ptr.h"
#include "base/unique_resource.h"

#include <windows.h>
#include <ocidl.h>

namespace orvane {

// What the COM call that set up a scoped state answered; the owner undoes the state only when the
// call succeeded.
class ComOutcome {
public:
  ComOutcome(const ComOutcome&) = delete;
  ComOutcome& operator=(const ComOutcome&) = delete;
  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return SUCCEEDED(result_); }

protected:
  ComOutcome() noexcept = default;
  explicit ComOutcome(HRESULT result) noexcept : result_(result) {}
  ~ComOutcome() = default;
  void Answered(HRESULT result) noexcept { result_ = result; }

private:
  HRESULT result_ = E_FAIL;
};

// This thread's single-threaded apartment, for the owner's lifetime: plain COM, or OLE (COM with
// drag and drop and the clipboard) for a program that serves documents.
class Apartment : public ComOutcome {
public:
  enum class Kind { Com, Ole };

  explicit Apartment(Kind kind = Kind::Com) noexcept;
  ~Apartment();

private:
  Kind kind_;
};

namespace resource_traits {

struct ClassObjectCookie : ZeroIsEmpty<DWORD> {
  static void Close(Type value) noexcept { CoRevokeClassObject(value); }
};

}  // namespace resource_traits

// One class object registered with COM; revoked when the owner goes.
class ClassRegistration {
public:
  ClassRegistration() noexcept = default;
  ClassRegistration(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags) noexcept;

  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return cookie_.IsValid(); }
  void Revoke() noexcept { cookie_.Reset(); }

private:
  UniqueResource<resource_traits::ClassObjectCookie> cookie_;
  HRESULT result_ = E_FAIL;
};

// One sink advised on one connection point of an event source; unadvised when the owner goes.
class AdviseConnection {
public:
  // How far Connect came.
  enum class Stage { NoContainer, NoConnectionPoint, AdviseRefused, Connected };

  AdviseConnection() noexcept = default;
  AdviseConnection(const AdviseConnection&) = delete;
  AdviseConnection& operator=(const AdviseConnection&) = delete;
  AdviseConnection(AdviseConnection&& other) noexcept;
  AdviseConnection& operator=(AdviseConnection&& other) noexcept;
  ~AdviseConnection() { Disconnect(); }

  // Finds the source's connection point for `events` and advises `sink` on it. A point that is
  // found is kept even when Advise refuses, so the owner can tell the two failures apart.
  // Answers the HRESULT of the last step tried; Reached() says which step that was.
  HRESULT Connect(IUnknown* source, REFIID events, IUnknown* sink) noexcept;
  // Unadvises (once) and lets go of the connection point; answers Unadvise's result or S_OK.
  HRESULT Disconnect() noexcept;
  // Lets go of the connection point without a call to it: for a source whose server is gone.
  void Abandon() noexcept;

  Stage Reached() const noexcept { return stage_; }
  bool Connected() const noexcept { return stage_ == Stage::Connected; }

private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  Stage stage_ = Stage::NoContainer;
};

}  // namespace orvane
