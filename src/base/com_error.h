// ComError: an exception that carries the HRESULT a COM caller should see.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

class ComError : public std::runtime_error {
public:
  ComError(HRESULT result, const std::string& message, std::string_view member = {})
      : std::runtime_error(message), result_(result) {
    const size_t length = std::min(member.size(), sizeof member_ - 1);
    std::copy_n(member.data(), length, member_);
    member_[length] = '\0';
  }
  HRESULT Result() const noexcept { return result_; }
  // The object and member whose call failed and how it was called, as "TaskItem.Subject put";
  // empty when the failure is not one call's. Kept apart from the message, which is the server's
  // own words.
  const char* Member() const noexcept { return member_; }

private:
  HRESULT result_;
  // A buffer of its own, so that copying the exception cannot fail.
  char member_[96];
};

}  // namespace orvane
