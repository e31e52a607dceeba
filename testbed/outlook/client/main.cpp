// OutlookClient.exe: lists, adds, changes and deletes Outlook items from the command line, calling
// Outlook by member names as a script would. See client_commands.h for the commands.
#include "testbed/outlook/client/client_commands.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>

namespace orvane {
namespace {

std::vector<std::wstring> CommandWords() {
  std::vector<std::wstring> words;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return words;
  for (int i = 1; i < count; ++i) words.emplace_back(arguments[i]);
  LocalFree(arguments);
  return words;
}

int RunClient(const std::vector<std::wstring>& words, std::string& output, std::string& errors) {
  if (words.size() < 2) {
    errors += kClientUsageText;
    return kClientUsage;
  }
  try {
    const LateBound application = LateBound::Create(L"Outlook.Application");
    return RunClientCommand(application, words, output, errors);
  } catch (const AutomationError& error) {
    errors += std::string("Outlook cannot be reached: ") + error.what() + "\n";
    return kClientOutlookFailed;
  }
}

}  // namespace
}  // namespace orvane

int main() {
  using namespace orvane;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return kClientOutlookFailed;
  std::string output;
  std::string errors;
  // Every COM object is gone before the apartment closes.
  const int code = RunClient(CommandWords(), output, errors);
  CoUninitialize();
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fwrite(errors.data(), 1, errors.size(), stderr);
  return code;
}
