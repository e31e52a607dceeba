#include "testbed/orvane/model_table.h"

#include "inbound/appointment_record.h"
#include "inbound/task_record.h"
#include "mainapp/kinds.h"
#include "tests/common/record_builder.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <tuple>

namespace orvane::soak {

namespace {

constexpr std::string_view kNone = "nono";

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// A link id as the records carry it: decimal text, "nono" or empty for none.
int32_t LinkNumber(std::string_view text) {
  if (text.empty() || text.size() > 10) return 0;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value >= kFirstLinkId && value <= INT32_MAX ? static_cast<int32_t>(value) : 0;
}

// "status*link*..." or "duration*link*...": the text between the field's first two asterisks.
std::optional<int32_t> LinkBetweenStars(std::string_view field) {
  const size_t first = field.find('*');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = field.find('*', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  return LinkNumber(field.substr(first + 1, second - first - 1));
}

std::optional<Report> ReadWhole(News news, Kind kind, std::string_view bytes) {
  if (bytes.empty() || bytes.back() != '\n') return std::nullopt;
  bytes.remove_suffix(1);
  Report report{news, kind, {}, 0, {}};
  if (kind == Kind::kNote) {
    // subject "*" link "*": the subject may hold asterisks of its own, the model's link ids never.
    if (bytes.empty() || bytes.back() != '*') return std::nullopt;
    bytes.remove_suffix(1);
    const size_t star = bytes.rfind('*');
    if (star == std::string_view::npos) return std::nullopt;
    report.subject = std::string(bytes.substr(0, star));
    report.linkId = LinkNumber(bytes.substr(star + 1));
    return report;
  }
  const std::vector<std::string_view> fields = Split(bytes, '\t');
  const size_t starred = kind == Kind::kTask ? 19 : 15;
  if (fields.size() <= starred) return std::nullopt;
  const std::optional<int32_t> link = LinkBetweenStars(fields[starred]);
  if (!link) return std::nullopt;
  report.subject = std::string(fields[0]);
  report.linkId = *link;
  report.field = std::string(kind == Kind::kTask ? fields[5] : fields[11]);
  return report;
}

std::string_view KindName(Kind kind) {
  return kind == Kind::kTask ? "task" : kind == Kind::kAppointment ? "appointment" : "note";
}

}  // namespace

std::optional<Report> ReadReport(uint32_t dataKind, std::string_view bytes) {
  using namespace mainapp;
  switch (dataKind) {
    case kTask: return ReadWhole(News::kNew, Kind::kTask, bytes);
    case kAppointment: return ReadWhole(News::kNew, Kind::kAppointment, bytes);
    case kNote: return ReadWhole(News::kNew, Kind::kNote, bytes);
    case kChangedTask: return ReadWhole(News::kChanged, Kind::kTask, bytes);
    case kChangedAppointment: return ReadWhole(News::kChanged, Kind::kAppointment, bytes);
    case kChangedNote: return ReadWhole(News::kChanged, Kind::kNote, bytes);
    case kDeletedTask: return Report{News::kDeleted, Kind::kTask, std::string(bytes), 0, {}};
    case kDeletedAppointment: return Report{News::kDeleted, Kind::kAppointment, std::string(bytes), 0, {}};
    case kDeletedNote: return Report{News::kDeleted, Kind::kNote, std::string(bytes), 0, {}};
    default: return std::nullopt;
  }
}

uint32_t WholeRecordKind(Kind kind) { return mainapp::kTask + static_cast<uint32_t>(kind); }
uint32_t LinkRecordKind(Kind kind) { return mainapp::kTaskLink + static_cast<uint32_t>(kind); }

Applied ModelTable::Apply(const Report& report) {
  Applied applied;
  if (report.news == News::kDeleted) {
    const std::optional<size_t> gone = FindFirstLearned(report.kind, report.subject);
    if (gone) {
      Remove(*gone);
    } else {
      applied.invented = true;
    }
    return applied;
  }
  std::optional<size_t> known;
  if (report.news == News::kChanged) {
    known = report.linkId != 0 ? FindByLink(report.kind, report.linkId) : std::nullopt;
    if (!known && report.linkId == 0 && CountWithSubject(report.kind, report.subject) == 1) {
      known = FindFirstLearned(report.kind, report.subject);
    }
  }
  if (known) {
    items_[*known].subject = report.subject;
    items_[*known].field = report.field;
    return applied;
  }
  // New to the table: it gets a number of the model's own (a changed item carrying a link id the
  // table does not know keeps that one).
  const int32_t linkId = report.linkId != 0 ? report.linkId : NextLinkId();
  items_.push_back({report.kind, report.subject, linkId, report.field, ++learned_});
  if (report.linkId == 0) applied.linkFor = linkId;
  return applied;
}

int32_t ModelTable::AddOwn(Kind kind, std::string subject, std::string field) {
  const int32_t linkId = NextLinkId();
  items_.push_back({kind, std::move(subject), linkId, std::move(field), ++learned_});
  return linkId;
}

size_t ModelTable::CountWithSubject(Kind kind, std::string_view subject) const {
  return static_cast<size_t>(std::count_if(items_.begin(), items_.end(), [&](const ModelItem& item) {
    return item.kind == kind && SameLetters(item.subject, subject);
  }));
}

std::optional<size_t> ModelTable::FindByLink(Kind kind, int32_t linkId) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].kind == kind && items_[i].linkId == linkId) return i;
  }
  return std::nullopt;
}

std::optional<size_t> ModelTable::FindFirstLearned(Kind kind, std::string_view subject) const {
  std::optional<size_t> first;
  for (size_t i = 0; i < items_.size(); ++i) {
    const ModelItem& item = items_[i];
    if (item.kind != kind || !SameLetters(item.subject, subject)) continue;
    if (!first || item.learned < items_[*first].learned) first = i;
  }
  return first;
}

// --- Inbound records ------------------------------------------------------------------------------

namespace {

// The tests' neutral task and appointment, carrying what the run compares.
std::string TaskSave(std::string_view subject, std::string_view completion, int32_t linkId) {
  namespace field = inbound::taskfield;
  return testcommon::TaskFields()
      .Set(field::kSubject, std::string(subject))
      .Set(field::kFractionComplete, completion == "1.000" ? "1.000" : "0.000")
      .Set(field::kDateCompleted, "not Done")
      .Set(field::kLinkId, std::to_string(linkId))
      .Joined();
}

// The model always sends a location: an empty field cannot be sent.
std::string AppointmentSave(std::string_view subject, std::string_view location, int32_t linkId) {
  namespace field = inbound::appointmentfield;
  return testcommon::AppointmentFields()
      .Set(field::kSubject, std::string(subject))
      .Set(field::kLocation, std::string(location))
      .Set(field::kLinkId, std::to_string(linkId))
      .Joined();
}

}  // namespace

std::string SaveRecord(Kind kind, std::string_view subject, std::string_view field, int32_t linkId) {
  if (kind == Kind::kTask) return TaskSave(subject, field, linkId);
  if (kind == Kind::kAppointment) return AppointmentSave(subject, field, linkId);
  return std::string(subject) + "\t8/12/2026\t" + std::to_string(linkId);
}

std::string ChangeRecord(Kind kind, std::string_view lookupSubject, std::string_view subject, std::string_view field,
                         int32_t linkId) {
  if (kind == Kind::kNote) return std::string(lookupSubject) + '\t' + std::string(subject) + "\t8/12/2026";
  return std::string(lookupSubject) + '\t' + SaveRecord(kind, subject, field, linkId);
}

std::string DoneRecord(bool done, std::string_view subject) {
  return std::string(done ? "Done" : "UnDone") + '\t' + std::string(subject);
}

std::string LinkRecord(std::string_view subject, int32_t linkId) {
  return std::string(subject) + '*' + std::to_string(linkId);
}

// --- Agreement ------------------------------------------------------------------------------------

bool Comparable::operator<(const Comparable& other) const {
  return std::tie(kind, subject, linkId, field) < std::tie(other.kind, other.subject, other.linkId, other.field);
}

bool Comparable::operator==(const Comparable& other) const {
  return std::tie(kind, subject, linkId, field) == std::tie(other.kind, other.subject, other.linkId, other.field);
}

std::string Describe(const Comparable& item) {
  return std::string(KindName(item.kind)) + " \"" + item.subject + "\" link " + std::to_string(item.linkId) +
         (item.field.empty() ? std::string() : " [" + item.field + "]");
}

Disagreement Compare(const std::vector<ModelItem>& model, std::vector<Comparable> outlook) {
  std::vector<Comparable> known;
  for (const ModelItem& item : model) known.push_back({item.kind, item.subject, item.linkId, item.field});
  std::sort(known.begin(), known.end());
  std::sort(outlook.begin(), outlook.end());
  Disagreement result;
  std::set_difference(known.begin(), known.end(), outlook.begin(), outlook.end(),
                      std::back_inserter(result.onlyInModel));
  std::set_difference(outlook.begin(), outlook.end(), known.begin(), known.end(),
                      std::back_inserter(result.onlyInOutlook));
  std::map<std::pair<Kind, int32_t>, int> links;
  for (const Comparable& item : outlook) {
    if (item.linkId != 0 && ++links[{item.kind, item.linkId}] == 2) result.linkIdsTwiceInOutlook.push_back(item.linkId);
  }
  return result;
}

std::string AsRecordText(std::string_view text) {
  std::string result;
  for (const char c : text) {
    if (c == '\0') continue;
    result += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  }
  return result;
}

std::string TextOrNone(std::string_view text) { return text.empty() ? std::string(kNone) : std::string(text); }

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace orvane::soak
