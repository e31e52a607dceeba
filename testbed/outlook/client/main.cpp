// OutlookClient.exe: lists, adds, changes and deletes Outlook items from the command line, calling
// Outlook by member names as a script would. See client_commands.h for the commands.
#include "base/com_scope.h"
#include "base/unique_resource.h"
#include "testbed/outlook/client/client_commands.h"

#include <shellapi.h>

#include <cstdio>

namespace orvane {
namespace {

std::vector<std::wstring> CommandWords() {
  std::vector<std::wstring> words;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const UniqueLocalMemory owner(arguments);
  if (!arguments) return words;
  for (int i = 1; i < count; ++i) words.emplace_back(arguments[i]);
  return words;
}

int RunClient(const std::vector<std::wstring>& words, std::string& output, std::string& errors) {
  if (words.size() < 2) {
    errors += kClientUsageText;
    return kClientUsage;
  }
  try {
    if (lstrcmpiW(words[0].c_str(), L"control") == 0) {
      const outlook::LateBound control = outlook::LateBound::Create(L"OutlookStandin.Control");
      return RunControlCommand(control, std::vector<std::wstring>(words.begin() + 1, words.end()), output, errors);
    }
    const outlook::LateBound application = outlook::LateBound::Create(L"Outlook.Application");
    return RunClientCommand(application, words, output, errors);
  } catch (const outlook::AutomationError& error) {
    errors += std::string("Outlook cannot be reached: ") + error.what() + "\n";
    return kClientOutlookFailed;
  }
}

}  // namespace
}  // namespace orvane

int main() {
  using namespace orvane;
  std::string output;
  std::string errors;
  int code = kClientOutlookFailed;
  {
    const Apartment apartment;
    if (!apartment.Ok()) return kClientOutlookFailed;
    // Every COM object is gone before the apartment closes.
    code = RunClient(CommandWords(), output, errors);
  }
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fwrite(errors.data(), 1, errors.size(), stderr);
  return code;
}
