// The full path of the running program, of any length.
#pragma once

#include <string>

namespace orvane {

std::string ModulePath();
std::wstring ModulePathWide();
// The directory of the running program, without a trailing separator.
std::string ModuleDirectory();

}  // namespace orvane
