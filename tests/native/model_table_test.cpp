// The randomized run's model main application reads what the plug-in writes: its table is only as
// good as that reading, so it is checked against the plug-in's own record forms.
#include "outbound/record_forms.h"
#include "mainapp/kinds.h"
#include "testbed/orvane/model_table.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

using soak::Kind;
using soak::News;

TEST(ModelTable, ReadsEveryRecordThePlugInWrites) {
  outbound::OutboundTask task;
  task.subject = "a*b \xE9t\xE9";
  task.percentComplete = 100;
  outbound::OutboundAppointment appointment;
  appointment.subject = "Dentist";
  appointment.location = "Room 1";
  appointment.recurrence = outbound::OutboundRecurrence{};
  outbound::OutboundNote note;
  note.subject = "Buy * milk";
  const struct {
    uint32_t kind;
    std::string record;
    News news;
    Kind itemKind;
    std::string subject;
    int32_t linkId;
    std::string field;
  } kCases[] = {
      {mainapp::kTask, outbound::FormatTaskRecord(task, std::nullopt), News::kNew, Kind::kTask, task.subject, 0,
       "1.000"},
      {mainapp::kChangedTask, outbound::FormatTaskRecord(task, "100042"), News::kChanged, Kind::kTask, task.subject,
       100042, "1.000"},
      // A code page or another number below the model's is no link id of its.
      {mainapp::kChangedTask, outbound::FormatTaskRecord(task, "1252"), News::kChanged, Kind::kTask, task.subject, 0,
       "1.000"},
      {mainapp::kChangedAppointment, outbound::FormatAppointmentRecord(appointment, "100007"), News::kChanged,
       Kind::kAppointment, "Dentist", 100007, "Room 1"},
      {mainapp::kNote, outbound::FormatNoteRecord(note, std::nullopt), News::kNew, Kind::kNote, "Buy * milk", 0, ""},
      {mainapp::kChangedNote, outbound::FormatNoteRecord(note, "100003"), News::kChanged, Kind::kNote, "Buy * milk",
       100003, ""},
      {mainapp::kDeletedAppointment, "Dentist", News::kDeleted, Kind::kAppointment, "Dentist", 0, ""},
  };
  for (const auto& c : kCases) {
    const std::optional<soak::Report> report = soak::ReadReport(c.kind, c.record);
    ASSERT_TRUE(report) << c.record;
    EXPECT_EQ(report->news, c.news) << c.record;
    EXPECT_EQ(report->kind, c.itemKind) << c.record;
    EXPECT_EQ(report->subject, c.subject) << c.record;
    EXPECT_EQ(report->linkId, c.linkId) << c.record;
    EXPECT_EQ(report->field, c.field) << c.record;
  }
  EXPECT_FALSE(soak::ReadReport(mainapp::kTask, "cut short\t"));
  EXPECT_FALSE(soak::ReadReport(mainapp::kTaskLink, "x*1"));
}

TEST(ModelTable, NewsChangeAndDeleteTheRightItem) {
  soak::ModelTable table;
  const soak::Applied first = table.Apply({News::kNew, Kind::kTask, "Same", 0, "0.000"});
  const soak::Applied second = table.Apply({News::kNew, Kind::kTask, "Same", 0, "0.000"});
  ASSERT_TRUE(first.linkFor && second.linkFor);
  EXPECT_NE(*first.linkFor, *second.linkFor);
  // By link id, even renamed; without one and with two bearing the subject, it is news.
  table.Apply({News::kChanged, Kind::kTask, "Renamed", *second.linkFor, "1.000"});
  EXPECT_EQ(table.Items()[1].subject, "Renamed");
  EXPECT_FALSE(table.Apply({News::kChanged, Kind::kTask, "Same", 0, "1.000"}).linkFor);
  EXPECT_EQ(table.Items()[0].field, "1.000") << "the one item bearing the subject";
  table.Apply({News::kNew, Kind::kTask, "Same", 0, "0.000"});
  EXPECT_TRUE(table.Apply({News::kChanged, Kind::kTask, "Same", 0, "1.000"}).linkFor);
  // A deletion takes the first learned, in any letter case; one of nothing is invented.
  EXPECT_FALSE(table.Apply({News::kDeleted, Kind::kTask, "same", 0, ""}).invented);
  EXPECT_EQ(table.FindByLink(Kind::kTask, *first.linkFor), std::nullopt);
  EXPECT_TRUE(table.Apply({News::kDeleted, Kind::kNote, "Same", 0, ""}).invented);
}

TEST(ModelTable, ComparesTheSidesAsMultisets) {
  soak::ModelTable table;
  table.AddOwn(Kind::kNote, "Twice", "");
  const int32_t link = table.AddOwn(Kind::kNote, "Twice", "");
  const std::vector<soak::Comparable> outlook = {{Kind::kNote, "Twice", link, ""}, {Kind::kNote, "Twice", link, ""}};
  const soak::Disagreement found = soak::Compare(table.Items(), outlook);
  ASSERT_EQ(found.onlyInModel.size(), 1u);
  EXPECT_EQ(found.onlyInModel[0].linkId, soak::kFirstLinkId);
  ASSERT_EQ(found.onlyInOutlook.size(), 1u);
  EXPECT_EQ(found.linkIdsTwiceInOutlook, std::vector<int32_t>{link});
  EXPECT_FALSE(
      soak::Compare(table.Items(), {{Kind::kNote, "Twice", link, ""}, {Kind::kNote, "Twice", soak::kFirstLinkId, ""}})
          .Any());
}

}  // namespace

}  // namespace orvane
