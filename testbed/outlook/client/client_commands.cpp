#include "testbed/outlook/client/client_commands.h"

#include "testbed/outlook/object_model_ids.h"

#include <cerrno>
#include <cstdint>
#include <cwchar>
#include <optional>

namespace orvane {

const char kClientUsageText[] =
    "Usage: OutlookClient list   <folder>\n"
    "       OutlookClient add    <folder> <subject> [body]\n"
    "       OutlookClient set    <folder> <subject> <member> <value>\n"
    "       OutlookClient get    <folder> <subject> <member>[.<member>]\n"
    "       OutlookClient delete <folder> <subject>\n"
    "       OutlookClient control <name> [argument...]\n"
    "<folder>: tasks, appointments (or calendar), notes\n";

namespace {

struct FolderChoice {
  int32_t folder;
  int32_t itemType;
};

std::optional<FolderChoice> ParseFolder(const std::wstring& word) {
  struct Entry {
    const wchar_t* word;
    FolderChoice choice;
  };
  static const Entry kEntries[] = {
      {L"task", {outlook_standin::kFolderTasks, outlook_standin::kTaskItem}},
      {L"tasks", {outlook_standin::kFolderTasks, outlook_standin::kTaskItem}},
      {L"appointment", {outlook_standin::kFolderCalendar, outlook_standin::kAppointmentItem}},
      {L"appointments", {outlook_standin::kFolderCalendar, outlook_standin::kAppointmentItem}},
      {L"calendar", {outlook_standin::kFolderCalendar, outlook_standin::kAppointmentItem}},
      {L"note", {outlook_standin::kFolderNotes, outlook_standin::kNoteItem}},
      {L"notes", {outlook_standin::kFolderNotes, outlook_standin::kNoteItem}},
  };
  for (const Entry& entry : kEntries) {
    if (lstrcmpiW(entry.word, word.c_str()) == 0) return entry.choice;
  }
  return std::nullopt;
}

std::string Ansi(const std::wstring& text) { return outlook::WideToAnsi(text.data(), text.size()); }

class ClientSession {
public:
  // GetNamespace("MAPI") and Logon with every argument omitted, as a script does.
  explicit ClientSession(const outlook::LateBound& application)
      : application_(application), mapi_(application.CallForObject(L"GetNamespace", outlook::Variant::Wide(L"MAPI"))) {
    mapi_.CallMethod(L"Logon");
  }

  outlook::LateBound ItemsOf(const FolderChoice& choice) const {
    return mapi_.CallForObject(L"GetDefaultFolder", outlook::Variant::Int32(choice.folder)).GetObject(L"Items");
  }

  std::string List(const FolderChoice& choice) const {
    const outlook::LateBound items = ItemsOf(choice);
    const int32_t count = items.GetProperty(L"Count").ToInt32();
    std::string lines;
    for (int32_t index = 1; index <= count; ++index) {
      const outlook::LateBound item = items.CallForObject(L"Item", outlook::Variant::Int32(index));
      lines += std::to_string(index) + "\t" + item.GetProperty(L"Subject").ToAnsi() + "\n";
    }
    return lines;
  }

  void Add(const FolderChoice& choice, const std::wstring& subject, const std::optional<std::wstring>& body) const {
    const outlook::LateBound item = application_.CallForObject(L"CreateItem", outlook::Variant::Int32(choice.itemType));
    if (choice.itemType == outlook_standin::kNoteItem) {
      // A note's subject is the first line of its text.
      item.SetProperty(L"Body", outlook::Variant::Wide(body ? subject + L"\r\n" + *body : subject));
    } else {
      item.SetProperty(L"Subject", outlook::Variant::Wide(subject));
      if (body) item.SetProperty(L"Body", outlook::Variant::Wide(*body));
    }
    item.CallMethod(L"Save");
  }

  // The first item whose subject equals `subject` ignoring case; empty when there is none.
  outlook::LateBound Find(const FolderChoice& choice, const std::wstring& subject) const {
    const outlook::LateBound items = ItemsOf(choice);
    const int32_t count = items.GetProperty(L"Count").ToInt32();
    for (int32_t index = 1; index <= count; ++index) {
      outlook::LateBound item = items.CallForObject(L"Item", outlook::Variant::Int32(index));
      if (lstrcmpiW(item.GetProperty(L"Subject").ToWide().c_str(), subject.c_str()) == 0) return item;
    }
    return {};
  }

private:
  outlook::LateBound application_;
  outlook::LateBound mapi_;
};

// A member of the item, or through a dot a member of the object that one answers, as
// "GetRecurrencePattern.Interval".
outlook::Variant GetMemberPath(outlook::LateBound object, const std::wstring& path) {
  size_t start = 0;
  for (size_t dot = path.find(L'.'); dot != std::wstring::npos; dot = path.find(L'.', start)) {
    object = object.CallForObject(path.substr(start, dot - start).c_str());
    start = dot + 1;
  }
  return object.GetProperty(path.substr(start).c_str());
}

int Fail(std::string& errors, int code, const std::string& text) {
  errors += text + "\n";
  return code;
}

int RunOnSession(const ClientSession& session, const std::vector<std::wstring>& words, std::string& output,
                 std::string& errors) {
  const std::wstring& verb = words[0];
  const std::optional<FolderChoice> folder = ParseFolder(words[1]);
  if (!folder) return Fail(errors, kClientUsage, "Unknown folder: " + Ansi(words[1]));
  const size_t count = words.size();
  if (lstrcmpiW(verb.c_str(), L"list") == 0 && count == 2) {
    output += session.List(*folder);
    return kClientDone;
  }
  if (lstrcmpiW(verb.c_str(), L"add") == 0 && (count == 3 || count == 4)) {
    session.Add(*folder, words[2], count == 4 ? std::optional<std::wstring>(words[3]) : std::nullopt);
    return kClientDone;
  }
  const bool set = lstrcmpiW(verb.c_str(), L"set") == 0 && count == 5;
  const bool get = lstrcmpiW(verb.c_str(), L"get") == 0 && count == 4;
  const bool remove = lstrcmpiW(verb.c_str(), L"delete") == 0 && count == 3;
  if (!set && !get && !remove) return Fail(errors, kClientUsage, kClientUsageText);

  const outlook::LateBound item = session.Find(*folder, words[2]);
  if (item.IsEmpty()) return Fail(errors, kClientNoSuchItem, "No item with the subject: " + Ansi(words[2]));
  if (get) {
    output += GetMemberPath(item, words[3]).ToAnsi() + "\n";
  } else if (set) {
    // The value goes as text; Outlook turns it into the member's own type.
    item.SetProperty(words[3].c_str(), outlook::Variant::Wide(words[4]));
    item.CallMethod(L"Save");
  } else {
    item.CallMethod(L"Delete");
  }
  return kClientDone;
}

// A whole number in int32 range goes as one; any other word as its text.
outlook::Variant ControlArgument(const std::wstring& word) {
  wchar_t* end = nullptr;
  errno = 0;
  const long number = std::wcstol(word.c_str(), &end, 10);
  const bool whole = !word.empty() && end && *end == L'\0' && errno == 0 && number >= INT32_MIN && number <= INT32_MAX;
  return whole ? outlook::Variant::Int32(static_cast<int32_t>(number)) : outlook::Variant::Wide(word);
}

}  // namespace

int RunControlCommand(const outlook::LateBound& control, const std::vector<std::wstring>& words, std::string& output,
                      std::string& errors) {
  if (words.empty()) return Fail(errors, kClientUsage, kClientUsageText);
  try {
    std::vector<outlook::Variant> arguments;
    for (size_t i = 1; i < words.size(); ++i) arguments.push_back(ControlArgument(words[i]));
    const outlook::DispatchDriver driver(ComPtr<IDispatch>::Share(control.Get()));
    const outlook::Variant answer =
        driver.Invoke(control.IdOf(words[0].c_str()), DISPATCH_METHOD, arguments.data(), arguments.size());
    if (answer.Type() != VT_EMPTY) output += answer.ToAnsi() + "\n";
    return kClientDone;
  } catch (const outlook::AutomationError& error) {
    return Fail(errors, kClientOutlookFailed, std::string("The control failed: ") + error.what());
  }
}

int RunClientCommand(const outlook::LateBound& application, const std::vector<std::wstring>& words, std::string& output,
                     std::string& errors) {
  if (words.size() < 2) return Fail(errors, kClientUsage, kClientUsageText);
  try {
    const ClientSession session(application);
    return RunOnSession(session, words, output, errors);
  } catch (const outlook::AutomationError& error) {
    return Fail(errors, kClientOutlookFailed, std::string("Outlook failed: ") + error.what());
  }
}

}  // namespace orvane
