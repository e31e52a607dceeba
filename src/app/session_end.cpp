#include "app/session_end.h"

#include "app/held_record.h"
#include "app/intake.h"
#include "app/main_frame.h"
#include "app/registered_actions.h"
#include "base/error_log.h"
#include "base/file_places.h"
#include "base/process_control.h"
#include "base/unique_resource.h"
#include "base/user_folders.h"

#include <cstdio>
#include <optional>
#include <string>

namespace orvane::app {

namespace {

constexpr wchar_t kHeldRecordFile[] = L"OrvaneRecord.held";
// How long "/Close" gives the plug-in to answer each of the two messages.
constexpr UINT kAnswerTimeoutMs = 5000;

UINT MessageOf(Action action) {
  const ActionMessages messages = RegisteredActions();
  switch (action) {
    case Action::Save: return messages.save;
    case Action::Change: return messages.change;
    case Action::Delete: return messages.remove;
    case Action::Done: return messages.done;
    case Action::None: break;
  }
  return 0;
}

std::wstring HeldRecordPath() {
  const std::wstring folder = OwnStateFolder();
  return folder.empty() ? std::wstring() : places::Join(folder, kHeldRecordFile);
}

void LogKindLine(const char* format, uint32_t kind) {
  char line[160];
  std::snprintf(line, sizeof line, format, static_cast<unsigned long>(kind));
  WriteLog(line);
}

// A command whose action came and that is not yet performed (or is being performed: the writer
// is cut off by the ending) goes to the next process. The file holds one, the first: those behind
// it are lost, each with its line.
void KeepCommandsInHand(const std::vector<HeldRecord>& inHand) {
  if (inHand.empty()) return;
  const std::wstring path = HeldRecordPath();
  const std::string text = FormatHeldRecord(inHand.front());
  bool kept = false;
  if (!path.empty()) {
    const UniqueCFile file(_wfopen(path.c_str(), L"wb"));
    kept = file && std::fwrite(text.data(), 1, text.size(), file.Get()) == text.size() && std::fflush(file.Get()) == 0;
  }
  constexpr char kLost[] = "OrvaneOutlook=>OnEndSession::The record of kind 0x%08lX cannot be kept and is lost";
  LogKindLine(kept ? "OrvaneOutlook=>OnEndSession::The record of kind 0x%08lX is kept for the next start" : kLost,
              inHand.front().kind);
  for (size_t i = 1; i < inHand.size(); ++i) LogKindLine(kLost, inHand[i].kind);
}

std::optional<std::string> ReadHeldFile(const std::wstring& path) {
  const UniqueCFile file(_wfopen(path.c_str(), L"rb"));
  if (!file) return std::nullopt;
  std::string text;
  char block[1024];
  size_t read = 0;
  // A file much larger than a record is no record: reading stops past the buffer's size.
  while ((read = std::fread(block, 1, sizeof block, file.Get())) > 0 && text.size() <= kRecordBufferSize) {
    text.append(block, read);
  }
  return text;
}

}  // namespace

LRESULT OnQueryEndSession() noexcept { return TRUE; }

std::string EndSessionLogLine(LPARAM reasons) {
  const auto flags = static_cast<unsigned long long>(reasons);
  const char* why = "as Windows shuts down";
  if (flags & ENDSESSION_CLOSEAPP) {
    why = "as an installer or \"/Close\" asks it to close";
  } else if (flags & ENDSESSION_LOGOFF) {
    why = "as the user logs off";
  }
  return std::string("OrvaneOutlook=>OnEndSession::The plug-in ends, ") + why;
}

void OnEndSession(WPARAM ending, LPARAM reasons, outbound::OutlookLink& link, const std::vector<HeldRecord>& inHand) {
  // The session goes on: another program said no.
  if (!ending) return;
  WriteLog(EndSessionLogLine(reasons).c_str());
  KeepCommandsInHand(inHand);
  // What the outbox holds is on disk already; the successor sends it, this process nothing more.
  link.StopKeepingPictures();
  // Windows may end the process at any moment once this message is answered.
  CurrentProcessControl().ExitNormally();
}

void TakeUpHeldRecord(HWND frame) {
  const std::wstring path = HeldRecordPath();
  if (path.empty()) return;
  const std::optional<std::string> text = ReadHeldFile(path);
  if (!text) return;
  // Taken up once, whatever it holds: a file that fails now would fail at every start.
  _wremove(path.c_str());
  const std::optional<HeldRecord> held = ParseHeldRecord(*text);
  if (!held) {
    WriteLog("OrvaneOutlook=>TakeUpHeldRecord::The record kept by the last process cannot be read; it is dropped");
    return;
  }
  if (ParkRecord(held->kind, held->text.c_str(), held->text.size() + 1) != Receipt::Parked) return;
  LogKindLine("OrvaneOutlook=>TakeUpHeldRecord::The record of kind 0x%08lX kept by the last process is performed",
              held->kind);
  // Sent, not posted: a record the main application sends meanwhile cannot come between the two.
  SendMessageA(frame, MessageOf(held->action), 0, 0);
}

int CloseRunningPlugin() {
  const HWND frame = FindWindowA(nullptr, kFrameTitle);
  if (!frame) return kNoPluginRunning;
  DWORD processId = 0;
  GetWindowThreadProcessId(frame, &processId);
  const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  DWORD_PTR answer = 0;
  // As the Restart Manager asks: whether it may end, then that it ends. The plug-in ends inside
  // the second, so that call fails or times out rather than returning an answer.
  SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer);
  SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer);
  if (!process) return IsWindow(frame) ? kPluginWouldNotEnd : kClosedPlugin;
  return WaitForSingleObject(process.Get(), kCloseTimeoutMs) == WAIT_OBJECT_0 ? kClosedPlugin : kPluginWouldNotEnd;
}

}  // namespace orvane::app
