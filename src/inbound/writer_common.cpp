#include "inbound/writer_common.h"

#include "base/error_log.h"
#include "inbound/kept_text.h"
#include "outlook/busy_retry.h"
#include "outlook/outlook_session.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace orvane::inbound {

namespace {

// The text properties the writers set whose reading Outlook's Object Model Guard protects.
constexpr outlook::DispId kGuardedGets[] = {outlook::kBody, outlook::kContactNames, outlook::kRequiredAttendees,
                                            outlook::kOptionalAttendees, outlook::kResources};

constexpr char kDateRefused[] = "OrvaneOutlook=>OnTimerException::SetDueDate::";
constexpr size_t kMaxErrorText = 254;
constexpr char kSaveRefused[] = "OrvaneOutlook=>SaveAndClose::Outlook refused the save, nothing saved: ";
constexpr char kSavedItemUnread[] =
    "OrvaneOutlook=>SaveAndClose::the saved item could not be read, its events may come back as the user's: ";

// Read after the Close that saved the item: Close(0) gives the item the state its events and the
// next comparison of its folder will show. The item is saved either way, so a failed read costs
// only a possible echo.
void TellOwnWrite(const outlook::DispatchDriver& item, uint32_t itemKind, outlook::OwnWrites& own,
                  outlook::OwnWrites::Save save) {
  try {
    own.NoteOwnWrite(item, itemKind, save);
  } catch (const outlook::AutomationError& error) {
    WriteLog((kSavedItemUnread + std::string(error.what()).substr(0, kMaxErrorText)).c_str());
  }
}

}  // namespace

void LogRecordWithoutSubject(const char* writer) {
  WriteLog((std::string(writer) + ": record without a subject, nothing written").c_str());
}

void LogShortRecord(const char* writer) {
  WriteLog(
      (std::string(writer) + ": short record, the properties of its missing fields were left as they were").c_str());
}

void LogRefusedDate(const outlook::AutomationError& error) {
  WriteLog((kDateRefused + std::string(error.what()).substr(0, kMaxErrorText)).c_str());
}

void WriteText(const outlook::DispatchDriver& item, outlook::DispId id, std::string_view text, TextInto into) {
  const bool readable = std::find(std::begin(kGuardedGets), std::end(kGuardedGets), id) == std::end(kGuardedGets);
  if (into == TextInto::kFoundItem && readable && RecordCarriesText(item.GetText(id), text)) return;
  item.SetText(id, text);
}

void SetTextIfGiven(const outlook::DispatchDriver& item, outlook::DispId id, const std::optional<std::string>& text,
                    TextInto into) {
  if (text) WriteText(item, id, *text, into);
}

ItemMeant MeantByLinkId(const std::optional<int32_t>& linkId) {
  return linkId ? ItemMeant::Carrying(LinkIdText(linkId)) : ItemMeant::BySubject();
}

std::string LinkIdText(const std::optional<int32_t>& linkId) {
  return linkId ? std::to_string(*linkId) : std::string();
}

bool MayMakeAnew(outlook::OwnDeletions& deletions, uint32_t itemKind, const char* writer, std::string_view subject,
                 std::string_view linkId) {
  if (!deletions.UserChangeUntold(itemKind, subject, linkId)) return true;
  WriteLog((std::string(writer) +
            ": the user changed or deleted the item in Outlook, and the main application is yet to be told; the "
            "change does not make it anew")
               .c_str());
  return false;
}

outlook::DispatchDriver CreateOutlookItem(const outlook::OutlookSession& session, int32_t itemType) {
  return session.Application().InvokeForObject(outlook::kCreateItem, outlook::Variant::Int32(itemType));
}

void SaveAndClose(const outlook::DispatchDriver& item, uint32_t itemKind, outlook::OwnWrites& own,
                  outlook::OwnWrites::Save save) {
  try {
    item.InvokeMethod(outlook::kClose, outlook::Variant::Int32(outlook::kCloseSave));
  } catch (const outlook::AutomationError& error) {
    // Outlook refuses to save what the record asks for (a recurrence it does not allow, say): the
    // same record would be refused again, so the refusal is logged and the record is done with.
    // An Outlook that has gone or stays busy is the tick's to handle.
    if (outlook::IsServerGone(error.Result()) || outlook::IsBusyAnswer(error.Result())) throw;
    WriteLog((kSaveRefused + std::string(error.what()).substr(0, kMaxErrorText)).c_str());
    return;
  }
  TellOwnWrite(item, itemKind, own, save);
}

}  // namespace orvane::inbound
