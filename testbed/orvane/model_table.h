// The model main application's table of items, and the records it reads and writes. It keeps, for
// each item it knows, what the records carry of it: the kind, the subject, its own link id once it
// gave one, and one field the run changes (a task's completion, an appointment's location).
//
// Where the records leave the main application's behaviour open, the model does this:
//  - a new item's record is answered with a link record carrying the next number of its own;
//  - a changed record finds the item by its link id; without one (the link record was not written
//    yet), by its subject when one item bears it; an item found neither way is taken as new;
//  - a deleted record removes, of the items of its kind bearing the subject, the one it learned of
//    first; one that names no item of the table is counted as invented;
//  - its own change, deletion and done commands name only an item whose subject no other item of
//    its kind bears, in the table or in Outlook, since the records find those by subject alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::soak {

enum class Kind { kTask, kAppointment, kNote };
constexpr int kKinds = 3;

// The main application's numbers start above every code page, so that a link id is never taken
// for the one Outlook may keep in InternetCodepage.
constexpr int32_t kFirstLinkId = 100001;

struct ModelItem {
  Kind kind = Kind::kTask;
  std::string subject;   // as the records carry it
  int32_t linkId = 0;    // 0: none given yet
  std::string field;     // task: "1.000" or "0.000"; appointment: the location or "nono"; note: empty
  uint64_t learned = 0;  // the order the table learned of it
};

// What an outbound record says.
enum class News { kNew, kChanged, kDeleted };
struct Report {
  News news = News::kNew;
  Kind kind = Kind::kTask;
  std::string subject;
  int32_t linkId = 0;  // 0 when the record carries none
  std::string field;
};

// The record under an outbound kind (as WM_COPYDATA's dwData carries it); none for a kind the
// plug-in never sends or a record that is not whole.
std::optional<Report> ReadReport(uint32_t dataKind, std::string_view bytes);

// The outbound kind of a report, and the inbound kinds of a whole record and of a link record.
uint32_t WholeRecordKind(Kind kind);
uint32_t LinkRecordKind(Kind kind);

// How a received report changed the table.
struct Applied {
  bool invented = false;           // a deletion that named no item of the table
  std::optional<int32_t> linkFor;  // a link id to give the item (a link record to send)
};

class ModelTable {
public:
  Applied Apply(const Report& report);

  // The model's own writes, applied to the table when the command goes out.
  int32_t AddOwn(Kind kind, std::string subject, std::string field);
  void Remove(size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index)); }

  std::vector<ModelItem>& Items() { return items_; }
  const std::vector<ModelItem>& Items() const { return items_; }
  size_t CountWithSubject(Kind kind, std::string_view subject) const;
  std::optional<size_t> FindByLink(Kind kind, int32_t linkId) const;

private:
  int32_t NextLinkId() { return nextLinkId_++; }
  std::optional<size_t> FindFirstLearned(Kind kind, std::string_view subject) const;

  std::vector<ModelItem> items_;
  int32_t nextLinkId_ = kFirstLinkId;
  uint64_t learned_ = 0;
};

// --- Inbound records ------------------------------------------------------------------------------

// A whole record to save a new item carrying the link id.
std::string SaveRecord(Kind kind, std::string_view subject, std::string_view field, int32_t linkId);
// A change record: finds the item by `lookupSubject` and the link id, and gives it the new values.
std::string ChangeRecord(Kind kind, std::string_view lookupSubject, std::string_view subject, std::string_view field,
                         int32_t linkId);
std::string DoneRecord(bool done, std::string_view subject);
std::string LinkRecord(std::string_view subject, int32_t linkId);

// --- Agreement ------------------------------------------------------------------------------------

// One item as the check compares it: what the records carry of it.
struct Comparable {
  Kind kind = Kind::kTask;
  std::string subject;
  int32_t linkId = 0;
  std::string field;
  bool operator<(const Comparable& other) const;
  bool operator==(const Comparable& other) const;
};
std::string Describe(const Comparable& item);

struct Disagreement {
  std::vector<Comparable> onlyInModel;
  std::vector<Comparable> onlyInOutlook;
  std::vector<int32_t> linkIdsTwiceInOutlook;
  bool Any() const { return !onlyInModel.empty() || !onlyInOutlook.empty() || !linkIdsTwiceInOutlook.empty(); }
};
// The two sides as multisets: each item of one must have its equal in the other.
Disagreement Compare(const std::vector<ModelItem>& model, std::vector<Comparable> outlook);

// The text as a record carries it: TAB, CR and LF become spaces, NUL is left out.
std::string AsRecordText(std::string_view text);
// A text field that is empty goes as "nono".
std::string TextOrNone(std::string_view text);
// Whether two subjects differ at most in the case of their ASCII letters.
bool SameLetters(std::string_view a, std::string_view b);

}  // namespace orvane::soak
