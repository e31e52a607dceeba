// Value: one property value of a stand-in object, held in the type Outlook gives the property.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <string>

namespace orvane {

namespace outlook_standin {

enum class ValueType { Text, Date, Int32, Bool };

// 1 January 4501, 00:00: what Outlook reads for a date that was never set.
constexpr double kNoDate = 949998.0;

class Value {
public:
  Value() = default;
  static Value Text(std::wstring text);
  static Value Date(double oleDate);
  static Value Int32(int32_t number);
  static Value Bool(bool flag);
  // The empty value of a type: "", no date, 0, false.
  static Value EmptyOf(ValueType type);

  ValueType Type() const { return type_; }
  const std::wstring& AsText() const { return text_; }
  double AsDate() const { return number_; }
  int32_t AsInt32() const { return static_cast<int32_t>(number_); }
  bool AsBool() const { return number_ != 0; }

  bool operator==(const Value& other) const {
    return type_ == other.type_ && text_ == other.text_ && number_ == other.number_;
  }
  bool operator!=(const Value& other) const { return !(*this == other); }

  // The value as a VARIANT of its own type (BSTR, VT_DATE, VT_I4, VT_BOOL); E_OUTOFMEMORY when a
  // text cannot be allocated. `out` must be cleared or freshly initialised.
  HRESULT ToVariant(VARIANT* out) const;
  // A VARIANT coerced to `type` with VariantChangeType, as Outlook coerces what is put into a property;
  // throws ModelError(DISP_E_TYPEMISMATCH) when it does not convert.
  static Value FromVariant(const VARIANT& source, ValueType type);

private:
  ValueType type_ = ValueType::Int32;
  std::wstring text_;
  double number_ = 0;  // the date, the integer or the flag
};

}  // namespace outlook_standin

}  // namespace orvane
