#include "inbound/writer_common.h"

#include "base/error_log.h"
#include "outlook/outlook_session.h"

#include <string>

namespace orvane {

namespace {

constexpr char kDateRefused[] = "OrvaneOutlook=>OnTimerException::SetDueDate::";
constexpr size_t kMaxErrorText = 254;

}  // namespace

void LogRecordWithoutSubject(const char* writer) {
  WriteLog((std::string(writer) + ": record without a subject, nothing written").c_str());
}

void LogShortRecord(const char* writer) {
  WriteLog(
      (std::string(writer) + ": short record, the properties of its missing fields were left as they were").c_str());
}

void LogRefusedDate(const AutomationError& error) {
  WriteLog((kDateRefused + std::string(error.what()).substr(0, kMaxErrorText)).c_str());
}

void SetTextIfGiven(const DispatchDriver& item, outlook::DispId id, const std::optional<std::string>& text) {
  if (text) item.SetText(id, *text);
}

DispatchDriver CreateOutlookItem(int32_t itemType) {
  return outlookApp.InvokeForObject(outlook::kCreateItem, Variant::Int32(itemType));
}

void SaveAndClose(const DispatchDriver& item) {
  item.InvokeMethod(outlook::kClose, Variant::Int32(outlook::kCloseSave));
}

}  // namespace orvane
