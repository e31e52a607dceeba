// The record in hand at a session's end, as its file keeps it and as the next process reads it.
#include "app/held_record.h"

#include "mainapp/kinds.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

using app::Action;
using app::HeldRecord;

TEST(HeldRecord, EveryActionAndKindComesBackAsItWasKept) {
  const HeldRecord records[] = {
      {mainapp::kTask, Action::Save, "Pay invoice\tblank\t12/5/2026"},
      {mainapp::kAppointment, Action::Change, "Meeting\t\xE9\x80\tnorecurring"},
      {mainapp::kNote, Action::Delete, "a note\nof two lines"},
      {mainapp::kTaskLink, Action::Done, ""},
  };
  for (const HeldRecord& record : records) {
    SCOPED_TRACE(record.text);
    const auto read = app::ParseHeldRecord(app::FormatHeldRecord(record));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->kind, record.kind);
    EXPECT_EQ(read->action, record.action);
    EXPECT_EQ(read->text, record.text);
  }
}

TEST(HeldRecord, AFileThatIsNoRecordOfOursIsRefused) {
  const std::string good = app::FormatHeldRecord({mainapp::kTask, Action::Save, "Report"});
  const std::string cases[] = {
      "",
      good.substr(0, 20),                                                  // cut in its first line
      "OrvaneOutlook held record\nkind=0x2BB7B2A6\n",                      // no action line
      "OrvaneOutlook held record\nkind=0x2BB7B2A6\naction=Save",           // action line cut
      "OrvaneOutlook held record\nkind=0x12345678\naction=Save\nReport",   // a kind not accepted
      "OrvaneOutlook held record\nkind=0x2bb7b2a6\naction=Save\nReport",   // not the form written
      "OrvaneOutlook held record\nkind=0x2BB7B2A6\naction=None\nReport",   // no action
      "OrvaneOutlook held record\nkind=0x2BB7B2A6\naction=Paint\nReport",  // no such action
      "Another program\nkind=0x2BB7B2A6\naction=Save\nReport",             // another first line
      "OrvaneOutlook held record\nkind=0x2BB7B2A6\naction=Save\nRe" + std::string(1, '\0') + "port",
  };
  for (const std::string& file : cases) {
    SCOPED_TRACE(file);
    EXPECT_FALSE(app::ParseHeldRecord(file).has_value());
  }
}

TEST(HeldRecord, ARecordMustFitTheRecordBufferWithItsTerminator) {
  const std::string largest(app::kRecordBufferSize - 1, 'x');
  EXPECT_TRUE(app::ParseHeldRecord(app::FormatHeldRecord({mainapp::kNote, Action::Save, largest})).has_value());
  EXPECT_FALSE(app::ParseHeldRecord(app::FormatHeldRecord({mainapp::kNote, Action::Save, largest + "x"})).has_value());
}

}  // namespace

}  // namespace orvane
