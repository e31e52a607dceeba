#include "tests/unit/writer_test_support.h"

#include "base/error_log.h"
#include "base/callback_guard.h"
#include "inbound/item_lookup.h"
#include "outlook/com_types.h"
#include "outlook/outlook_session.h"
#include "tests/common/plugin_files.h"

#include <fstream>

namespace orvane {

namespace writertest {
namespace {

constexpr char kLogFile[] = "OrvaneErrorLog.txt";
// What a frame leaves in its directory: the log (its kept pictures are in the per-user folder).
constexpr const char* kPlugInFiles[] = {kLogFile, "OrvanePictures.dat", "OrvanePictures.journal", "OrvanePictures.tmp"};
// " mm/dd/yy hh:mm:ss " comes before the text of every line.
constexpr size_t kTimeStampLength = 19;

std::string CurrentDirectory() {
  char path[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
  return std::string(path, length < MAX_PATH ? length : 0);
}

// A new empty directory under the temporary path, unique to this test run.
std::string MakeWorkDirectory() {
  char base[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, base);
  for (unsigned attempt = 0;; ++attempt) {
    const std::string path = std::string(base) + "writer_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(GetTickCount()) + "_" + std::to_string(attempt);
    if (CreateDirectoryA(path.c_str(), nullptr)) return path;
  }
}

}  // namespace

std::string Ansi(const std::wstring& text) { return outlook::WideToAnsi(text.data(), text.size()); }

void WriterTest::SetUp() {
  ASSERT_EQ(server_.Result(), S_OK);
  SetFailureReporter(&LogCaughtFailure);  // as the plug-in reports what its callbacks catch
  os::ResetStore();
  previousDirectory_ = CurrentDirectory();
  workDirectory_ = MakeWorkDirectory();
  ASSERT_TRUE(SetCurrentDirectoryA(workDirectory_.c_str()));
  testfiles::RemovePerUserFiles();
  session_.Open();
  os::ResetCallCounts();
}

outlook::DispatchDriver WriterTest::UserItem(os::ItemKind kind, const items::ItemKind& place, const char* subject,
                                             const os::PropertyList& properties, const os::PropertyList* pattern) {
  AddItem(kind, subject, properties);
  const outlook::DispatchDriver item = inbound::FindItemBySubject(session_, place, subject);
  if (pattern) {
    const outlook::DispatchDriver opened = item.InvokeForObject(outlook::kGetRecurrencePattern);
    for (const auto& [id, value] : *pattern) {
      outlook::Variant put;
      value.ToVariant(put.Receive());
      opened.SetProperty(id, put);
    }
    item.InvokeMethod(outlook::kSave);
  }
  os::ResetCallCounts();
  return item;
}

void WriterTest::TearDown() {
  SetFailureReporter(nullptr);
  session_.Release();
  os::ResetStore();
  SetCurrentDirectoryA(previousDirectory_.c_str());
  for (const char* name : kPlugInFiles) DeleteFileA((workDirectory_ + "\\" + name).c_str());
  testfiles::RemovePerUserFiles();
  RemoveDirectoryA(workDirectory_.c_str());
}

std::vector<std::string> WriterTest::LogTexts() const {
  std::vector<std::string> texts;
  std::ifstream log(kLogFile);
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    texts.push_back(line.size() > kTimeStampLength ? line.substr(kTimeStampLength) : std::string());
  }
  return texts;
}

os::ItemData WriterTest::OnlyItem(int32_t folder) {
  const std::vector<os::ItemData> items = Items(folder);
  EXPECT_EQ(items.size(), 1u) << "folder " << folder;
  return items.empty() ? os::ItemData(os::ItemKind::Task) : items[0];
}

void WriterTest::StartOver() {
  os::ResetStore();
  for (const char* name : kPlugInFiles) DeleteFileA(name);
  testfiles::RemovePerUserFiles();
}

void WriterTest::AddItem(os::ItemKind kind, const std::string& subject, const os::PropertyList& more) {
  os::PropertyList properties;
  // A note's subject is the first line of its body.
  const outlook::DispId subjectMember = kind == os::ItemKind::Note ? outlook::kBody : outlook::kSubject;
  properties.emplace_back(subjectMember, os::Value::Text(outlook::AnsiToWide(subject)));
  properties.insert(properties.end(), more.begin(), more.end());
  os::AddItem(kind, properties);
  // Outlook raises ItemAdd once the call has returned and the thread handles its messages.
  EXPECT_TRUE(os::RaisePostedEvents());
}

}  // namespace writertest

}  // namespace orvane
