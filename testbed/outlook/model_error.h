// ModelError: how a member of a stand-in object fails; the Invoke edge turns it into Outlook's answer.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace orvane {

namespace outlook_standin {

class ModelError {
public:
  // A plain failure answered with the HRESULT itself (DISP_E_TYPEMISMATCH, DISP_E_BADPARAMCOUNT, ...).
  explicit ModelError(HRESULT result, UINT badArgument = 0) : result_(result), badArgument_(badArgument) {}
  // Outlook's own failure: DISP_E_EXCEPTION with the message in EXCEPINFO and `code` as its scode.
  ModelError(std::wstring message, HRESULT code = E_FAIL) : result_(code), message_(std::move(message)) {}

  HRESULT Result() const { return result_; }
  UINT BadArgument() const { return badArgument_; }
  bool HasMessage() const { return !message_.empty(); }
  const std::wstring& Message() const { return message_; }

private:
  HRESULT result_;
  UINT badArgument_ = 0;
  std::wstring message_;
};

// Outlook's words for the failures the stand-in raises.
constexpr wchar_t kBadParameterMessage[] =
    L"Could not complete the operation. One or more parameter values are not valid.";
constexpr wchar_t kIndexOutOfBoundsMessage[] = L"Array index out of bounds.";
constexpr wchar_t kItemGoneMessage[] = L"The item has been moved or deleted.";
constexpr wchar_t kEndBeforeStartMessage[] = L"The end date you entered occurs before the start date.";
constexpr wchar_t kDueBeforeStartMessage[] = L"The due date you entered occurs before the start date.";
constexpr wchar_t kNotSavedMessage[] = L"The operation failed.";
constexpr wchar_t kGuardDeniedMessage[] = L"Operation aborted";
// MAPI_E_NOT_SUPPORTED, what a call the object model guard blocked answers.
constexpr HRESULT kMapiNotSupported = static_cast<HRESULT>(0x80040102L);

}  // namespace outlook_standin

}  // namespace orvane
