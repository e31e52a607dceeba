// ComError: an exception that carries the HRESULT a COM caller should see.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace orvane {

class ComError : public std::runtime_error {
public:
  ComError(HRESULT result, const std::string& message) : std::runtime_error(message), result_(result) {}
  HRESULT Result() const noexcept { return result_; }

private:
  HRESULT result_;
};

}  // namespace orvane
