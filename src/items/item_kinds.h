// The three kinds of Outlook item the plug-in keeps in step, one row each: where the items live,
// which members hold their subject and link id, the record kinds that name them, and their name in
// the log. Every road reads this table; adding a kind means adding a row.
#pragma once

#include "mainapp/kinds.h"
#include "outlook/outlook_ids.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace orvane::items {

// Where an item keeps the main application's link id: tasks and appointments as a number in
// InternetCodepage, notes (which have no such member) as text in Categories.
enum class LinkIdPlace { Number, Text };

struct ItemKind {
  // The kind of the item's whole record, both ways; the sink of its folder is known by it.
  uint32_t kind;
  int32_t folder;
  outlook::DispId subjectMember;
  LinkIdPlace linkIdPlace;
  uint32_t changedKind;
  uint32_t linkKind;
  uint32_t deletedKind;
  // The folder's name in the log.
  const char* folderName;
};

inline constexpr ItemKind kTaskItems{
    mainapp::kTask,        outlook::kFolderTasks, outlook::kSubject,     LinkIdPlace::Number,
    mainapp::kChangedTask, mainapp::kTaskLink,    mainapp::kDeletedTask, "Tasks"};
inline constexpr ItemKind kAppointmentItems{mainapp::kAppointment,
                                            outlook::kFolderCalendar,
                                            outlook::kSubject,
                                            LinkIdPlace::Number,
                                            mainapp::kChangedAppointment,
                                            mainapp::kAppointmentLink,
                                            mainapp::kDeletedAppointment,
                                            "Calendar"};
inline constexpr ItemKind kNoteItems{
    mainapp::kNote,        outlook::kFolderNotes, outlook::kNoteSubject, LinkIdPlace::Text,
    mainapp::kChangedNote, mainapp::kNoteLink,    mainapp::kDeletedNote, "Notes"};

// In the order the folders are watched and compared: a store's notes first, as the main
// application has always heard them.
inline constexpr const ItemKind* kItemKinds[] = {&kNoteItems, &kTaskItems, &kAppointmentItems};
inline constexpr size_t kItemKindCount = std::size(kItemKinds);

// The row whose whole-record kind is `kind`; null for any other kind.
constexpr const ItemKind* ItemKindOf(uint32_t kind) {
  for (const ItemKind* row : kItemKinds) {
    if (row->kind == kind) return row;
  }
  return nullptr;
}

// The row whose link-id record kind is `kind`; null for any other kind.
constexpr const ItemKind* ItemKindOfLink(uint32_t kind) {
  for (const ItemKind* row : kItemKinds) {
    if (row->linkKind == kind) return row;
  }
  return nullptr;
}

// The row's place in kItemKinds.
constexpr size_t IndexOf(const ItemKind& row) {
  for (size_t index = 0; index < kItemKindCount; ++index) {
    if (kItemKinds[index] == &row) return index;
  }
  return kItemKindCount;
}

}  // namespace orvane::items
