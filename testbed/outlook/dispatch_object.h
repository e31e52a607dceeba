// DispatchObject: the IDispatch every stand-in object shares. It looks names up in the kind's
// member table, counts each call, applies the fault rules, checks how a member is called, and turns
// a ModelError into Outlook's answer at the Invoke edge.
#pragma once

#include "base/com_object.h"
#include "outlook/com_types.h"
#include "testbed/outlook/member_table.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/server_lifetime.h"

#include <windows.h>

#include <utility>

namespace orvane {

namespace outlook_standin {

// The arguments of one call in their written order (IDispatch hands them last to first).
class Arguments {
public:
  explicit Arguments(const DISPPARAMS& params) : params_(params) {}
  UINT Count() const { return params_.cArgs; }
  const VARIANT& At(UINT index) const { return params_.rgvarg[params_.cArgs - 1 - index]; }
  // Absent, or passed as omitted (VT_ERROR holding DISP_E_PARAMNOTFOUND).
  bool IsMissing(UINT index) const;
  // The argument coerced to a type; DISP_E_TYPEMISMATCH naming the argument when it does not convert.
  Value Get(UINT index, ValueType type) const;
  // DISP_E_BADPARAMCOUNT unless there are between `fewest` and `most` arguments.
  void Expect(UINT fewest, UINT most) const;

private:
  const DISPPARAMS& params_;
};

// What the objects of one kind serve, and the IDispatch work they share; a stand-in object is a
// DispatchObject, which adds the COM identity.
class MemberServer {
public:
  MemberServer(const MemberServer&) = delete;
  MemberServer& operator=(const MemberServer&) = delete;

  ObjectKind Kind() const { return kind_; }

protected:
  // `counted`: calls are counted and open to fault rules (every Outlook object; not the controls).
  explicit MemberServer(ObjectKind kind, bool counted) : kind_(kind), counted_(counted) {}
  virtual ~MemberServer() = default;

  // Serves one call of a member, already checked against how the member may be called. Fails by
  // throwing ModelError. `result` may be null; when not, it is initialised and empty.
  virtual void Serve(const Member& member, CallKind call, const Arguments& args, VARIANT* result) = 0;
  // The member table; the default is the kind's Outlook members.
  virtual const Member* Lookup(DISPID id) const { return FindMember(kind_, id); }
  virtual const Member* Lookup(std::wstring_view name) const { return FindMember(kind_, name); }

  HRESULT IdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  HRESULT InvokeMember(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* badArgument) noexcept;

private:
  // The member, unless the test controls hide it.
  const Member* Shown(const Member* member) const;

  ServerUse use_;
  ObjectKind kind_;
  bool counted_;
};

// A stand-in object: IDispatch, and the further interfaces listed.
template <class... More>
class DispatchObject : public DispatchWithoutTypeInfo<More...>, public MemberServer {
public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    return IdsOfNames(iid, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) noexcept override {
    return InvokeMember(id, iid, flags, params, result, exception, badArgument);
  }

protected:
  explicit DispatchObject(ObjectKind kind, bool counted = true) : MemberServer(kind, counted) {}
};

// A new object with the one reference its creator owns.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
  return MakeComObject<T>(std::forward<Args>(args)...);
}
// The same, held through its IDispatch.
template <class T, class... Args>
ComPtr<IDispatch> MakeDispatch(Args&&... args) {
  return ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(MakeComObject<T>(std::forward<Args>(args)...).Detach()));
}

// Puts an object into a result VARIANT (a reference of its own), if the caller wants a result.
void ReturnObject(IDispatch* object, VARIANT* result);
// Puts a value into a result VARIANT, if the caller wants a result.
void ReturnValue(const Value& value, VARIANT* result);

}  // namespace outlook_standin

}  // namespace orvane
