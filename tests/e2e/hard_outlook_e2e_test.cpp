// The plug-in against the stand-in Outlook out of process at its hardest, every harder control
// chosen over COM at once: an import and deletions Outlook does not announce still reach the main
// application, each once.
#include "base/com_scope.h"
#include "tests/e2e/harness.h"

#include "mainapp/kinds.h"
#include "testbed/orvane/readable_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr int kNotesFolder = 12;
constexpr int kTasksFolder = 13;
constexpr int kImported = 150;

class HardOutlookE2eTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    workDirectory_ = FreshWorkDirectory();
    EXPECT_TRUE(earlierStandinGone_);
    ASSERT_TRUE(control_.Available()) << "the stand-in Outlook is not registered";
    control_.ResetWithLateEvents();
  }
  void TearDown() override {
    if (control_.Available()) control_.Call(L"Reset");
    EndStrayPlugins();
  }

  bool WaitForSinks(int count) const {
    return WaitUntil(
        [&] { return control_.Call(L"SinkCount", outlook::Variant::Int32(kNotesFolder)).ToInt32() == count; }, 10s);
  }
  std::string MainLog() const { return ReadFileText(workDirectory_ + "\\OrvaneMain.log"); }

  std::string workDirectory_;
  Apartment apartment_;
  // The stand-in of an earlier test must be gone before this test reaches for one.
  const bool earlierStandinGone_ = WaitForNoProcess("OutlookStandin.exe", 15s);
  StandinControl control_;
};

TEST_F(HardOutlookE2eTest, UnderEveryHarderControlAnImportAndSilentDeletionsArriveOnceEach) {
  control_.Call(L"CopyKeepsRecurrence", outlook::Variant::Bool(true));
  control_.Call(L"TableTextBytes", outlook::Variant::Int32(255));
  control_.Call(L"RowCountFails", outlook::Variant::Bool(true));
  control_.Call(L"ItemsOrder", outlook::Variant::Text("reverse"));
  control_.Call(L"OpenItemLimit", outlook::Variant::Int32(100));
  control_.Call(L"Guard", outlook::Variant::Text("deny"));
  control_.Call(L"NoRemoveForLastItem", outlook::Variant::Bool(true));
  control_.Call(L"EventsAfterUnadvise", outlook::Variant::Bool(true));
  control_.Call(L"BulkAdd", outlook::Variant::Int32(16));
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
  control_.Call(L"ShowMainWindow");
  ChildProcess mainApp("Orvane.exe", "/log \"" + workDirectory_ + "\\OrvaneMain.log\"", workDirectory_);
  ASSERT_NE(WaitForWindow("Orvane Main", nullptr, 10s), nullptr);
  ChildProcess plugin = StartPlugin(workDirectory_);
  const HWND frame = WaitForWindow(kFrameClass, "Untitled - stub", 10s);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WaitForSinks(1));

  // The user's tasks, announced: the sinks report them once they listen, after the folders were
  // first read, so that what joins the folders from now on is news.
  const auto frameId = reinterpret_cast<std::uintptr_t>(frame);
  for (const char* subject : {"First", "Second"}) {
    ChildProcess client("OutlookClient.exe", std::string("add tasks ") + subject, workDirectory_);
    ASSERT_TRUE(client.WaitForExit(15s) && client.ExitCode() == 0);
  }
  EXPECT_TRUE(WaitUntil([&] { return MainLog().find("data=Second\\t") != std::string::npos; }, 15s)) << MainLog();

  // An import raises no ItemAdd: the watchdog's look at the counts finds it within seconds.
  control_.Call(L"AddItems", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(kImported),
                outlook::Variant::Text("Imported "));
  const auto everyImportArrived = [&] {
    const std::string log = MainLog();
    for (int i = 1; i <= kImported; ++i) {
      if (log.find(standin::ReadableBytes("Imported " + std::to_string(i) + "\t")) == std::string::npos) return false;
    }
    return true;
  };
  EXPECT_TRUE(WaitUntil(everyImportArrived, 60s)) << MainLog();
  // Two deleted at once without ItemRemove.
  control_.Call(L"DeleteWithoutEvents", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(12),
                outlook::Variant::Int32(2));
  const std::string deleted = standin::CopyDataLine(mainapp::kDeletedTask, frameId, "Imported 10") + "\r\n" +
                              standin::CopyDataLine(mainapp::kDeletedTask, frameId, "Imported 11") + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return MainLog().find(deleted) != std::string::npos; }, 90s)) << MainLog();
  const std::string log = MainLog();
  for (const std::string& once : {standin::ReadableBytes("Imported 1\t"), standin::ReadableBytes("Imported 150\t"),
                                  std::string("Imported 10\r\n")}) {
    const size_t first = log.find(once);
    EXPECT_TRUE(first != std::string::npos && log.find(once, first + 1) == std::string::npos) << once;
  }
  EXPECT_EQ(control_.Call(L"GuardPrompts").ToInt32(), 0) << "no guarded call in steady work";
  EXPECT_EQ(ReadFileText(workDirectory_ + "\\OrvaneErrorLog.txt").find("limited the number of items"),
            std::string::npos);

  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(plugin.WaitForExit(10s));
  EXPECT_TRUE(WaitForSinks(0)) << "an advise was left behind";
  EXPECT_EQ(control_.Call(L"OpenItems").ToInt32(), 0) << "an item the plug-in took was never let go";
  control_.Call(L"CloseMainWindow");
}

}  // namespace

}  // namespace orvane
