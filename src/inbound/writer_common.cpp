#include "inbound/writer_common.h"

#include "app/error_log.h"

#include <string>

namespace orvane {

void LogRecordWithoutSubject(const char* writer) {
  WriteLog((std::string(writer) + ": record without a subject, nothing written").c_str());
}

void LogShortRecord(const char* writer) {
  WriteLog(
      (std::string(writer) + ": short record, the properties of its missing fields were left as they were").c_str());
}

void SaveAndClose(const DispatchDriver& item) {
  item.InvokeMethod(outlook::kClose, Variant::Int32(outlook::kCloseSave));
}

}  // namespace orvane
