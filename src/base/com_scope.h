// Scoped owners of COM state: the thread's apartment, a registered class object, an advise.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>
#include <ocidl.h>

namespace orvane {

// COM for this thread as a single-threaded apartment, for the owner's lifetime.
class ComApartment {
public:
  ComApartment() noexcept;
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment();
  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return SUCCEEDED(result_); }

private:
  HRESULT result_;
};

// OLE (COM, drag and drop, the clipboard) for this thread, for the owner's lifetime.
class OleApartment {
public:
  OleApartment() noexcept;
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
  ~OleApartment();
  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return SUCCEEDED(result_); }

private:
  HRESULT result_;
};

// One class object registered with COM; revoked when the owner goes.
class ClassRegistration {
public:
  ClassRegistration() noexcept = default;
  ClassRegistration(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags) noexcept;
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  ClassRegistration(ClassRegistration&& other) noexcept;
  ClassRegistration& operator=(ClassRegistration&& other) noexcept;
  ~ClassRegistration() { Revoke(); }

  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return cookie_ != 0; }
  void Revoke() noexcept;

private:
  DWORD cookie_ = 0;
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

  Stage Reached() const noexcept { return stage_; }
  bool Connected() const noexcept { return stage_ == Stage::Connected; }
  DWORD Cookie() const noexcept { return cookie_; }
  IConnectionPoint* Point() const noexcept { return point_.Get(); }

private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  Stage stage_ = Stage::NoContainer;
};

}  // namespace orvane
