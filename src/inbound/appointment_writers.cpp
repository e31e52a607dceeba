// The appointment writers: a new appointment from an appointment record, and a found one brought
// in line with a change record. Both write the same properties in the same order. A change
// differs in the lookup, in writing no link id and no log lines but its own trace lines, in the
// pattern's times of day, in keeping a series' times of day in its pattern, and in applying the
// end block only to an appointment it found.
#include "items/link_id.h"
#include "mainapp/kinds.h"
#include "inbound/writers.h"
#include "base/error_log.h"
#include "inbound/appointment_record.h"
#include "inbound/item_lookup.h"
#include "outlook/outlook_folders.h"
#include "inbound/pattern_writer.h"
#include "inbound/record_fields.h"
#include "inbound/writer_common.h"

#include <vector>

namespace orvane::inbound {

namespace {

using inbound::AppointmentRecord;
namespace field = inbound::appointmentfield;

constexpr char kSaveApps[] = "SaveOutlookApps";
constexpr char kChangeApps[] = "ChangeOutlookApps";
constexpr char kSaveTrace[] = "SaveOutlookApps ";
constexpr char kChangeTrace[] = "ChangeOutlookApps ";
// The change's trace line once it holds the appointment, found or new.
constexpr int32_t kChangeHoldsItemTrace = 1602;

// Each writer's trace lines around the steps of writing a pattern. The type is written first;
// each number stays next to the write it belongs to.
const PatternTraces kSavePatternTraces{kSaveTrace,
                                       {
                                           {PatternStep::Open, TraceAt::After, 347},
                                           {PatternStep::Type, TraceAt::After, 376},
                                           {PatternStep::StartDate, TraceAt::Before, 354},
                                           {PatternStep::StartDate, TraceAt::After, 356},
                                           {PatternStep::EndFlag, TraceAt::After, 360},
                                           {PatternStep::EndDate, TraceAt::Before, 365},
                                           {PatternStep::EndDate, TraceAt::After, 367},
                                           {PatternStep::Endless, TraceAt::After, 372},
                                           {PatternStep::Interval, TraceAt::After, 378},
                                           {PatternStep::DayOfWeekMask, TraceAt::After, 386},
                                       }};

const PatternTraces kChangePatternTraces{kChangeTrace,
                                         {
                                             {PatternStep::Open, TraceAt::Before, 1609},
                                             {PatternStep::Type, TraceAt::Before, 1642},
                                             {PatternStep::Type, TraceAt::After, 1644},
                                             {PatternStep::StartDate, TraceAt::Before, 1619},
                                             {PatternStep::StartDate, TraceAt::Before, 1621},
                                             {PatternStep::EndFlag, TraceAt::After, 1630},
                                             {PatternStep::EndDate, TraceAt::Before, 1632},
                                             {PatternStep::Endless, TraceAt::Before, 1638},
                                             {PatternStep::DayOfWeekMask, TraceAt::Before, 1652},
                                         }};

// A change applies the end block only to an appointment it found, not to one it had to make.
enum class AppointmentWrite { Save, ChangeFound, ChangeNew };

class AppointmentWriter {
public:
  AppointmentWriter(outlook::DispatchDriver item, const AppointmentRecord& record, AppointmentWrite write)
      : item_(std::move(item)),
        record_(record),
        write_(write),
        into_(write == AppointmentWrite::ChangeFound ? TextInto::kFoundItem : TextInto::kNewItem),
        changesSeries_(write != AppointmentWrite::Save && record.recurrence.has_value()) {}

  void Write() {
    if (record_.recurrence) WritePattern(*record_.recurrence);
    if (record_.linkId) items::WriteLinkNumber(item_, *record_.linkId);
    WriteText(item_, outlook::kSubject, record_.subject, into_);
    WriteDuration();
    if (record_.start) WriteStart(*record_.start);
    if (record_.endBlock && write_ != AppointmentWrite::ChangeNew) WriteEndBlock(*record_.endBlock);
    // Setting End changed the duration; the record's duration wins.
    WriteDuration();
    if (record_.allDay && !changesSeries_) item_.SetBool(outlook::kAllDayEvent, *record_.allDay);
    WriteReminder();
    WriteDetails();
  }

private:
  bool IsChange() const { return write_ != AppointmentWrite::Save; }

  void WritePattern(const inbound::Recurrence& recurrence) {
    outlook::DispatchDriver pattern =
        WriteRecurrence(item_, recurrence, IsChange() ? kChangePatternTraces : kSavePatternTraces);
    // A changed series keeps its pattern open for its times of day.
    if (changesSeries_) pattern_ = std::move(pattern);
  }

  void WriteDuration() const {
    if (record_.durationMinutes) item_.SetInt32(outlook::kDuration, *record_.durationMinutes);
  }

  // A changed series takes its start's time of day into its pattern and keeps its own Start.
  void WriteStart(double start) const {
    if (changesSeries_) {
      pattern_.SetDate(outlook::kPatternStartTime, inbound::PatternTime(start));
    } else {
      item_.SetDate(outlook::kStart, start);
    }
  }

  void WriteEndBlock(const inbound::EndBlock& block) const {
    WriteStart(block.start);
    if (block.end) WriteEnd(*block.end, block.start);
  }

  // Outlook refuses an end before the start; the appointment then ends at its start, and the
  // refusal is logged with Outlook's own words. A series with an end date takes the end's time
  // of day into its pattern.
  void WriteEnd(double end, double start) const {
    try {
      if (!changesSeries_) {
        item_.SetDate(outlook::kEnd, end);
      } else if (!pattern_.GetBool(outlook::kNoEndDate)) {
        pattern_.SetDate(outlook::kPatternEndTime, inbound::PatternTime(end));
      }
    } catch (const outlook::AutomationError& error) {
      item_.SetDate(outlook::kEnd, start);
      LogRefusedDate(error);
    }
  }

  void WriteReminder() const {
    if (!record_.reminder) return;
    item_.SetBool(outlook::kReminderSet, record_.reminder->set);
    if (record_.reminder->set)
      item_.SetInt32(outlook::kReminderMinutesBeforeStart, record_.reminder->minutesBeforeStart);
  }

  // The texts in the record's order; the properties the main application does not keep are
  // emptied (a change empties the categories before the notes, a save after them).
  void WriteDetails() const {
    SetTextIfGiven(item_, outlook::kAppointmentText, record_.text, into_);
    for (const outlook::DispId id : {outlook::kRequiredAttendees, outlook::kOptionalAttendees, outlook::kResources,
                                     outlook::kBillingInformation}) {
      WriteText(item_, id, "", into_);
    }
    if (IsChange()) WriteText(item_, outlook::kCategories, "", into_);
    SetTextIfGiven(item_, outlook::kBody, record_.body, into_);
    if (!IsChange()) WriteText(item_, outlook::kCategories, "", into_);
    SetTextIfGiven(item_, outlook::kLocation, record_.location, into_);
    WriteText(item_, outlook::kMileage, "", into_);
    if (record_.importance) item_.SetInt32(outlook::kImportance, *record_.importance);
    if (record_.makePrivate) item_.SetInt32(outlook::kSensitivity, outlook::kSensitivityPrivate);
  }

  outlook::DispatchDriver item_;
  const AppointmentRecord& record_;
  AppointmentWrite write_;
  TextInto into_;
  bool changesSeries_;
  outlook::DispatchDriver pattern_;
};

outlook::DispatchDriver CreateAppointment(const outlook::OutlookSession& session) {
  return CreateOutlookItem(session, outlook::kAppointmentItem);
}

// The start date is read with "-" between its numbers, whichever of "/" and "-" the record
// used. Only that field is rewritten: it is ended for ReplaceChar and joined to the rest again.
void JoinStartDateWithDashes(char* record, size_t position) {
  const std::vector<std::string_view> fields = inbound::SplitRecord(RecordText(record));
  if (position >= fields.size()) return;
  char* const start = record + (fields[position].data() - record);
  char* const end = start + fields[position].size();
  const char after = *end;
  *end = '\0';
  inbound::ReplaceChar(start, '/', '-');
  *end = after;
}

}  // namespace

void SaveOutlookApps(char* record, const WriterContext& context) {
  WriteLog(kSaveApps);
  JoinStartDateWithDashes(record, field::kStartDate - field::kSubject);
  const std::optional<AppointmentRecord> appointment = inbound::ReadAppointmentRecord(RecordText(record));
  if (!WriterTakes<AppointmentRecord>(kSaveApps, appointment,
                                      [](const AppointmentRecord& read) { return read.isShort; })) {
    return;
  }

  const outlook::DispatchDriver item =
      outlook::RetryAfterReconnect(context.session, [&] { return CreateAppointment(context.session); });
  AppointmentWriter(item, *appointment, AppointmentWrite::Save).Write();
  WriteLog("Save Appts To Outlook");
  SaveAndClose(item, mainapp::kAppointment, context.ownWrites);
}

void ChangeOutlookApps(char* record, const WriterContext& context) {
  JoinStartDateWithDashes(record, field::kStartDate - field::kSearchSubject);
  using ChangeRecord = AppointmentChangeRecord;
  const std::optional<ChangeRecord> change = inbound::ReadAppointmentChangeRecord(RecordText(record));
  if (!WriterTakes<ChangeRecord>(kChangeApps, change,
                                 [](const ChangeRecord& read) { return read.appointment.isShort; })) {
    return;
  }

  outlook::DispatchDriver item =
      context.lookup.Find(items::kAppointmentItems, change->searchSubject, MeantByLinkId(change->linkId));
  const bool found = !item.IsEmpty();
  if (!found && !MayMakeAnew(context.ownDeletions, mainapp::kAppointment, kChangeApps, change->searchSubject,
                             LinkIdText(change->linkId))) {
    return;
  }
  // An appointment that Outlook no longer has (or never had) is made anew from the record.
  if (!found) item = CreateAppointment(context.session);
  WriteLogNumbered(kChangeTrace, kChangeHoldsItemTrace);
  AppointmentWriter writer(item, change->appointment,
                           found ? AppointmentWrite::ChangeFound : AppointmentWrite::ChangeNew);
  writer.Write();
  // Made anew, it carries the main application's link id, as a task made anew does.
  if (!found && change->linkId) items::WriteLinkNumber(item, *change->linkId);
  SaveAndClose(item, mainapp::kAppointment, context.ownWrites);
}

}  // namespace orvane::inbound
