// What of an item is news to the main application: every item an event announces, or a comparison
// finds appeared or in a new state, is read as its record is built and told to the main
// application only when that record is not the one it knows; the plug-in's own saves are known by
// the record they make.
#include "outbound/item_news.h"

#include "base/error_log.h"
#include "items/item_kinds.h"
#include "items/link_id.h"
#include "items/subject_match.h"
#include "mainapp/record_text.h"
#include "outbound/record_forms.h"

#include <algorithm>
#include <string>
#include <utility>

namespace orvane::outbound {

namespace {

// How long a task the plug-in finished may be followed by Outlook's copy of its occurrence.
constexpr DWORD kCopyExpectedMs = 5 * 60 * 1000;
// How much of Outlook's words a log line keeps.
constexpr size_t kMaxErrorText = 254;

// What the main application is told of an item: its record without the link id, and for a note,
// whose link id is the categories the user may change, that too.
struct ItemRead {
  outbound::ItemValues values;
  std::optional<std::string> noteLinkId;
  uint64_t digest;
};

ItemRead ReadOfItem(const outlook::DispatchDriver& item, const items::ItemKind& kind, LaterBoxes* boxes) {
  ItemRead read{outbound::ReadItemValues(item, kind, boxes), std::nullopt, 0};
  std::string content = read.values.Record(std::nullopt);
  if (kind.linkIdPlace == items::LinkIdPlace::Text) {
    read.noteLinkId = items::ReadLinkId(item, kind);
    content += '\0' + *read.noteLinkId;
  }
  read.digest = outbound::RecordDigest(content);
  return read;
}

}  // namespace

// Finishing an occurrence of a recurring task makes Outlook add a finished copy of it, with its
// subject, and move the series on. When the plug-in finished it, the copy is the consequence of
// the main application's own record: a finished task that does not recur, with the subject of a
// recurring task the plug-in completed in that folder within the last minutes, is taken as known,
// once per completion. After the user's own completion the copy is the user's new task.
bool NewsWatch::TakeExpectedCopy(size_t slot, const ItemValues& values) {
  const DWORD now = GetTickCount();
  expectedCopies_.erase(std::remove_if(expectedCopies_.begin(), expectedCopies_.end(),
                                       [now](const ExpectedCopy& copy) { return now - copy.since > kCopyExpectedMs; }),
                        expectedCopies_.end());
  if (!values.IsFinishedSingleTask()) return false;
  const auto copy = std::find_if(expectedCopies_.begin(), expectedCopies_.end(), [&](const ExpectedCopy& expected) {
    return expected.slot == slot && expected.subject == values.Subject();
  });
  if (copy == expectedCopies_.end()) return false;
  expectedCopies_.erase(copy);
  return true;
}

// Outlook's copy carries its series' user properties, and with them the series' link id: left
// there, the main application's link answer for the copy, and every later change of it, would
// reach the series' task. The copy is known by its shape (new to the picture, finished, not
// recurring) and by its series: another item of the folder that the picture knows with the subject
// and that carries the same link id. The item the picture knew keeps the link id; the copy's is set
// to 0, as the plug-in's own save, so that its events bring nothing back.
void NewsWatch::DropInheritedLink(const items::ItemKind& kind, const outlook::DispatchDriver& item,
                                  const ItemValues& values, size_t slot, const Entry& taken) {
  if (kind.linkIdPlace != items::LinkIdPlace::Number || !values.IsFinishedSingleTask()) return;
  const std::string linkId = items::ReadLinkId(item, kind);
  if (linkId == "0" || !AnotherItemCarries(slot, taken, linkId, kind)) return;
  const std::string copyOf = "OrvaneOutlook=>The " + std::string(kind.folderName) +
                             " folder has Outlook's finished copy of a recurring task with the series' link id " +
                             linkId;
  try {
    items::WriteLinkNumber(item, 0);
    item.InvokeMethod(outlook::kSave);
  } catch (const outlook::AutomationError& error) {
    if (outlook::IsServerGone(error.Result())) throw;
    WriteLog((copyOf +
              "; Outlook refused to set the copy's link id to 0: " + std::string(error.what()).substr(0, kMaxErrorText))
                 .c_str());
    return;
  }
  comparer_.TakeEntry(slot, {taken.id, taken.subject, item.GetDate(outlook::kLastModificationTime), taken.known});
  WriteLog((copyOf + "; the copy's link id is now 0").c_str());
}

// The candidates are the picture's items with the subject, opened by their ids; an item that no
// longer opens carries nothing.
bool NewsWatch::AnotherItemCarries(size_t slot, const Entry& taken, const std::string& linkId,
                                   const items::ItemKind& kind) {
  std::vector<std::string> candidates;
  for (const Entry& entry : kept_.Folder(slot).picture.Entries()) {
    if (entry.id != taken.id && entry.subject == taken.subject) candidates.push_back(entry.id);
  }
  if (candidates.empty()) return false;
  const outlook::OutlookSession::Hold hold(session_);
  const outlook::DispatchDriver nameSpace = session_.Namespace();
  const std::string storeId = kept_.Folder(slot).storeId;
  for (const std::string& id : candidates) {
    try {
      const outlook::DispatchDriver other = nameSpace.InvokeForObject(
          outlook::kGetItemFromId, outlook::Variant::Text(id), outlook::Variant::Text(storeId));
      if (items::ReadLinkId(other, kind) == linkId) return true;
    } catch (const outlook::AutomationError& error) {
      if (outlook::IsServerGone(error.Result())) throw;
    }
  }
  return false;
}

void NewsWatch::LookAtItem(const items::ItemKind& kind, const outlook::DispatchDriver& item, Seen seen,
                           LaterBoxes* boxes) {
  // The successor's first comparison finds what is news: reported here too, it would come twice.
  if (kept_.Stopped()) return;
  const size_t kindIndex = items::IndexOf(kind);
  const std::string id = item.GetText(outlook::kEntryId);
  const double lastModified = item.GetDate(outlook::kLastModificationTime);
  const ItemRead read = ReadOfItem(item, kind, boxes);
  const std::string& subject = read.values.Subject();
  const size_t folder = slots_.Active(kindIndex);
  std::optional<Entry> known = comparer_.KnownEntry(folder, id);
  const bool changeBeforeFirstRead = seen == Seen::kChanged && !kept_.Folder(folder).picture.Taken();
  const outbound::ItemNews news = outbound::NewsOf(known ? &*known : nullptr, read.digest, !subject.empty(),
                                                   seen == Seen::kAdded, changeBeforeFirstRead);
  if (news == outbound::ItemNews::kNothing) {
    comparer_.TakeEntry(folder, outbound::UntoldEntry(known ? &*known : nullptr, id, subject, lastModified));
    return;
  }
  if (news == outbound::ItemNews::kNewItem && TakeExpectedCopy(folder, read.values)) {
    WriteLog(("OrvaneOutlook=>The " + std::string(kind.folderName) +
              " folder has Outlook's finished copy of a recurring task the plug-in finished; it is not reported")
                 .c_str());
    const Entry taken{id, subject, lastModified, read.digest};
    comparer_.TakeEntry(folder, taken);
    DropInheritedLink(kind, item, read.values, folder, taken);
    return;
  }
  const bool changed = news == outbound::ItemNews::kChangedItem;
  std::optional<std::string> linkId = read.noteLinkId;
  if (changed && !linkId) {
    linkId = items::ReadLinkId(item, kind);
    // An event handled while the link id was read may have reported this very state.
    known = comparer_.KnownEntry(folder, id);
    if (known && known->known == read.digest) return;
  }
  // It joins the picture with its record, in one journal entry: a process ending at any moment
  // keeps both or neither, so the record is never lost while the item is known, and the item's
  // later deletion is never lost once the record went. Delivered now or later, in order, the
  // record is the main application's from here on.
  const Entry taken{id, subject, lastModified, read.digest};
  comparer_.JoinPicture(folder, taken);
  outbox_.Deliver(changed ? kind.changedKind : kind.kind, read.values.Record(changed ? linkId : std::nullopt), folder,
                  {}, id.empty() ? nullptr : &taken);
  // After the record, which carries no link id: the main application's answer is performed later.
  if (!changed) DropInheritedLink(kind, item, read.values, folder, taken);
}

bool NewsWatch::LookAtWaitingItems(DWORD budgetMs, LaterBoxes& boxes) {
  if (comparer_.PassUnderWay() || looking_.Now() || kept_.Stopped()) return toLookAt_.Size() > 0;
  const WorkScope looking(looking_);
  const outlook::OutlookSession::Hold hold(session_);
  const outlook::DispatchDriver nameSpace = session_.Namespace();
  const DWORD start = GetTickCount();
  while (toLookAt_.Size() > 0 && GetTickCount() - start < budgetMs) {
    const std::optional<LookAtQueue::Item> next = toLookAt_.Pop();
    // Of a store no longer shown: its own comparison finds the item again.
    if (slots_.Active(next->kind) != next->slot) continue;
    try {
      const outlook::DispatchDriver item =
          nameSpace.InvokeForObject(outlook::kGetItemFromId, outlook::Variant::Text(next->id),
                                    outlook::Variant::Text(kept_.Folder(next->slot).storeId));
      LookAtItem(*items::kItemKinds[next->kind], item, Seen::kCompared, &boxes);
    } catch (const outlook::AutomationError& error) {
      // Deleted or moved since the comparison: the next one tells.
      if (outlook::IsServerGone(error.Result())) throw;
    }
  }
  return toLookAt_.Size() > 0;
}

void NewsWatch::NoteOwnWrite(const outlook::DispatchDriver& item, uint32_t itemKind, Save save) {
  const items::ItemKind* kind = items::ItemKindOf(itemKind);
  if (!kind) return;
  const size_t folder = slots_.Active(items::IndexOf(*kind));
  const std::string id = item.GetText(outlook::kEntryId);
  const double lastModified = item.GetDate(outlook::kLastModificationTime);
  const ItemRead read = ReadOfItem(item, *kind, nullptr);
  comparer_.TakeEntry(folder, {id, read.values.Subject(), lastModified, read.digest});
  const auto* task = std::get_if<outbound::OutboundTask>(&read.values.values);
  if (save == Save::kCompletion && task && task->recurrence) {
    expectedCopies_.push_back({folder, read.values.Subject(), GetTickCount()});
  }
}

void NewsWatch::NoteOwnDeletion(uint32_t itemKind, std::string_view id) {
  const items::ItemKind* kind = items::ItemKindOf(itemKind);
  if (!kind || id.empty()) return;
  const size_t slot = slots_.Active(items::IndexOf(*kind));
  kept_.Journal({JournalEntry::Kind::kNoReportDue, static_cast<uint32_t>(slot), std::string(id), {}});
  kept_.Folder(slot).picture.NoteOwnDeletion(id);
}

bool NewsWatch::UserChangeUntold(uint32_t itemKind, std::string_view subject, std::string_view linkId) {
  const items::ItemKind* kind = items::ItemKindOf(itemKind);
  if (!kind) return false;
  const size_t slot = slots_.Active(items::IndexOf(*kind));
  const std::string named = mainapp::OutboundText(subject);
  const auto& waiting = kept_.Records();
  const bool recordWaits = std::any_of(waiting.begin(), waiting.end(), [&](const OutboundRecord& record) {
    if (record.folder != slot) return false;
    if (record.kind == kind->deletedKind) return items::SubjectsMatch(record.text, named);
    return record.kind == kind->changedKind && !linkId.empty() && linkId != "0" &&
           LinkIdOfRecord(record.text) == mainapp::OutboundText(linkId);
  });
  // Known by the subject and not on its way out, it is still to be looked at.
  const FolderPicture& picture = kept_.Folder(slot).picture;
  return recordWaits || std::any_of(picture.Entries().begin(), picture.Entries().end(), [&](const Entry& entry) {
           return !picture.Going(entry.id) && items::SubjectNames(entry.subject, subject);
         });
}

}  // namespace orvane::outbound
