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

// MemberOfCall names a DISPID by its first entry: every entry of one DISPID must name one member.
constexpr bool EachIdNamesOneMember() {
  for (const MemberId& member : kMemberIds) {
    for (const MemberId& other : kMemberIds) {
      if (member.id == other.id && member.name != other.name) return false;
    }
  }
  return true;
}
static_assert(EachIdNamesOneMember(), "a DISPID the member table gives two names");

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

AutomationError AutomationError::FromResult(HRESULT result, std::string_view member) {
  return AutomationError(result, DescribeResult(result), member);
}

AutomationError AutomationError::FromInvoke(HRESULT result, ExcepInfo& exception, std::string_view member) {
  if (result != DISP_E_EXCEPTION) return FromResult(result, member);
  EXCEPINFO& info = *exception.Receive();
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  const HRESULT code = info.scode != 0 ? info.scode : result;
  const UINT length = SysStringLen(info.bstrDescription);
  if (length > 0) return AutomationError(code, WideToAnsi(info.bstrDescription, length), member);
  return FromResult(code, member);
}

std::string MemberOfCall(DispId id, WORD flags) {
  std::string objects;
  std::string_view name;
  for (const MemberId& member : kMemberIds) {
    if (member.id != id) continue;
    name = member.name;
    std::string_view listed = member.objects;
    while (!listed.empty()) {
      const size_t end = listed.find(' ');
      if (!objects.empty()) objects += '/';
      objects += listed.substr(0, end);
      if (end == std::string_view::npos) break;
      listed.remove_prefix(end + 1);
    }
  }
  std::string text;
  if (name.empty()) {
    char number[32];
    std::snprintf(number, sizeof number, "member 0x%lX", static_cast<unsigned long>(id));
    text = number;
  } else {
    text = objects + '.' + std::string(name);
  }
  if (flags == DISPATCH_PROPERTYGET) return text + " get";
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return text + " put";
  return text + " call";
}

}  // namespace orvane::outlook
