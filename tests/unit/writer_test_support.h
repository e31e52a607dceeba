// What the writer tests share: a fixture that serves the stand-in Outlook in-process with an
// open session and a fresh current directory for the log, records built from field lists, and
// readers of the log and of the stand-in's store.
#pragma once

#include "inbound/item_lookup.h"
#include "inbound/writers.h"
#include "items/item_kinds.h"
#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"
#include "outlook/own_deletions.h"
#include "outlook/own_writes.h"
#include "testbed/outlook/standin_control.h"
#include "tests/common/record_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace writertest {

namespace os = outlook_standin;

using testcommon::Date;
using testcommon::Show;

std::string Ansi(const std::wstring& text);

// Outlook that cannot be created is tried again at once, and its ending is only noted: the work
// that wanted Outlook stops.
struct TestSessionCreation final : outlook::SessionCreation {
  void BeforeSecondTry() noexcept override {}
  void CannotCreate(HRESULT result) noexcept override { failure = result; }
  HRESULT failure = S_OK;
};

class WriterTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The texts of the lines logged so far, without their time stamps.
  std::vector<std::string> LogTexts() const;
  // An empty store and an empty log, for the next row of a table.
  static void StartOver();

  // Saved items of a folder, in Items order.
  static std::vector<os::ItemData> Items(int32_t folder) { return os::FolderItems(folder); }
  // The one saved item of a folder.
  static os::ItemData OnlyItem(int32_t folder);
  static std::string TextOf(const os::ItemData& item, outlook::DispId id) { return Ansi(item.Get(id).AsText()); }
  // Outlook is busy for the next `times` CreateItem calls.
  static void FailCreateItem(int times = 1) {
    os::FailCall(os::ObjectKind::Application, outlook::kCreateItem, os::CallKind::Method, L"The server is busy", times);
  }
  // The item as the user saved it, with a pattern of the given puts when given any; the call
  // counts start afresh.
  outlook::DispatchDriver UserItem(os::ItemKind kind, const items::ItemKind& place, const char* subject,
                                   const os::PropertyList& properties, const os::PropertyList* pattern = nullptr);
  // Adds an item as the user would, without counting calls.
  static void AddItem(os::ItemKind kind, const std::string& subject, const os::PropertyList& more = {});

  // Calls through a put to a member of tasks, or of recurrence patterns.
  static long TaskPuts(outlook::DispId id) { return os::CallCount(os::ObjectKind::TaskItem, id, os::CallKind::Put); }
  static long PatternPuts(outlook::DispId id) {
    return os::CallCount(os::ObjectKind::RecurrencePattern, id, os::CallKind::Put);
  }

  // What the writers tell of their own work, as the frame hands it on.
  struct OwnWork final : outlook::OwnWrites, outlook::OwnDeletions {
    void NoteOwnWrite(const outlook::DispatchDriver&, uint32_t, Save) override { ++writes; }
    void NoteOwnDeletion(uint32_t, std::string_view) override { ++deletions; }
    bool UserChangeUntold(uint32_t, std::string_view, std::string_view) override { return false; }
    int writes = 0;
    int deletions = 0;
  } own_;
  TestSessionCreation creation_;
  // Open from the start to the end of each test, as the frame holds it for a writer.
  outlook::OutlookSession session_{creation_};
  inbound::SubjectLookup lookup_{session_};
  const inbound::WriterContext context_{session_, own_, own_, lookup_};

private:
  os::InProcessServer server_;
  std::string previousDirectory_;
  std::string workDirectory_;
};

}  // namespace writertest

}  // namespace orvane
