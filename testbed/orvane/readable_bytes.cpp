#include "testbed/orvane/readable_bytes.h"

#include "mainapp/kinds.h"

#include <cstdio>

namespace orvane {

namespace standin {

std::string ReadableBytes(std::string_view bytes) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      shown += "\\\\";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (byte >= 0x20 && byte <= 0x7E) {
      shown += c;
    } else {
      shown += "\\x";
      shown += kHexDigits[byte >> 4];
      shown += kHexDigits[byte & 0x0F];
    }
  }
  return shown;
}

const char* KindName(std::uintptr_t kind) {
  static const struct {
    std::uintptr_t kind;
    const char* name;
  } kNames[] = {
      {mainapp::kTask, "new task"},
      {mainapp::kAppointment, "new appointment"},
      {mainapp::kNote, "new note"},
      {mainapp::kChangedTask, "changed task"},
      {mainapp::kChangedAppointment, "changed appointment"},
      {mainapp::kChangedNote, "changed note"},
      {mainapp::kDeletedNote, "deleted note"},
      {mainapp::kDeletedAppointment, "deleted appointment"},
      {mainapp::kDeletedTask, "deleted task"},
  };
  for (const auto& entry : kNames) {
    if (entry.kind == kind) return entry.name;
  }
  return "unknown kind";
}

std::string CopyDataLine(std::uintptr_t kind, std::uintptr_t sender, std::string_view bytes) {
  char head[160];
  std::snprintf(head, sizeof head,
                "WM_COPYDATA kind=0x%08llX (%s) bytes=%zu sender=0x%llX data=", static_cast<unsigned long long>(kind),
                KindName(kind), bytes.size(), static_cast<unsigned long long>(sender));
  return head + ReadableBytes(bytes);
}

}  // namespace standin

}  // namespace orvane
