#include "testbed/outlook/dispatch_object.h"

#include "base/callback_guard.h"
#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/standin_behaviour.h"

namespace orvane {

namespace outlook_standin {
namespace {

// Names the stand-in in the EXCEPINFO of a failure that is not one of Outlook's answers.
constexpr char kSource[] = "Outlook stand-in";

// A protected member called while the guard is on: the user is asked (one prompt) and, denying,
// Outlook blocks the call. Callers in other processes are never trusted, so every call asks, but
// while the user's "allow access for" some minutes holds.
void AskGuard() {
  Behaviour& chosen = Chosen();
  if (chosen.guard == Behaviour::Guard::Off) return;
  const unsigned long long now = GetTickCount64();
  if (chosen.guard == Behaviour::Guard::AllowFor && now < chosen.guardAllowedUntil) return;
  ++chosen.guardPrompts;
  if (chosen.guard == Behaviour::Guard::Deny) throw ModelError(kGuardDeniedMessage, kMapiNotSupported);
  if (chosen.guard == Behaviour::Guard::AllowFor) {
    chosen.guardAllowedUntil = now + static_cast<unsigned long long>(chosen.guardMinutes) * 60 * 1000;
  }
}

void ClearResult(VARIANT* result) noexcept {
  if (result) VariantClear(result);
}

// What kind of call the flags make. Scripts pass DISPATCH_METHOD | DISPATCH_PROPERTYGET for both
// property reads and method calls; the member decides which it is.
CallKind ClassifyCall(WORD flags, const Member* member) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return CallKind::Put;
  const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
  const bool method = (flags & DISPATCH_METHOD) != 0;
  if (get && method) return member && !member->IsProperty() ? CallKind::Method : CallKind::Get;
  return get ? CallKind::Get : CallKind::Method;
}

bool Permits(const Member& member, CallKind call) {
  switch (call) {
    case CallKind::Get: return member.IsProperty();
    case CallKind::Put: return member.access == Access::GetPut;
    case CallKind::Method: return member.access == Access::Method;
    case CallKind::Any: break;
  }
  return false;
}

// A put carries its value as the one named argument DISPID_PROPERTYPUT; other calls take no names.
HRESULT CheckNamedArguments(const DISPPARAMS& params, CallKind call) {
  if (call == CallKind::Put) {
    if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTOPTIONAL;
    return S_OK;
  }
  return params.cNamedArgs == 0 ? S_OK : DISP_E_NONAMEDARGS;
}

HRESULT Answer(const ModelError& error, EXCEPINFO* exception, UINT* badArgument) {
  if (!error.HasMessage()) {
    if (badArgument && (error.Result() == DISP_E_TYPEMISMATCH || error.Result() == DISP_E_PARAMNOTFOUND)) {
      *badArgument = error.BadArgument();
    }
    return error.Result();
  }
  if (exception) {
    *exception = EXCEPINFO{};
    exception->scode = error.Result();
    exception->bstrSource = SysAllocString(L"Microsoft Outlook");
    exception->bstrDescription = SysAllocString(error.Message().c_str());
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

bool Arguments::IsMissing(UINT index) const {
  if (index >= Count()) return true;
  const VARIANT& arg = At(index);
  return arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND;
}

Value Arguments::Get(UINT index, ValueType type) const {
  if (IsMissing(index)) throw ModelError(DISP_E_PARAMNOTFOUND, Count() - 1 - index);
  try {
    return Value::FromVariant(At(index), type);
  } catch (const ModelError& error) {
    throw ModelError(error.Result(), Count() - 1 - index);
  }
}

void Arguments::Expect(UINT fewest, UINT most) const {
  if (Count() < fewest || Count() > most) throw ModelError(DISP_E_BADPARAMCOUNT);
}

void ReturnObject(IDispatch* object, VARIANT* result) {
  if (!result) return;
  object->AddRef();
  result->pdispVal = object;
  result->vt = VT_DISPATCH;
}

void ReturnValue(const Value& value, VARIANT* result) {
  if (!result) return;
  const HRESULT hr = value.ToVariant(result);
  if (FAILED(hr)) throw ModelError(hr);
}

const Member* MemberServer::Shown(const Member* member) const {
  return member && counted_ && Ledger().Hides(kind_, member->id) ? nullptr : member;
}

HRESULT MemberServer::IdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  return GuardedComMethod(kSource, nullptr, [&] {
    const Member* member = names[0] ? Shown(Lookup(std::wstring_view(names[0]))) : nullptr;
    ids[0] = member ? member->id : DISPID_UNKNOWN;
    // Outlook's members take no named arguments here.
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return member && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  });
}

HRESULT MemberServer::InvokeMember(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) noexcept {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params || (params->cArgs > 0 && !params->rgvarg)) return E_INVALIDARG;
  return GuardedComMethod(kSource, exception, [&]() -> HRESULT {
    const Member* member = Shown(Lookup(id));
    const CallKind call = ClassifyCall(flags, member);
    if (counted_) {
      // Every call that reaches the object counts, the failing ones too: each one crossed the boundary.
      Ledger().Count(kind_, id, call);
      if (const auto fault = Ledger().TakeFault(kind_, id, call)) {
        return Answer(ModelError(fault->message, fault->code), exception, badArgument);
      }
    }
    if (!member || !Permits(*member, call)) return DISP_E_MEMBERNOTFOUND;
    const HRESULT named = CheckNamedArguments(*params, call);
    if (FAILED(named)) return named;
    VARIANT* const wanted = call == CallKind::Put ? nullptr : result;
    if (wanted) VariantInit(wanted);
    try {
      if (counted_ && IsGuarded(kind_, member->id, call)) AskGuard();
      Serve(*member, call, Arguments(*params), wanted);
      return S_OK;
    } catch (const ModelError& error) {
      ClearResult(wanted);
      return Answer(error, exception, badArgument);
    } catch (...) {
      // Anything else is the stand-in's own failure; the guard answers it.
      ClearResult(wanted);
      throw;
    }
  });
}

}  // namespace outlook_standin

}  // namespace orvane
