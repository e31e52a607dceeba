// ItemData: the properties of one task, appointment or note, with the rules Outlook applies when
// they are written (an appointment's end follows its start, a task's status and percentage agree).
#pragma once

#include "testbed/outlook/member_table.h"
#include "testbed/outlook/model_value.h"
#include "testbed/outlook/object_model_ids.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

namespace outlook_standin {

enum class ItemKind { Task, Appointment, Note };

using ValueMap = std::map<DispId, Value>;

// A property the user or a program added to one item (UserProperties.Add): its name, its
// OlUserPropertyType and its value.
struct UserField {
  std::wstring name;
  int32_t type = kUserPropertyInteger;
  Value value;
};
using UserFields = std::vector<UserField>;

// An item as a file keeps it: every value of the item and of its pattern.
struct ItemImage {
  ItemKind kind = ItemKind::Task;
  ValueMap values;
  ValueMap pattern;
  bool hasPattern = false;
  bool recurring = false;
  bool deadOccurrence = false;
  UserFields userFields;
};

ObjectKind ObjectKindOf(ItemKind kind);
// The default folder an item of this kind is saved into: 13 Tasks, 9 Calendar, 12 Notes.
int32_t DefaultFolderOf(ItemKind kind);

class ItemData {
public:
  // A new item with Outlook's defaults: texts empty, dates unset (4501), Importance normal,
  // Sensitivity normal; an appointment from the next half hour after `now` for 30 minutes, not all
  // day, with its reminder on 15 minutes before the start.
  explicit ItemData(ItemKind kind, double now = kNoDate);
  static ItemData FromImage(const ItemImage& image);
  ItemImage Image() const;

  ItemKind Kind() const { return kind_; }
  // The store gives a saved item its EntryID; a new item's is empty.
  void AssignEntryId(std::wstring id) { values_[kEntryId] = Value::Text(std::move(id)); }
  // The store stamps every save with its LastModificationTime.
  void Stamp(double modified);
  // The store gives an item its CreationTime at its first save, unless a test chose one.
  bool HasCreationTime() const { return values_.count(kCreationTime) != 0; }
  void MarkCreated(double created) { values_[kCreationTime] = Value::Date(created); }
  // A property of the item's kind, by DISPID. A note's Subject is its Body up to the first line break.
  Value Get(DispId id) const;
  // Writes a property (already in its own type) with Outlook's side effects. Answers Outlook's
  // message when it refuses the value (an end before the start), else the empty text.
  std::wstring Put(DispId id, const Value& value, double today);

  // GetRecurrencePattern: the item gets a pattern, filled from its dates the first time, and is
  // recurring from then on.
  // `today` stands in for an item without dates: the pattern's weekday and month come from it.
  void OpenPattern(double today);
  bool HasPattern() const { return hasPattern_; }
  Value PatternGet(DispId id) const;
  // Setting RecurrenceType resets every other property of the pattern to its default; a series'
  // times move with its pattern's StartTime, EndTime and Duration.
  // Answers Outlook's message when it refuses the value, else the empty text.
  std::wstring PatternPut(DispId id, const Value& value);

  bool IsRecurring() const { return recurring_; }
  // Outlook's message when the pattern holds a value its properties do not allow, else empty.
  std::wstring PatternRefusal() const;
  // A recurring task saved complete: Outlook keeps the series, not complete, moved on to its next
  // occurrence, and answers the completed copy of the occurrence to add as a new item. With no
  // occurrence left (or for any other item) nothing changes and the answer is empty. The copy is
  // a plain task, or with `keepsRecurrence` for a series that does not regenerate, still recurring
  // with the series' pattern and marked a dead occurrence (which is never completed again).
  std::optional<ItemData> CompleteOccurrence(double today, bool keepsRecurrence = false);
  // Outlook's mark of a completed copy that kept its series' recurrence (PidLidTaskDeadOccurrence).
  bool IsDeadOccurrence() const { return deadOccurrence_; }

  // The item's user properties, in the order they were added.
  UserFields& Fields() { return userFields_; }
  const UserFields& Fields() const { return userFields_; }

private:
  std::wstring PutAppointmentTime(DispId id, const Value& value);
  std::wstring PutTaskDate(DispId id, const Value& value, double today);
  std::wstring PutTaskProgress(DispId id, const Value& value, double today);
  void PatternTimesFromItem();
  void ItemTimesFromPattern();
  void PutPatternTime(DispId id, const Value& value);
  void PutAllDay(bool allDay);
  double PatternDefaultStart() const;
  double FirstOccurrenceDay() const;
  void ResetPattern(int32_t type);
  void MarkComplete(double today);
  void ClearCompletion();
  double NextOccurrence(double after, double today) const;
  double DateOf(DispId id) const { return values_.at(id).AsDate(); }
  int32_t NumberOf(DispId id) const { return values_.at(id).AsInt32(); }

  ItemKind kind_;
  std::map<DispId, Value> values_;
  std::map<DispId, Value> pattern_;
  bool hasPattern_ = false;
  bool recurring_ = false;
  bool deadOccurrence_ = false;
  UserFields userFields_;
  // A pattern date was written since the RecurrenceType: a DayOfWeekMask now resets both.
  bool patternDateWritten_ = false;
  // The day the pattern was opened, for an item without dates of its own.
  double patternOpened_ = kNoDate;
};

}  // namespace outlook_standin

}  // namespace orvane
