#include "outlook/automation_error.h"

#include "base/unique_resource.h"
#include "outlook/com_types.h"

#include <cstdio>

namespace orvane::outlook {

namespace {

// HRESULT_FROM_WIN32 of an RPC status, which is not a constant expression everywhere.
constexpr HRESULT FromRpcStatus(long status) {
  return static_cast<HRESULT>(0x80070000u | (static_cast<unsigned long>(status) & 0xFFFFu));
}

constexpr HRESULT kServerGoneResults[] = {
    RPC_E_DISCONNECTED,
    RPC_E_SERVER_DIED,
    RPC_E_SERVER_DIED_DNE,
    CO_E_OBJNOTCONNECTED,
    FromRpcStatus(RPC_S_SERVER_UNAVAILABLE),
    // What Wine answers when the server quits during the call.
    FromRpcStatus(RPC_S_CALL_FAILED),
    FromRpcStatus(RPC_S_CALL_FAILED_DNE),
};

}  // namespace

bool IsServerGone(HRESULT result) noexcept {
  for (const HRESULT gone : kServerGoneResults) {
    if (result == gone) return true;
  }
  return false;
}

std::string DescribeResult(HRESULT result) {
  char* words = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&words), 0, nullptr);
  const UniqueLocalMemory owner(words);
  std::string text = length && words ? std::string(words, length) : std::string("Unknown error");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  char number[32];
  std::snprintf(number, sizeof number, " (0x%08lX)", static_cast<unsigned long>(result));
  return text + number;
}

AutomationError AutomationError::FromResult(HRESULT result) { return AutomationError(result, DescribeResult(result)); }

AutomationError AutomationError::FromInvoke(HRESULT result, ExcepInfo& exception) {
  if (result != DISP_E_EXCEPTION) return FromResult(result);
  EXCEPINFO& info = *exception.Receive();
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  const HRESULT code = info.scode != 0 ? info.scode : result;
  const UINT length = SysStringLen(info.bstrDescription);
  if (length > 0) return AutomationError(code, WideToAnsi(info.bstrDescription, length));
  return FromResult(code);
}

}  // namespace orvane::outlook
