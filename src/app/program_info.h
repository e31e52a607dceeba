// What "/?" and "/Version" tell: the usage and the version read from the program's own resource.
#pragma once

#include <string>

namespace orvane::app {

// "major.minor.patch.build" of the version resource's fixed part; empty when it cannot be read.
std::wstring ProgramVersion();
// Writes the text to the console of the program that started this one, or shows it in a box
// when there is none (a program of the Windows subsystem has no console of its own).
void TellUser(const std::wstring& text);
std::wstring UsageText();
std::wstring VersionText();

}  // namespace orvane::app
