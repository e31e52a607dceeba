// Outlook's finished copy of a recurring task's occurrence carries the series' user properties, and
// with them its link id: whoever finished the occurrence, the copy ends up with a link id of its
// own, and each later change reaches the main application under the right one.
#include "inbound/task_record.h"
#include "items/link_id.h"
#include "tests/common/record_builder.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;
namespace field = inbound::taskfield;

class OccurrenceCopyTest : public RoadsTest {
protected:
  // The main application's weekly "Water the plants", link id 77.
  static std::string WeeklyTask() { return WeeklyFields().Joined(); }
  static testcommon::RecordBuilder WeeklyFields() {
    return testcommon::TaskFields()
        .Set(1, "Water the plants")
        .Set(field::kLinkId, "77")
        .Set(field::kRecurrenceType, "1")
        .Set(field::kDayOfWeekMask, "2")
        .Set(field::kInterval, "1")
        .Set(field::kPatternStartDate, "7/12/2026");
  }
  // The link id each task of the folder carries, in Items order.
  static std::vector<int32_t> Links() {
    std::vector<int32_t> links;
    for (const os::ItemData& item : Items(kFolderTasks)) {
      int32_t link = item.Get(kInternetCodepage).AsInt32();
      for (const os::UserField& property : item.Fields()) {
        if (property.name == items::kLinkPropertyName) link = property.value.AsInt32();
      }
      links.push_back(link);
    }
    return links;
  }
  // The records received since the first `seen`, with their link ids.
  Lines ReceivedSince(size_t seen) const {
    Lines records;
    for (size_t i = seen; i < mainApp_.copies.size(); ++i) {
      records.push_back(KindSubjectAndLink(mainApp_.copies[i].first, mainApp_.copies[i].second));
    }
    return records;
  }
  // The user notes a mileage in the series, then in the copy.
  Lines LaterChangesOfSeriesAndCopy(Roads& roads) {
    const size_t seen = mainApp_.copies.size();
    for (int index : {1, 2}) {
      os::ChangeItem(kFolderTasks, index, {{kMileage, V::Text(L"Mile " + std::to_wstring(index))}});
      EXPECT_TRUE(os::RaisePostedEvents());
    }
    roads.CheckDeletedItems();
    return ReceivedSince(seen);
  }
};

// The main application keeps a weekly "Water the plants" (link id 77). The user ticks this week's
// watering complete in Outlook, which moves the series on and adds a finished copy that carries the
// series' link id. The main application hears of one new finished task, without a link id, and of
// the series moved on, under 77; no two tasks keep 77; later changes come under 77 and 0.
TEST_F(OccurrenceCopyTest, TheUsersCompletedOccurrenceIsANewTaskThatLeavesTheSeriesItsLinkId) {
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  roads.MainApplicationSends("Orvane_SaveNow", WeeklyTask());
  os::ChangeItem(kFolderTasks, 1, {{kStatus, V::Int32(kStatusComplete)}});
  ASSERT_EQ(Links(), (std::vector<int32_t>{77, 77})) << "the copy carries the series' user properties";
  EXPECT_FALSE(Items(kFolderTasks)[1].IsRecurring());
  EXPECT_TRUE(os::RaisePostedEvents());
  roads.CheckDeletedItems();
  EXPECT_EQ(ReceivedSince(0), (Lines{"6 Water the plants nono", "9 Water the plants 77"}));
  EXPECT_EQ(Links(), (std::vector<int32_t>{77, 0}));
  EXPECT_EQ(LaterChangesOfSeriesAndCopy(roads), (Lines{"9 Water the plants 77", "9 Water the plants 0"}));
}

// The main application finishes this week's watering itself, by a Done of "Water the plants" or by
// a change of its weekly task to fully complete (link id 77). Outlook's finished copy is its own
// doing: nothing comes back, the copy does not keep 77, and later changes come under 77 and 0.
TEST_F(OccurrenceCopyTest, TheCopyOfTheMainApplicationsOwnCompletionComesBackWithoutTheSeriesLinkId) {
  struct Completion {
    const char* how;
    const char* action;
    std::string record;
  };
  const Completion completions[] = {
      {"a Done", "Orvane_DoneNow", "done\tWater the plants"},
      {"a change to complete", "Orvane_ChangeNow",
       WeeklyFields().Set(field::kFractionComplete, "1.000").JoinedAfter("Water the plants")},
  };
  for (const Completion& completion : completions) {
    SCOPED_TRACE(completion.how);
    StartOver();
    const size_t before = Received().size();
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    roads.MainApplicationSends("Orvane_SaveNow", WeeklyTask());
    roads.MainApplicationSends(completion.action, completion.record);
    EXPECT_EQ(ReceivedSince(before), Lines{});
    EXPECT_EQ(Links(), (std::vector<int32_t>{77, 0}));
    EXPECT_EQ(LaterChangesOfSeriesAndCopy(roads), (Lines{"9 Water the plants 77", "9 Water the plants 0"}));
  }
}

}  // namespace

}  // namespace orvane
