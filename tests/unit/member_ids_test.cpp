// The plug-in's dispatch identifiers and values against the stand-in's own transcription of
// Outlook's type library, name by name: a wrong number in the plug-in would fail against Outlook
// while every test that uses it passes, if the stand-in served the plug-in's numbers.
#include "outlook/outlook_ids.h"
#include "testbed/outlook/member_table.h"
#include "testbed/outlook/object_model_ids.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::vector<std::string_view> ObjectsOf(const outlook::MemberId& member) {
  std::vector<std::string_view> objects;
  std::string_view rest = member.objects;
  while (!rest.empty()) {
    const size_t end = rest.find(' ');
    objects.push_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return objects;
}

// The identifier the stand-in serves for `object`'s member `name`; none when it does not know it.
std::optional<os::DispId> StandinIdOf(std::string_view object, std::string_view name) {
  if (object == "ItemsEvents") {
    for (const os::EventMember& event : os::kItemsEvents) {
      if (Wide(name) == event.name) return event.id;
    }
    return std::nullopt;
  }
  os::ObjectKind kind = os::ObjectKind::Any;
  if (!os::ParseObjectKind(Wide(object), &kind) || kind == os::ObjectKind::Any) return std::nullopt;
  const os::Member* member = os::FindMember(kind, Wide(name));
  if (!member) return std::nullopt;
  return member->id;
}

TEST(MemberIds, EveryMemberThePlugInCallsByIdHasOutlooksId) {
  for (const outlook::MemberId& member : outlook::kMemberIds) {
    for (const std::string_view object : ObjectsOf(member)) {
      SCOPED_TRACE(std::string(object) + "." + std::string(member.name));
      const std::optional<os::DispId> outlooks = StandinIdOf(object, member.name);
      ASSERT_TRUE(outlooks) << "not in the transcription of Outlook's type library";
      EXPECT_EQ(member.id, *outlooks);
    }
  }
}

TEST(MemberIds, ThePlugInsValuesAreOutlooks) {
  struct Value {
    const char* name;
    int32_t plugIn;
    int32_t outlooks;
  };
  const Value values[] = {
      {"olAppointmentItem", outlook::kAppointmentItem, os::kAppointmentItem},
      {"olTaskItem", outlook::kTaskItem, os::kTaskItem},
      {"olNoteItem", outlook::kNoteItem, os::kNoteItem},
      {"olFolderCalendar", outlook::kFolderCalendar, os::kFolderCalendar},
      {"olFolderNotes", outlook::kFolderNotes, os::kFolderNotes},
      {"olFolderTasks", outlook::kFolderTasks, os::kFolderTasks},
      {"olSave", outlook::kCloseSave, os::kCloseSave},
      {"olImportanceNormal", outlook::kImportanceNormal, os::kImportanceNormal},
      {"olNormal", outlook::kSensitivityNormal, os::kSensitivityNormal},
      {"olPrivate", outlook::kSensitivityPrivate, os::kSensitivityPrivate},
      {"olTaskNotStarted", outlook::kStatusNotStarted, os::kStatusNotStarted},
      {"olTaskComplete", outlook::kStatusComplete, os::kStatusComplete},
      {"olInteger", outlook::kUserPropertyInteger, os::kUserPropertyInteger},
      {"olRecursWeekly", outlook::kRecursWeekly, os::kRecursWeekly},
  };
  for (const Value& value : values) EXPECT_EQ(value.plugIn, value.outlooks) << value.name;
  EXPECT_STREQ(outlook::kMainWindowClass, os::kMainWindowClass);
  EXPECT_EQ(std::wstring(outlook::kLongTermEntryIdColumn), os::kLongTermEntryIdColumn);
}

}  // namespace

}  // namespace orvane
