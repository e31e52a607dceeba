#include "tests/soak/soak_run.h"

#include "base/base_window.h"
#include "base/com_scope.h"
#include "base/module_path.h"
#include "mainapp/registered_messages.h"
#include "outlook/automation_error.h"
#include "outlook/late_binding.h"
#include "tests/common/plugin_files.h"
#include "tests/e2e/harness.h"
#include "testbed/orvane/model_table.h"
#include "testbed/orvane/plugin_link.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace orvane::soak {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;
using namespace std::chrono_literals;
using outlook::Variant;

constexpr char kStandinProgram[] = "OutlookStandin.exe";
constexpr char kKillRequest[] = "kill9.request";
// An inbound command is performed within this long of its action, unless a fault was in the way.
constexpr Milliseconds kCommandBound = 10s;
// A command that a fault may have lost goes again after this long without its effect.
constexpr Milliseconds kCommandGiveUp = 40s;
constexpr Milliseconds kSettleBound = 180s;
constexpr size_t kFolderCap = 120;

int FolderOf(Kind kind) { return kind == Kind::kTask ? 13 : kind == Kind::kAppointment ? 9 : 12; }
int ItemTypeOf(Kind kind) { return kind == Kind::kTask ? 3 : kind == Kind::kAppointment ? 1 : 5; }
const char* NameOf(Kind kind) {
  return kind == Kind::kTask ? "task" : kind == Kind::kAppointment ? "appointment" : "note";
}

std::string Printable(std::string_view bytes) {
  std::string text;
  for (const char c : bytes.substr(0, 160)) {
    text += (c == '\t') ? std::string("\\t") : (c == '\n') ? std::string("\\n") : std::string(1, c);
  }
  return bytes.size() > 160 ? text + "..." : text;
}

std::wstring Wide(std::string_view utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

// Runs a program of the system by its name and waits for it to end; what it prints is dropped,
// so that the run's own output stays its own.
void RunSystemProgram(std::string commandLine) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const UniqueHandle nul(
      CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = nul.Get();
  startup.hStdError = nul.Get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
    return;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  WaitForSingleObject(process.Get(), 30000);
}

// --- The run's own log ------------------------------------------------------------------------------

class RunLog {
public:
  explicit RunLog(const std::string& path) : file_(path, std::ios::binary), start_(Clock::now()) {}
  void Line(const std::string& text) {
    const auto ms = std::chrono::duration_cast<Milliseconds>(Clock::now() - start_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%7lld.%03lld ", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    file_ << stamp << text << '\n';
    file_.flush();
    recent_.push_back(stamp + text);
    if (recent_.size() > 60) recent_.pop_front();
  }
  const std::deque<std::string>& Recent() const { return recent_; }

private:
  std::ofstream file_;
  Clock::time_point start_;
  std::deque<std::string> recent_;
};

// --- The texts a user writes ------------------------------------------------------------------------

class Texts {
public:
  explicit Texts(std::mt19937& random) : random_(random) {}

  // Subjects repeat on purpose, hold text outside the ANSI code page and asterisks, or run long.
  std::wstring Subject() {
    static const char* const kWords[] = {"Call Anna",        "Budget review", "Réunion équipe", "Zahnarzt Müller",
                                         "Встреча с Иваном", "会議の準備",    "Pay the rent",   "a*b plan",
                                         "Ελληνικά νέα",     "Straße fegen",  "Café 5€",        "Follow up"};
    const unsigned pick = Below(100);
    std::wstring text = Wide(kWords[Below(std::size(kWords))]);
    if (pick < 35) return text;  // the same few subjects, again and again
    if (pick < 45) return text + std::wstring(130 + Below(170), L'x');
    return text + L" " + std::to_wstring(++serial_);
  }
  std::wstring Location() {
    static const wchar_t* const kPlaces[] = {L"Room 1", L"Harbour Street 4", L"Büro", L"Онлайн", L"Kitchen"};
    return kPlaces[Below(std::size(kPlaces))];
  }
  // A note's text: its subject is the first line; the rest may be long.
  std::wstring NoteText() {
    std::wstring text = Subject();
    if (Below(2) == 0) text += L"\r\n" + std::wstring(200 + Below(3000), L'n');
    return text;
  }
  unsigned Below(size_t bound) {
    return static_cast<unsigned>(std::uniform_int_distribution<size_t>(0, bound - 1)(random_));
  }

private:
  std::mt19937& random_;
  unsigned serial_ = 0;
};

// --- The model main application's window --------------------------------------------------------------

class ModelWindow final : public BaseWindow {
public:
  using OnRecord = std::function<void(uint32_t kind, std::string bytes)>;
  ModelWindow(OnRecord onRecord, std::function<void()> onShield)
      : onRecord_(std::move(onRecord)),
        onShield_(std::move(onShield)),
        shieldMessage_(RegisterWindowMessageA(mainapp::kShieldMessageName)) {}
  bool Open() { return CreateWindowOf({"Orvane Main", "Orvane"}); }
  void Close() { DestroyOwnWindow(); }
  bool IsOpen() const { return Window() != nullptr && IsWindow(Window()); }
  void AnswerSlowly(DWORD milliseconds) { answerDelayMs_ = milliseconds; }

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data && data->lpData) {
        onRecord_(static_cast<uint32_t>(data->dwData),
                  std::string(static_cast<const char*>(data->lpData), data->cbData));
      }
      if (answerDelayMs_ > 0) Sleep(answerDelayMs_);
      return TRUE;
    }
    if (message == shieldMessage_) {
      onShield_();
      return 0;
    }
    return DefaultHandling(message, wParam, lParam);
  }
  const char* ReportName() const noexcept override { return "ModelMainWindow"; }

  OnRecord onRecord_;
  std::function<void()> onShield_;
  UINT shieldMessage_;
  DWORD answerDelayMs_ = 0;
};

// --- Outlook as the harness reads it, through the stand-in's controls ----------------------------------

struct SeenItem {
  Comparable item;
  bool recurring = false;
};

// Counts what happened, by name, for the last line.
using Counts = std::map<std::string, long>;
std::string Listed(const Counts& counts) {
  std::string text;
  for (const auto& [name, count] : counts) text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
  return text.empty() ? "none" : text;
}

// One inbound command of the model and the state of Outlook that shows it was performed.
struct Command {
  std::string what;
  uint32_t kind = 0;
  std::string record;
  standin::Action action = standin::Action::kSave;
  std::function<bool(const std::vector<SeenItem>&)> performed;
  Kind folder = Kind::kTask;
};

class Soak {
public:
  explicit Soak(const SoakOptions& options)
      : options_(options),
        random_(options.seed),
        texts_(random_),
        log_(options.runDirectory + "\\soak.log"),
        window_([this](uint32_t kind, std::string bytes) { OnRecord(kind, std::move(bytes)); },
                [this] { OnShield(); }) {}

  int Run();

private:
  // --- Set-up and the sides ---
  bool Start();
  void ChooseOutlookFlavour();
  void ApplyOutlookFlavour();
  bool OpenOutlook();
  void DropOutlook();
  // A stand-in the control's watch ended, as it left a call unanswered, is started again.
  void ReopenOutlookWhenEnded();
  template <class... Args>
  Variant Control(const wchar_t* name, Args&&... args) {
    return control_->Call(name, std::forward<Args>(args)...);
  }
  std::vector<SeenItem> ReadFolder(Kind kind);
  bool OutlookAnswers() const { return control_.has_value() && Clock::now() >= busyUntil_; }

  // --- The plug-in ---
  std::string PluginPath() const { return options_.runDirectory + "\\plugin\\OrvaneOutlook.exe"; }
  void StartPlugin(bool mayHandOffEarly = true);
  bool WaitForSinks();
  bool WaitForKeptPictures();
  void KeepPluginRunning();
  // Private kilobytes and handles of the plug-in.
  struct Figures {
    long long kilobytes = 0;
    long long handles = 0;
  };
  std::optional<Figures> SamplePlugin(const char* when);
  void SampleSettledPlugin();
  std::optional<size_t> PrivateKilobytesOfPlugin();

  // --- The model main application ---
  void OnRecord(uint32_t kind, std::string bytes);
  void OnShield();
  bool RepeatsADeletion(const Report& report);
  bool Perform(Command command);
  void SendWaitingLinks(size_t most = SIZE_MAX);
  void ModelCommand();
  void PumpFor(Milliseconds duration);

  // --- The user ---
  void UserAction();
  void UserAdd(Kind kind);
  void UserImport(Kind kind);
  void UserChange(Kind kind, bool rename);
  void UserDelete(Kind kind);
  void UserCompleteOccurrence();
  std::optional<int> PickUnambiguous(Kind kind, const std::vector<SeenItem>& seen, bool needsLink);
  outlook::LateBound FolderItems(Kind kind);

  // --- Faults ---
  void Fault();
  void EndFaultsDue();
  void EndEveryFault();

  // --- Leaks ---
  bool ProbeRound(int round);
  void ProbeForLeaks();
  int ProbeRounds() const { return options_.seconds >= 600 ? 40 : 10; }

  // --- The end ---
  bool Settle();
  void EndTheSides();
  void Disagree(const std::string& text);
  void ReportFailure();

  Kind AnyKind() { return static_cast<Kind>(texts_.Below(kKinds)); }
  bool Chance(unsigned percent) { return texts_.Below(100) < percent; }

  SoakOptions options_;
  std::mt19937 random_;
  Texts texts_;
  RunLog log_;
  ModelWindow window_;
  ModelTable table_;
  // The link records to send: the item each names is looked up when it goes, as the reports since
  // may have renamed or deleted it.
  std::deque<std::pair<Kind, int32_t>> links_;
  // What the user deleted, by the subjects a report may name it by, as the records carry them: the
  // one Outlook showed, and the one the main application holds for its link id (a rename not yet
  // reported leaves the item there under its old subject).
  struct UserDeletion {
    Kind kind;
    std::string subject, toldSubject;
  };
  std::vector<UserDeletion> userDeleted_;
  std::map<Kind, std::pair<std::string, Clock::time_point>> lastDeletions_;
  e2e::ChildProcess plugin_;
  Clock::time_point pluginStarted_;
  std::optional<e2e::StandinControl> control_;
  outlook::LateBound application_;
  Clock::time_point busyUntil_;
  Clock::time_point guardUntil_;
  Clock::time_point windowClosedUntil_;
  Clock::time_point slowUntil_;
  Clock::time_point lateEventsUntil_;
  Clock::time_point rowCountFailsUntil_;
  bool killed_ = false;                   // the plug-in's end was ours
  bool disturbed_ = false;                // a fault that may hold up or lose a command came since it went
  std::optional<Figures> memoryAtStart_;  // of the plug-in's life, once it settled
  std::optional<Figures> drift_;          // over the leak probe's rounds
  Counts operations_;
  Counts faults_;
  std::vector<std::string> disagreements_;
  // The run's choice of how Outlook behaves where it varies.
  std::vector<std::function<void()>> flavour_;
  std::vector<std::string> flavourNames_;
};

// ---------------------------------------------------------------------------------------------------

bool Soak::Start() {
  testfiles::RemovePerUserFiles();
  e2e::EndStrayPlugins();
  e2e::WriteIniSetting(options_.runDirectory, "OutlookToOrvane", 1);
  // The plug-in runs from a folder of its own: started by name from the build's, where the stand-in
  // main application lies, it would start that one when the model is closed, and lose the records
  // to it. Here the main application stays closed until the model opens again.
  std::error_code ignored;
  std::filesystem::create_directories(options_.runDirectory + "\\plugin", ignored);
  if (!CopyFileA((ModuleDirectory() + "\\OrvaneOutlook.exe").c_str(), PluginPath().c_str(), FALSE)) {
    std::fprintf(stderr, "soak: the plug-in could not be copied to the run's folder\n");
    return false;
  }
  // Every Outlook that starts, by COM or by the user, works on the run's store.
  const std::string store = options_.runDirectory + "\\store.txt";
  std::filesystem::remove(store, ignored);
  e2e::ChildProcess registration(kStandinProgram, "/RegServer /Store \"" + store + "\"", options_.runDirectory);
  if (!registration.WaitForExit(30s) || registration.ExitCode() != 0) {
    std::fprintf(stderr, "soak: the stand-in Outlook could not be registered on the run's store\n");
    return false;
  }
  if (!window_.Open()) {
    std::fprintf(stderr, "soak: the model main application's window could not be made\n");
    return false;
  }
  ChooseOutlookFlavour();
  if (!OpenOutlook()) {
    std::fprintf(stderr, "soak: the stand-in Outlook did not start\n");
    return false;
  }
  StartPlugin();
  // What Outlook holds before the plug-in first looks is no news: the user acts, and the faults
  // start, once it listens and has kept what it saw. A plug-in killed before that leaves the next
  // one a first look too, which takes what the user did meanwhile as no news.
  const bool listening = WaitForSinks() && WaitForKeptPictures();
  if (!listening) std::fprintf(stderr, "soak: the plug-in did not start listening to Outlook\n");
  return listening;
}

bool Soak::WaitForKeptPictures() {
  return e2e::WaitUntil(
      [this] {
        PumpFor(100ms);
        return testfiles::PicturesKept();
      },
      30s);
}

bool Soak::WaitForSinks() {
  return e2e::WaitUntil(
      [this] {
        PumpFor(100ms);
        for (const Kind kind : {Kind::kTask, Kind::kAppointment, Kind::kNote}) {
          if (Control(L"SinkCount", Variant::Int32(FolderOf(kind))).ToInt32() == 0) return false;
        }
        return true;
      },
      30s);
}

void Soak::ChooseOutlookFlavour() {
  auto choose = [this](const wchar_t* control, std::vector<std::wstring> words) {
    const std::wstring word = words[texts_.Below(words.size())];
    flavourNames_.push_back(std::string(control, control + wcslen(control)) + "=" +
                            std::string(word.begin(), word.end()));
    flavour_.push_back([this, control, word] { Control(control, Variant::Wide(word)); });
  };
  auto number = [this](const wchar_t* control, std::vector<int> values) {
    const int value = values[texts_.Below(values.size())];
    flavourNames_.push_back(std::string(control, control + wcslen(control)) + "=" + std::to_string(value));
    flavour_.push_back([this, control, value] { Control(control, Variant::Int32(value)); });
  };
  choose(L"TableIds", {L"long-term", L"short-term"});
  choose(L"TableOrder", {L"rows-first", L"columns-first"});
  choose(L"ItemsOrder", {L"saved", L"reverse", L"moved-on-save"});
  choose(L"TimePrecision", {L"milliseconds", L"seconds"});
  number(L"TableTextBytes", {0, 255, 510});
  number(L"BulkAdd", {-1, 16});
  number(L"OpenItemLimit", {0, 100});
  number(L"NoRemoveForLastItem", {0, 1});
  number(L"EventsAfterUnadvise", {0, 1});
  number(L"CopyKeepsRecurrence", {0, 1});
  number(L"TableStrictMaxRows", {0, 1});
}

void Soak::ApplyOutlookFlavour() {
  for (const auto& apply : flavour_) apply();
}

bool Soak::OpenOutlook() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    try {
      control_.emplace();
      if (!control_->Available()) throw outlook::AutomationError(E_FAIL, "no control object");
      Control(L"ShowMainWindow");
      application_ = outlook::LateBound::Create(L"Outlook.Application");
      ApplyOutlookFlavour();
      return true;
    } catch (const outlook::AutomationError& error) {
      log_.Line(std::string("Outlook does not answer yet: ") + error.what());
      DropOutlook();
      PumpFor(1s);
    }
  }
  return false;
}

void Soak::DropOutlook() {
  application_ = outlook::LateBound();
  control_.reset();
}

// Outlook held for 30 s on one call is a fault of the plug-in's (one that holds Outlook's events)
// or of the stand-in's, never the user's: it is a disagreement, and the run goes on.
void Soak::ReopenOutlookWhenEnded() {
  if (!control_ || control_->Available()) return;
  Disagree("the stand-in Outlook left a call unanswered for 30 s and was ended");
  DropOutlook();
  e2e::WaitForNoProcess(kStandinProgram, 10s);
  if (OpenOutlook()) log_.Line("Outlook is back");
}

std::vector<SeenItem> Soak::ReadFolder(Kind kind) {
  const int folder = FolderOf(kind);
  std::vector<SeenItem> seen;
  const int count = Control(L"ItemCount", Variant::Int32(folder)).ToInt32();
  for (int index = 1; index <= count; ++index) {
    auto property = [&](const wchar_t* member) {
      return Control(L"ItemProperty", Variant::Int32(folder), Variant::Int32(index), Variant::Wide(member));
    };
    SeenItem item;
    item.item.kind = kind;
    item.item.subject = AsRecordText(property(L"Subject").ToAnsi());
    if (kind == Kind::kNote) {
      const std::string categories = property(L"Categories").ToAnsi();
      item.item.linkId = std::atoi(categories.c_str()) >= kFirstLinkId ? std::atoi(categories.c_str()) : 0;
    } else {
      const int32_t codepage = property(L"InternetCodepage").ToInt32();
      item.item.linkId = codepage >= kFirstLinkId ? codepage : 0;
      item.recurring = property(L"IsRecurring").ToInt32() != 0;
    }
    if (kind == Kind::kTask) item.item.field = property(L"PercentComplete").ToInt32() == 100 ? "1.000" : "0.000";
    if (kind == Kind::kAppointment) item.item.field = TextOrNone(AsRecordText(property(L"Location").ToAnsi()));
    // Items without a subject are never reported.
    if (!item.item.subject.empty()) seen.push_back(std::move(item));
  }
  return seen;
}

// --- The plug-in --------------------------------------------------------------------------------------

void Soak::StartPlugin(bool mayHandOffEarly) {
  std::string environment;
  std::string handOff;
  if (mayHandOffEarly && Chance(30)) {
    // Test builds only: the plug-in hands off this soon after its start instead of after 15 minutes.
    handOff = std::to_string(20000 + texts_.Below(60000));
    if (char* block = GetEnvironmentStringsA()) {
      for (const char* entry = block; *entry; entry += strlen(entry) + 1) {
        environment.append(entry).push_back('\0');
      }
      FreeEnvironmentStringsA(block);
    }
    environment.append("ORVANE_TEST_HANDOFF_AFTER_MS=" + handOff).push_back('\0');
    ++faults_["early hand-off"];
  }
  plugin_ =
      e2e::ChildProcess::AtPath(PluginPath(), "", options_.runDirectory, handOff.empty() ? nullptr : &environment);
  pluginStarted_ = Clock::now();
  memoryAtStart_.reset();
  killed_ = false;
  log_.Line("plug-in started, pid " + std::to_string(plugin_.Id()) +
            (handOff.empty() ? std::string() : ", hand-off after " + handOff + " ms"));
  standin::WaitForPluginWindow(10000);
}

void Soak::KeepPluginRunning() {
  if (plugin_.Running()) return;
  if (!killed_ && plugin_.ExitCode() != 0) {
    Disagree("the plug-in ended by itself with exit code " + std::to_string(plugin_.ExitCode()));
  }
  log_.Line("plug-in ended, exit code " + std::to_string(plugin_.ExitCode()));
  disturbed_ = true;
  // A plug-in that handed off without the main application's window started its own successor.
  if (const HWND successor = standin::WaitForPluginWindow(killed_ ? 0 : 3000)) {
    plugin_ = e2e::ChildProcess::OfWindow(successor);
    pluginStarted_ = Clock::now();
    memoryAtStart_.reset();
    killed_ = false;
    log_.Line("plug-in's successor runs, pid " + std::to_string(plugin_.Id()));
    return;
  }
  StartPlugin();
}

// Wine answers GetProcessMemoryInfo and GetProcessHandleCount of another process with zeros: the
// handles come from the system's handle list, the memory from the script that runs the soak, which
// reads the plug-in's resident anonymous memory (what is private to it) from Linux.
struct SystemHandle {
  ULONG ownerProcess;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};
struct SystemHandles {
  ULONG count;
  SystemHandle handles[1];
};

std::optional<size_t> HandlesOf(DWORD process) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return std::nullopt;
  constexpr ULONG kSystemHandleInformation = 16;
  std::vector<char> buffer(1 << 20);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) {
      const auto* list = reinterpret_cast<const SystemHandles*>(buffer.data());
      const size_t room = (buffer.size() - offsetof(SystemHandles, handles)) / sizeof(SystemHandle);
      const size_t count = std::min<size_t>(list->count, room);
      return static_cast<size_t>(std::count_if(list->handles, list->handles + count,
                                               [&](const SystemHandle& h) { return h.ownerProcess == process; }));
    }
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
  }
  return std::nullopt;
}

std::optional<size_t> Soak::PrivateKilobytesOfPlugin() {
  const std::string request = options_.runDirectory + "\\sample.request";
  const std::string answer = options_.runDirectory + "\\sample.txt";
  DeleteFileA(answer.c_str());
  std::ofstream(request) << plugin_.Id() << '\n';
  std::optional<size_t> kilobytes;
  e2e::WaitUntil(
      [&] {
        std::ifstream file(answer);
        size_t value = 0;
        if (file >> value) kilobytes = value;
        return kilobytes.has_value();
      },
      5s, 50ms);
  DeleteFileA(request.c_str());
  DeleteFileA(answer.c_str());
  return kilobytes;
}

std::optional<Soak::Figures> Soak::SamplePlugin(const char* when) {
  const std::optional<size_t> handles = HandlesOf(plugin_.Id());
  const std::optional<size_t> kilobytes = PrivateKilobytesOfPlugin();
  if (!handles || !kilobytes) {
    log_.Line("the plug-in's memory and handles could not be read");
    return std::nullopt;
  }
  log_.Line(std::string("plug-in ") + when + ": " + std::to_string(*kilobytes) + " KB private, " +
            std::to_string(*handles) + " handles");
  return Figures{static_cast<long long>(*kilobytes), static_cast<long long>(*handles)};
}

void Soak::SampleSettledPlugin() {
  if (!memoryAtStart_ && Clock::now() - pluginStarted_ > 8s) memoryAtStart_ = SamplePlugin("settled");
}

// --- The model main application ------------------------------------------------------------------------

void Soak::OnRecord(uint32_t kind, std::string bytes) {
  ++operations_["records received"];
  const std::optional<Report> report = ReadReport(kind, bytes);
  log_.Line("record 0x" +
            [&] {
              char hex[16];
              std::snprintf(hex, sizeof hex, "%08X", kind);
              return std::string(hex);
            }() +
            " " + Printable(bytes));
  if (!report) {
    Disagree("a record the main application cannot read: " + Printable(bytes));
    return;
  }
  if (report->news == News::kDeleted && RepeatsADeletion(*report)) return;
  if (report->news == News::kDeleted) {
    lastDeletions_[report->kind] = {report->subject, Clock::now()};
    const auto named = [&](bool exactly) {
      return std::find_if(userDeleted_.begin(), userDeleted_.end(), [&](const UserDeletion& deletion) {
        if (deletion.kind != report->kind) return false;
        for (const std::string* subject : {&deletion.subject, &deletion.toldSubject}) {
          if (exactly ? *subject == report->subject : SameLetters(*subject, report->subject)) return true;
        }
        return false;
      });
    };
    auto any = named(true);
    if (any == userDeleted_.end()) any = named(false);
    if (any == userDeleted_.end()) {
      Disagree(std::string("a deletion of a ") + NameOf(report->kind) + " the user never deleted: \"" +
               report->subject + "\"");
    } else {
      userDeleted_.erase(any);
    }
  }
  const Applied applied = table_.Apply(*report);
  if (applied.invented) {
    Disagree(std::string("a deletion of a ") + NameOf(report->kind) + " the main application does not have: \"" +
             report->subject + "\"");
  }
  if (applied.linkFor) links_.push_back({report->kind, *applied.linkFor});
}

// The plug-in sends a deletion again after a hand-over that gave up after its time-out (the main
// application may not have taken it) when no other item bears the subject, a few times at most:
// the later ones find nothing to delete. Counted, and no disagreement, when each follows the one
// before soon and the table has no item of that subject.
bool Soak::RepeatsADeletion(const Report& report) {
  const auto last = lastDeletions_.find(report.kind);
  if (last == lastDeletions_.end() || last->second.first != report.subject ||
      Clock::now() - last->second.second > 30s || table_.CountWithSubject(report.kind, report.subject) > 0) {
    return false;
  }
  last->second.second = Clock::now();
  ++operations_["deletions repeated after a time-out"];
  log_.Line("a deletion repeated after a time-out, harmless: \"" + report.subject + "\"");
  return true;
}

void Soak::OnShield() {
  ++operations_["hand-offs"];
  log_.Line("Orvane_Shield: the plug-in hands off");
}

void Soak::PumpFor(Milliseconds duration) {
  const auto until = Clock::now() + duration;
  for (;;) {
    MSG message;
    // Bounded by the time as well: a plug-in handing over record after record to a slow model
    // would otherwise keep the run here for as long as it sends, and Outlook unlooked at.
    while (Clock::now() < until && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto left = std::chrono::duration_cast<Milliseconds>(until - Clock::now());
    if (left <= 0ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                              QS_ALLINPUT);
  }
}

// Hands the command to the plug-in and watches Outlook until it shows. A command a fault may have
// lost goes again, as the main application would send it again when it finds it not done.
bool Soak::Perform(Command command) {
  ++operations_["commands"];
  for (int attempt = 0; attempt < 3; ++attempt) {
    KeepPluginRunning();
    const HWND plugin = standin::WaitForPluginWindow(10000);
    if (!plugin || !window_.IsOpen()) return false;
    log_.Line("command " + command.what + ": " + Printable(command.record));
    disturbed_ = false;
    const auto sent = Clock::now();
    // The last look that found the command not yet performed: the model is slow on purpose, so
    // the look that finds it may come late; how long it surely waited is known from the look before.
    auto notYet = sent;
    if (!standin::SendRecord(plugin, window_.Window(), command.kind, command.record) ||
        !standin::PostAction(plugin, command.action)) {
      log_.Line("the plug-in did not take the command");
      disturbed_ = true;
    }
    while (Clock::now() - sent < kCommandGiveUp) {
      PumpFor(200ms);
      KeepPluginRunning();
      if (!OutlookAnswers()) {
        disturbed_ = true;
        continue;
      }
      std::vector<SeenItem> seen;
      const auto looked = Clock::now();
      try {
        seen = ReadFolder(command.folder);
      } catch (const outlook::AutomationError&) {
        disturbed_ = true;
        continue;
      }
      if (!command.performed(seen)) {
        notYet = looked;
        continue;
      }
      const auto took = std::chrono::duration_cast<Milliseconds>(Clock::now() - sent);
      const auto waited = std::chrono::duration_cast<Milliseconds>(notYet - sent);
      log_.Line("performed after " + std::to_string(took.count()) + " ms, not yet after " +
                std::to_string(waited.count()) + " ms");
      if (waited > kCommandBound && !disturbed_) {
        Disagree("command " + command.what + " still not performed after " + std::to_string(waited.count()) + " ms");
      }
      return true;
    }
    if (!disturbed_) break;
    log_.Line("command " + command.what + " not seen after a fault; it goes again");
  }
  Disagree("command " + command.what + " never performed: " + Printable(command.record));
  return false;
}

// A few at a time, so that an import's links leave room for the rest of the run.
void Soak::SendWaitingLinks(size_t most) {
  for (size_t sent = 0; sent < most && !links_.empty() && window_.IsOpen(); ++sent) {
    const auto [kind, linkId] = links_.front();
    links_.pop_front();
    const std::optional<size_t> item = table_.FindByLink(kind, linkId);
    if (!item) continue;
    ++operations_["link records"];
    const std::string subject = table_.Items()[*item].subject;
    // Done once the item carries it, or once Outlook no longer has the item: the user deleted it,
    // and its report is on the way.
    Perform({"link " + std::to_string(linkId), LinkRecordKind(kind), LinkRecord(subject, linkId),
             standin::Action::kSave,
             [linkId = linkId, subject](const std::vector<SeenItem>& seen) {
               return std::any_of(seen.begin(), seen.end(),
                                  [&](const SeenItem& other) { return other.item.linkId == linkId; }) ||
                      std::none_of(seen.begin(), seen.end(),
                                   [&](const SeenItem& other) { return SameLetters(other.item.subject, subject); });
             },
             kind});
  }
}

void Soak::ModelCommand() {
  if (!OutlookAnswers() || !window_.IsOpen()) return;
  const Kind kind = AnyKind();
  const std::vector<SeenItem> seen = ReadFolder(kind);
  const unsigned pick = texts_.Below(100);
  if (pick < 35 || table_.Items().empty()) {
    if (seen.size() >= kFolderCap) return;
    std::wstring wide = texts_.Subject();
    const std::string subject = AsRecordText(outlook::WideToAnsi(wide.data(), wide.size()));
    if (subject.empty() || subject.back() == '*') return;
    const std::string field = kind == Kind::kTask          ? "0.000"
                              : kind == Kind::kAppointment ? AsRecordText(outlook::WideToAnsi(L"Room 1", 6))
                                                           : "";
    const int32_t linkId = table_.AddOwn(kind, subject, field);
    Perform({"save " + std::string(NameOf(kind)) + " " + std::to_string(linkId), WholeRecordKind(kind),
             SaveRecord(kind, subject, field, linkId), standin::Action::kSave,
             [linkId](const std::vector<SeenItem>& items) {
               return std::any_of(items.begin(), items.end(),
                                  [&](const SeenItem& item) { return item.item.linkId == linkId; });
             },
             kind});
    return;
  }
  // The rest name an item of the table whose subject no other item bears, on either side.
  std::vector<size_t> candidates;
  for (size_t i = 0; i < table_.Items().size(); ++i) {
    const ModelItem& item = table_.Items()[i];
    if (item.kind != kind || table_.CountWithSubject(kind, item.subject) != 1) continue;
    const auto inOutlook = std::count_if(
        seen.begin(), seen.end(), [&](const SeenItem& other) { return SameLetters(other.item.subject, item.subject); });
    const bool recurs = std::any_of(seen.begin(), seen.end(), [&](const SeenItem& other) {
      return other.recurring && other.item.linkId == item.linkId;
    });
    if (inOutlook == 1 && !recurs) candidates.push_back(i);
  }
  if (candidates.empty()) return;
  const size_t index = candidates[texts_.Below(candidates.size())];
  ModelItem& item = table_.Items()[index];
  const int32_t linkId = item.linkId;
  if (pick < 55) {
    const std::string subject = item.subject;
    table_.Remove(index);
    Perform({"delete " + std::string(NameOf(kind)) + " " + std::to_string(linkId), WholeRecordKind(kind), subject,
             standin::Action::kDelete,
             [subject](const std::vector<SeenItem>& items) {
               return std::none_of(items.begin(), items.end(),
                                   [&](const SeenItem& other) { return SameLetters(other.item.subject, subject); });
             },
             kind});
    return;
  }
  if (pick < 70 && kind == Kind::kTask) {
    const bool done = item.field != "1.000";
    item.field = done ? "1.000" : "0.000";
    const std::string subject = item.subject;
    const std::string field = item.field;
    Perform({std::string(done ? "done " : "undone ") + std::to_string(linkId), WholeRecordKind(kind),
             DoneRecord(done, subject), standin::Action::kDone,
             [subject, field](const std::vector<SeenItem>& items) {
               return std::any_of(items.begin(), items.end(), [&](const SeenItem& other) {
                 return SameLetters(other.item.subject, subject) && other.item.field == field;
               });
             },
             kind});
    return;
  }
  const std::string lookup = item.subject;
  std::string subject = item.subject;
  if (Chance(50)) {
    const std::wstring wide = texts_.Subject();
    subject = AsRecordText(outlook::WideToAnsi(wide.data(), wide.size()));
    // A renamed item must stay one the records can name alone.
    if (subject.empty() || subject.back() == '*' || table_.CountWithSubject(kind, subject) > 0 ||
        std::any_of(seen.begin(), seen.end(),
                    [&](const SeenItem& other) { return SameLetters(other.item.subject, subject); })) {
      subject = item.subject;
    }
  }
  if (kind == Kind::kTask) item.field = Chance(50) ? "1.000" : "0.000";
  if (kind == Kind::kAppointment) {
    const std::wstring place = texts_.Location();
    item.field = AsRecordText(outlook::WideToAnsi(place.data(), place.size()));
  }
  item.subject = subject;
  const std::string field = item.field;
  Perform({"change " + std::string(NameOf(kind)) + " " + std::to_string(linkId), WholeRecordKind(kind),
           ChangeRecord(kind, lookup, subject, field, linkId), standin::Action::kChange,
           // A change writes no link id on the item it finds: one whose link record has not gone yet
           // shows the change without it.
           [kind, linkId, subject, field](const std::vector<SeenItem>& items) {
             return std::any_of(items.begin(), items.end(), [&](const SeenItem& other) {
               const bool linked = kind == Kind::kNote || other.item.linkId == linkId || other.item.linkId == 0;
               return linked && other.item.subject == subject && other.item.field == field;
             });
           },
           kind});
}

// --- The user -------------------------------------------------------------------------------------------

outlook::LateBound Soak::FolderItems(Kind kind) {
  return application_.CallForObject(L"GetNamespace", Variant::Wide(L"MAPI"))
      .CallForObject(L"GetDefaultFolder", Variant::Int32(FolderOf(kind)))
      .GetObject(L"Items");
}

void Soak::UserAction() {
  if (!OutlookAnswers()) return;
  const Kind kind = AnyKind();
  const unsigned pick = texts_.Below(100);
  try {
    if (pick < 35) {
      UserAdd(kind);
    } else if (pick < 40) {
      UserImport(kind);
    } else if (pick < 60) {
      UserChange(kind, false);
    } else if (pick < 72) {
      UserChange(kind, true);
    } else if (pick < 92) {
      UserDelete(kind);
    } else {
      UserCompleteOccurrence();
    }
  } catch (const outlook::AutomationError& error) {
    log_.Line(std::string("the user's action failed: ") + error.what());
  }
}

void Soak::UserAdd(Kind kind) {
  if (ReadFolder(kind).size() >= kFolderCap) return;
  const outlook::LateBound item = application_.CallForObject(L"CreateItem", Variant::Int32(ItemTypeOf(kind)));
  std::wstring text = kind == Kind::kNote ? texts_.NoteText() : texts_.Subject();
  if (kind == Kind::kNote) {
    item.SetProperty(L"Body", Variant::Wide(text));
  } else {
    item.SetProperty(L"Subject", Variant::Wide(text));
  }
  if (kind == Kind::kAppointment && Chance(50)) item.SetProperty(L"Location", Variant::Wide(texts_.Location()));
  const bool recurring = kind == Kind::kTask && Chance(25);
  if (recurring) {
    const outlook::LateBound pattern = item.CallForObject(L"GetRecurrencePattern");
    pattern.SetProperty(L"RecurrenceType", Variant::Int32(1));
    pattern.SetProperty(L"DayOfWeekMask", Variant::Int32(2));
  }
  item.CallMethod(L"Save");
  ++operations_["user adds"];
  log_.Line(std::string("user adds a ") + (recurring ? "recurring " : "") + NameOf(kind));
}

void Soak::UserImport(Kind kind) {
  if (ReadFolder(kind).size() >= kFolderCap) return;
  const int count = 5 + static_cast<int>(texts_.Below(30));
  const std::wstring prefix = L"Import " + std::to_wstring(texts_.Below(1000)) + L" ";
  Control(L"AddItems", Variant::Int32(FolderOf(kind)), Variant::Int32(count), Variant::Wide(prefix));
  ++operations_["user imports"];
  log_.Line("user imports " + std::to_string(count) + " " + NameOf(kind) + "s");
}

// An item the records can name alone (its subject no other item of the folder bears); a renamed
// one must also carry the main application's link id, which is what a changed record finds it by.
std::optional<int> Soak::PickUnambiguous(Kind kind, const std::vector<SeenItem>& seen, bool needsLink) {
  std::vector<int> candidates;
  for (size_t i = 0; i < seen.size(); ++i) {
    const Comparable& item = seen[i].item;
    if (needsLink && item.linkId == 0) continue;
    const auto bearing = std::count_if(
        seen.begin(), seen.end(), [&](const SeenItem& other) { return SameLetters(other.item.subject, item.subject); });
    if (bearing == 1 && table_.CountWithSubject(kind, item.subject) <= 1) candidates.push_back(static_cast<int>(i));
  }
  if (candidates.empty()) return std::nullopt;
  return candidates[texts_.Below(candidates.size())];
}

// The object model's item bearing the subject (its Items may be in another order than the controls').
outlook::LateBound FindBySubject(const outlook::LateBound& items, std::string_view subject) {
  const int count = items.GetProperty(L"Count").ToInt32();
  for (int index = 1; index <= count; ++index) {
    outlook::LateBound item = items.CallForObject(L"Item", Variant::Int32(index));
    if (SameLetters(AsRecordText(item.GetProperty(L"Subject").ToAnsi()), subject)) return item;
  }
  return {};
}

void Soak::UserChange(Kind kind, bool rename) {
  const std::vector<SeenItem> seen = ReadFolder(kind);
  const std::optional<int> pick = PickUnambiguous(kind, seen, rename || kind == Kind::kNote);
  if (!pick) return;
  const outlook::LateBound item = FindBySubject(FolderItems(kind), seen[static_cast<size_t>(*pick)].item.subject);
  if (item.IsEmpty()) return;
  if (kind == Kind::kNote) {
    // A note's subject is its first line: a new text renames it.
    item.SetProperty(L"Body", Variant::Wide(rename ? texts_.NoteText() : texts_.Subject()));
  } else if (rename) {
    item.SetProperty(L"Subject", Variant::Wide(texts_.Subject()));
  } else if (kind == Kind::kTask) {
    item.SetProperty(L"PercentComplete", Variant::Int32(Chance(50) ? 100 : 0));
  } else {
    item.SetProperty(L"Location", Variant::Wide(texts_.Location()));
  }
  item.CallMethod(L"Save");
  ++operations_[rename ? "user renames" : "user changes"];
  log_.Line(std::string("user ") + (rename ? "renames" : "changes") + " " + NameOf(kind) + " \"" +
            Printable(seen[static_cast<size_t>(*pick)].item.subject) + "\"");
}

void Soak::UserDelete(Kind kind) {
  const std::vector<SeenItem> seen = ReadFolder(kind);
  const std::optional<int> pick = PickUnambiguous(kind, seen, false);
  if (!pick) return;
  const Comparable& picked = seen[static_cast<size_t>(*pick)].item;
  const std::string& subject = picked.subject;
  const outlook::LateBound item = FindBySubject(FolderItems(kind), subject);
  if (item.IsEmpty()) return;
  item.CallMethod(L"Delete");
  // Reported only if the main application was told of the item: known to the table or on its way.
  const std::optional<size_t> told = picked.linkId ? table_.FindByLink(kind, picked.linkId) : std::nullopt;
  userDeleted_.push_back({kind, subject, told ? table_.Items()[*told].subject : subject});
  ++operations_["user deletes"];
  log_.Line(std::string("user deletes ") + NameOf(kind) + " \"" + Printable(subject) + "\"");
}

void Soak::UserCompleteOccurrence() {
  const std::vector<SeenItem> seen = ReadFolder(Kind::kTask);
  std::vector<std::string> series;
  for (const SeenItem& item : seen) {
    if (item.recurring && item.item.linkId != 0) series.push_back(item.item.subject);
  }
  if (series.empty()) return;
  const std::string subject = series[texts_.Below(series.size())];
  const outlook::LateBound item = FindBySubject(FolderItems(Kind::kTask), subject);
  if (item.IsEmpty()) return;
  item.CallMethod(L"MarkComplete");
  ++operations_["user completes an occurrence"];
  log_.Line("user completes an occurrence of \"" + Printable(subject) + "\"");
}

// --- Faults ---------------------------------------------------------------------------------------------

void Soak::Fault() {
  const unsigned pick = texts_.Below(11);
  disturbed_ = true;
  switch (pick) {
    case 0: {
      // kill -9 by the script that runs the soak, which watches for the request.
      const std::string request = options_.runDirectory + "\\" + kKillRequest;
      std::ofstream(request) << plugin_.Id() << '\n';
      killed_ = true;
      if (plugin_.WaitForExit(10s)) {
        ++faults_["kill -9"];
      } else {
        DeleteFileA(request.c_str());
        plugin_.Terminate();
        ++faults_["kill -9 (no watcher: TerminateProcess)"];
      }
      log_.Line("fault: the plug-in killed");
      break;
    }
    case 1: {
      killed_ = true;
      RunSystemProgram("taskkill.exe /F /PID " + std::to_string(plugin_.Id()));
      if (!plugin_.WaitForExit(10s)) plugin_.Terminate();
      ++faults_["taskkill /F"];
      log_.Line("fault: taskkill /F");
      break;
    }
    case 2: {
      if (!control_) return;
      log_.Line("fault: Outlook quits");
      try {
        Control(L"Quit");
      } catch (const outlook::AutomationError&) {
      }
      DropOutlook();
      e2e::WaitForNoProcess(kStandinProgram, 10s);
      PumpFor(Milliseconds(500 + texts_.Below(4000)));
      OpenOutlook();
      ++faults_["Outlook restarted"];
      log_.Line("Outlook is back");
      break;
    }
    case 3: {
      if (!OutlookAnswers()) return;
      const int ms = 1000 + static_cast<int>(texts_.Below(6000));
      Control(L"Busy", Variant::Int32(ms));
      busyUntil_ = Clock::now() + Milliseconds(ms + 200);
      ++faults_["Outlook busy"];
      log_.Line("fault: Outlook busy for " + std::to_string(ms) + " ms");
      break;
    }
    case 4: {
      if (!OutlookAnswers()) return;
      Control(L"EventDelay", Variant::Int32(static_cast<int>(texts_.Below(1500))));
      Control(L"LateChange", Variant::Int32(200 + static_cast<int>(texts_.Below(2000))),
              Variant::Int32(1 + static_cast<int>(texts_.Below(3))), Variant::Int32(static_cast<int>(texts_.Below(2))));
      lateEventsUntil_ = Clock::now() + Milliseconds(10000 + texts_.Below(30000));
      ++faults_["late events"];
      log_.Line("fault: late and repeated events");
      break;
    }
    case 5: {
      if (!OutlookAnswers()) return;
      if (Chance(50)) {
        Control(L"RowCountFails", Variant::Int32(1));
        Control(L"TableRowCountSlack", Variant::Int32(static_cast<int>(texts_.Below(5))));
        rowCountFailsUntil_ = Clock::now() + Milliseconds(10000 + texts_.Below(30000));
        log_.Line("fault: the tables' row counts fail");
      } else {
        const Kind kind = AnyKind();
        Control(L"ReadEmpty", Variant::Int32(FolderOf(kind)), Variant::Int32(1 + static_cast<int>(texts_.Below(4))));
        log_.Line(std::string("fault: the ") + NameOf(kind) + " folder reads empty");
      }
      ++faults_["tables"];
      break;
    }
    case 6: {
      if (!OutlookAnswers()) return;
      Control(L"Guard", Variant::Wide(L"deny"));
      guardUntil_ = Clock::now() + Milliseconds(5000 + texts_.Below(20000));
      ++faults_["guard denies"];
      log_.Line("fault: the object model guard denies");
      break;
    }
    case 7: {
      window_.Close();
      windowClosedUntil_ = Clock::now() + Milliseconds(3000 + texts_.Below(15000));
      ++faults_["main application closed"];
      log_.Line("fault: the main application closed");
      break;
    }
    case 8: {
      window_.AnswerSlowly(1000 + texts_.Below(6000));
      slowUntil_ = Clock::now() + Milliseconds(10000 + texts_.Below(20000));
      ++faults_["main application slow"];
      log_.Line("fault: the main application answers slowly");
      break;
    }
    case 9: {
      // Hung: the model takes no message for a while.
      const DWORD ms = 2000 + texts_.Below(7000);
      log_.Line("fault: the main application stops pumping for " + std::to_string(ms) + " ms");
      ++faults_["main application not pumping"];
      Sleep(ms);
      break;
    }
    default: {
      // The plug-in's restart: a new one, with a hand-off sooner than 15 minutes when chosen.
      killed_ = true;
      plugin_.Terminate();
      ++faults_["plug-in restarted"];
      log_.Line("fault: the plug-in ended and started again");
      StartPlugin();
      break;
    }
  }
}

void Soak::EndFaultsDue() {
  const auto now = Clock::now();
  if (guardUntil_ != Clock::time_point() && now >= guardUntil_ && OutlookAnswers()) {
    Control(L"Guard", Variant::Wide(L"off"));
    guardUntil_ = {};
  }
  if (lateEventsUntil_ != Clock::time_point() && now >= lateEventsUntil_ && OutlookAnswers()) {
    Control(L"EventDelay", Variant::Int32(0));
    Control(L"LateChange", Variant::Int32(-1));
    lateEventsUntil_ = {};
  }
  if (rowCountFailsUntil_ != Clock::time_point() && now >= rowCountFailsUntil_ && OutlookAnswers()) {
    Control(L"RowCountFails", Variant::Int32(0));
    Control(L"TableRowCountSlack", Variant::Int32(0));
    rowCountFailsUntil_ = {};
  }
  if (windowClosedUntil_ != Clock::time_point() && now >= windowClosedUntil_) {
    window_.Open();
    windowClosedUntil_ = {};
    log_.Line("the main application is back");
  }
  if (slowUntil_ != Clock::time_point() && now >= slowUntil_) {
    window_.AnswerSlowly(0);
    slowUntil_ = {};
  }
}

void Soak::EndEveryFault() {
  while (Clock::now() < busyUntil_) PumpFor(100ms);
  ReopenOutlookWhenEnded();
  if (!control_) OpenOutlook();
  const auto now = Clock::now();
  for (Clock::time_point* until :
       {&guardUntil_, &lateEventsUntil_, &rowCountFailsUntil_, &windowClosedUntil_, &slowUntil_}) {
    if (*until != Clock::time_point()) *until = now;
  }
  EndFaultsDue();
  for (const Kind kind : {Kind::kTask, Kind::kAppointment, Kind::kNote}) {
    Control(L"ReadEmpty", Variant::Int32(FolderOf(kind)), Variant::Int32(0));
  }
}

// --- The end --------------------------------------------------------------------------------------------

// The plug-in first, so that it does not start Outlook again; then Outlook, as a user closes it.
void Soak::EndTheSides() {
  e2e::EndStrayPlugins();
  plugin_.Terminate();
  if (control_) {
    try {
      Control(L"Quit");
    } catch (const outlook::AutomationError&) {
      // The server may end before it answers.
    }
  }
  DropOutlook();
  if (!e2e::WaitForNoProcess(kStandinProgram, 15s)) log_.Line("the stand-in Outlook did not end");
}

void Soak::Disagree(const std::string& text) {
  log_.Line("DISAGREEMENT: " + text);
  disagreements_.push_back(text);
}

// Agreement once the plug-in has had its time: the links answered, no event waiting, and the two
// sides alike at three checks in a row.
bool Soak::Settle() {
  const auto until = Clock::now() + kSettleBound;
  int alike = 0;
  Disagreement last;
  while (Clock::now() < until) {
    KeepPluginRunning();
    SampleSettledPlugin();
    SendWaitingLinks();
    PumpFor(2s);
    try {
      std::vector<Comparable> outlook;
      for (const Kind kind : {Kind::kTask, Kind::kAppointment, Kind::kNote}) {
        for (const SeenItem& item : ReadFolder(kind)) outlook.push_back(item.item);
      }
      last = Compare(table_.Items(), outlook);
      alike = (!last.Any() && links_.empty() && Control(L"PendingEvents").ToInt32() == 0) ? alike + 1 : 0;
    } catch (const outlook::AutomationError& error) {
      log_.Line(std::string("the check could not read Outlook: ") + error.what());
      alike = 0;
    }
    if (alike == 3) {
      log_.Line("the sides agree");
      return true;
    }
  }
  for (const Comparable& item : last.onlyInModel) Disagree("only the main application has " + Describe(item));
  for (const Comparable& item : last.onlyInOutlook) Disagree("only Outlook has " + Describe(item));
  for (const int32_t link : last.linkIdsTwiceInOutlook) Disagree("two items carry link id " + std::to_string(link));
  if (disagreements_.empty()) Disagree("the sides did not settle");
  return false;
}

// --- Leaks -------------------------------------------------------------------------------------------------

// One round of the same work: the user adds a task, the model learns of it and links it, the user
// deletes it and the model learns of that. False when a step does not come within its time.
bool Soak::ProbeRound(int round) {
  const std::wstring wide = L"Leak probe " + std::to_wstring(round);
  const std::string subject = AsRecordText(outlook::WideToAnsi(wide.data(), wide.size()));
  const outlook::LateBound item = application_.CallForObject(L"CreateItem", Variant::Int32(ItemTypeOf(Kind::kTask)));
  item.SetProperty(L"Subject", Variant::Wide(wide));
  item.CallMethod(L"Save");
  const auto known = [&](size_t count) {
    return e2e::WaitUntil(
        [&] {
          PumpFor(100ms);
          return table_.CountWithSubject(Kind::kTask, subject) == count;
        },
        20s);
  };
  if (!known(1)) return false;
  SendWaitingLinks();
  const outlook::LateBound added = FindBySubject(FolderItems(Kind::kTask), subject);
  if (added.IsEmpty()) return false;
  added.CallMethod(L"Delete");
  userDeleted_.push_back({Kind::kTask, subject, subject});
  ++operations_["leak probe rounds"];
  return known(0);
}

// With the faults over and the sides alike, a plug-in of its own (no early hand-off: one life does
// every round) does the same work round after round. What it holds after the rounds must be close
// to what it held after the first few: a leak of a handle or an Outlook object per record, or of
// memory per item, shows as growth here.
void Soak::ProbeForLeaks() {
  constexpr int kWarmUpRounds = 3;
  constexpr long long kHandleMargin = 10;
  // The heap grows in steps: two short runs of one code grew 1000 KB and 44 KB over 10 rounds.
  constexpr long long kKilobyteMargin = 3072;
  killed_ = true;
  plugin_.Terminate();
  StartPlugin(false);
  if (!WaitForSinks()) {
    Disagree("the leak probe's plug-in did not start listening to Outlook");
    return;
  }
  const DWORD probed = plugin_.Id();
  std::optional<Figures> before;
  for (int round = 1; round <= kWarmUpRounds + ProbeRounds(); ++round) {
    if (!ProbeRound(round)) {
      Disagree("leak probe: round " + std::to_string(round) + " did not come through");
      return;
    }
    if (round == kWarmUpRounds) before = SamplePlugin("before the leak probe");
  }
  PumpFor(2s);
  const std::optional<Figures> after = SamplePlugin("after the leak probe");
  if (plugin_.Id() != probed || !plugin_.Running()) {
    Disagree("the leak probe's plug-in did not live through it");
    return;
  }
  if (!before || !after) return;
  drift_ = Figures{after->kilobytes - before->kilobytes, after->handles - before->handles};
  if (drift_->handles > kHandleMargin || drift_->kilobytes > kKilobyteMargin) {
    Disagree("the plug-in grew over the leak probe: " + std::to_string(drift_->kilobytes) + " KB private, " +
             std::to_string(drift_->handles) + " handles");
  }
}

void Soak::ReportFailure() {
  std::printf("soak: FAILED, seed %u; the run's folder is %s\n", options_.seed, options_.runDirectory.c_str());
  std::printf("first disagreement: %s\n", disagreements_.front().c_str());
  std::printf("--- the run's last lines ---\n");
  for (const std::string& line : log_.Recent()) std::printf("%s\n", line.c_str());
  const std::string pluginLog = testfiles::PerUserLog();
  std::printf("--- the plug-in's log, its end ---\n%s\n",
              pluginLog.substr(pluginLog.size() > 6000 ? pluginLog.size() - 6000 : 0).c_str());
}

int Soak::Run() {
  if (!Start()) return 2;
  std::string flavour;
  for (const std::string& name : flavourNames_) flavour += " " + name;
  log_.Line("seed " + std::to_string(options_.seed) + ", Outlook:" + flavour);
  const auto end = Clock::now() + std::chrono::seconds(options_.seconds);
  while (Clock::now() < end) {
    try {
      KeepPluginRunning();
      SampleSettledPlugin();
      EndFaultsDue();
      SendWaitingLinks(3);
      const unsigned pick = texts_.Below(100);
      if (pick < 50) {
        UserAction();
      } else if (pick < 70) {
        ModelCommand();
      } else if (pick < 80) {
        Fault();
      }
      PumpFor(Milliseconds(texts_.Below(400)));
    } catch (const outlook::AutomationError& error) {
      log_.Line(std::string("a call to Outlook failed: ") + error.what());
      disturbed_ = true;
      ReopenOutlookWhenEnded();
      PumpFor(500ms);
    }
  }
  log_.Line("the actions stop; the faults end; the sides settle");
  EndEveryFault();
  bool agreed = Settle();
  // Measured also when the sides disagree: the probe's own items tell whether it came through.
  ProbeForLeaks();
  if (agreed) agreed = Settle();
  SamplePlugin("at the end");
  if (!plugin_.Running()) Disagree("no plug-in runs at the end");
  testfiles::CopyPerUserFiles(options_.runDirectory);
  const std::string drift = drift_ ? std::to_string(drift_->kilobytes) + " KB private, " +
                                         std::to_string(drift_->handles) + " handles over " +
                                         std::to_string(ProbeRounds()) + " rounds"
                                   : std::string("n/a");
  if (!agreed || !disagreements_.empty()) ReportFailure();
  EndTheSides();
  long total = 0;
  for (const auto& [name, count] : operations_) total += count;
  std::printf("soak: seed %u, %d s: operations %ld (%s); faults: %s; disagreements %zu; drift %s\n", options_.seed,
              options_.seconds, total, Listed(operations_).c_str(), Listed(faults_).c_str(), disagreements_.size(),
              drift.c_str());
  return disagreements_.empty() ? 0 : 1;
}

}  // namespace

int RunSoak(const SoakOptions& options) {
  const Apartment apartment(Apartment::Kind::Ole);
  std::error_code ignored;
  std::filesystem::create_directories(options.runDirectory, ignored);
  Soak soak(options);
  const int result = soak.Run();
  // The next runs and tests find the stand-in as the prefix registers it.
  e2e::ChildProcess registration(kStandinProgram, "/RegServer", options.runDirectory);
  registration.WaitForExit(30s);
  e2e::EndStrayPlugins();
  return result;
}

}  // namespace orvane::soak
