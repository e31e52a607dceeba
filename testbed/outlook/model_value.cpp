#include "testbed/outlook/model_value.h"

#include "outlook/com_types.h"
#include "testbed/outlook/model_error.h"

#include <oleauto.h>

namespace orvane {

namespace outlook_standin {

Value Value::Text(std::wstring text) {
  Value v;
  v.type_ = ValueType::Text;
  v.text_ = std::move(text);
  return v;
}

Value Value::Date(double oleDate) {
  Value v;
  v.type_ = ValueType::Date;
  v.number_ = oleDate;
  return v;
}

Value Value::Int32(int32_t number) {
  Value v;
  v.type_ = ValueType::Int32;
  v.number_ = number;
  return v;
}

Value Value::Bool(bool flag) {
  Value v;
  v.type_ = ValueType::Bool;
  v.number_ = flag ? 1 : 0;
  return v;
}

Value Value::EmptyOf(ValueType type) {
  switch (type) {
    case ValueType::Text: return Text(L"");
    case ValueType::Date: return Date(kNoDate);
    case ValueType::Bool: return Bool(false);
    case ValueType::Int32: break;
  }
  return Int32(0);
}

HRESULT Value::ToVariant(VARIANT* out) const {
  VariantInit(out);
  switch (type_) {
    case ValueType::Text: {
      BSTR text = SysAllocStringLen(text_.data(), static_cast<UINT>(text_.size()));
      if (!text) return E_OUTOFMEMORY;
      out->bstrVal = text;
      out->vt = VT_BSTR;
      break;
    }
    case ValueType::Date:
      out->date = number_;
      out->vt = VT_DATE;
      break;
    case ValueType::Int32:
      out->lVal = AsInt32();
      out->vt = VT_I4;
      break;
    case ValueType::Bool:
      out->boolVal = AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      out->vt = VT_BOOL;
      break;
  }
  return S_OK;
}

namespace {

VARTYPE VariantTypeOf(ValueType type) {
  switch (type) {
    case ValueType::Text: return VT_BSTR;
    case ValueType::Date: return VT_DATE;
    case ValueType::Bool: return VT_BOOL;
    case ValueType::Int32: break;
  }
  return VT_I4;
}

}  // namespace

Value Value::FromVariant(const VARIANT& source, ValueType type) {
  outlook::Variant converted;
  // VariantChangeType reads through VT_BYREF, so arguments a script passes by reference convert too.
  if (FAILED(VariantChangeType(converted.Receive(), const_cast<VARIANT*>(&source), 0, VariantTypeOf(type)))) {
    throw ModelError(DISP_E_TYPEMISMATCH);
  }
  const VARIANT& v = converted.Get();
  switch (type) {
    case ValueType::Text: return Text(std::wstring(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)));
    case ValueType::Date: return Date(v.date);
    case ValueType::Bool: return Bool(v.boolVal != VARIANT_FALSE);
    case ValueType::Int32: break;
  }
  return Int32(v.lVal);
}

}  // namespace outlook_standin

}  // namespace orvane
