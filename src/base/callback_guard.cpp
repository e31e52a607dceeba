#include "base/callback_guard.h"

#include "base/com_error.h"

#include <atomic>
#include <new>

namespace orvane {
namespace {

void ReportToDebugger(const char* where, const char* what, const char* member) noexcept {
  OutputDebugStringA(where);
  OutputDebugStringA(": ");
  OutputDebugStringA(what);
  if (*member) {
    OutputDebugStringA(" (");
    OutputDebugStringA(member);
    OutputDebugStringA(")");
  }
  OutputDebugStringA("\n");
}

std::atomic<FailureReporter> reporter{&ReportToDebugger};

// A text of the ANSI code page as a new BSTR (null when it cannot be made).
BSTR AllocateBstr(const char* text) noexcept {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return nullptr;
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
  if (result) MultiByteToWideChar(CP_ACP, 0, text, -1, result, length);
  return result;
}

HRESULT AsFailure(HRESULT result) noexcept { return FAILED(result) ? result : E_FAIL; }

}  // namespace

void SetFailureReporter(FailureReporter replacement) noexcept {
  reporter = replacement ? replacement : &ReportToDebugger;
}

void ReportFailure(const char* where, const char* what, const char* member) noexcept {
  reporter.load()(where ? where : "", what ? what : "", member ? member : "");
}

const char* CurrentExceptionText() noexcept {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "unknown exception";
  }
}

const char* CurrentExceptionMember() noexcept {
  try {
    throw;
  } catch (const ComError& error) {
    return error.Member();
  } catch (...) {
    return "";
  }
}

HRESULT ComResultOfCurrentException(const char* source, EXCEPINFO* info) noexcept {
  HRESULT result = E_FAIL;
  const char* text = "unknown exception";
  try {
    throw;
  } catch (const ComError& error) {
    result = AsFailure(error.Result());
    text = error.what();
  } catch (const std::bad_alloc& error) {
    result = E_OUTOFMEMORY;
    text = error.what();
  } catch (const std::exception& error) {
    text = error.what();
  } catch (...) {
    result = E_UNEXPECTED;
  }
  if (!info) return result;
  *info = EXCEPINFO{};
  info->scode = result;
  info->bstrSource = AllocateBstr(source ? source : "");
  info->bstrDescription = AllocateBstr(text);
  return DISP_E_EXCEPTION;
}

}  // namespace orvane
