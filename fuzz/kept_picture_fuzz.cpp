// Feeds arbitrary bytes to the kept pictures' readers. A snapshot that reads writes back to the
// same bytes; the fuzzer also seals its input with a valid trailer, so that the reader behind the
// checksum is reached, and builds journals of whole entries cut anywhere, of which exactly the
// whole ones before the cut must apply, and whose pictures then read back from their snapshot.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "outbound/kept_picture.h"

namespace orvane {
namespace {

using fuzz::Require;
using fuzz::Take;

std::string Sealed(std::string body) {
  const std::uint64_t length = body.size();
  const std::uint64_t checksum = outbound::Checksum(body);
  for (int i = 0; i < 8; ++i) body += static_cast<char>(length >> (8 * i));
  for (int i = 0; i < 8; ++i) body += static_cast<char>(checksum >> (8 * i));
  return body;
}

// What decodes encodes back to the same bytes (a snapshot of an earlier version, without records,
// states or holds, to one of the present version that reads back the same), and any journal
// applies to it without harm.
void CheckSnapshot(std::string_view bytes, std::string_view journal) {
  auto pictures = outbound::DecodeSnapshot(bytes);
  if (!pictures) return;
  const std::string encoded = outbound::EncodeSnapshot(*pictures);
  const std::string_view version = bytes.substr(14, 4);
  if (version == std::string_view("\1\0\0\0", 4) || version == std::string_view("\2\0\0\0", 4) ||
      version == std::string_view("\3\0\0\0", 4)) {
    const auto again = outbound::DecodeSnapshot(encoded);
    Require(again && outbound::EncodeSnapshot(*again) == encoded);
  } else {
    Require(encoded == bytes);
  }
  outbound::ApplyJournal(*pictures, journal);
}

// Entries drawn from the input, for two folders, each applied or not by the cut.
void CheckJournal(const std::uint8_t* data, std::size_t size) {
  outbound::KeptPictures pictures{3, {{"s", "a", {}}, {"s", "b", {}}}, {}, 1};
  std::string journal;
  std::size_t whole = 0;
  const auto cut = Take<std::uint16_t>(data, size);
  while (size > 0) {
    const auto head = Take<std::uint8_t>(data, size);
    const auto idSize = std::min<std::size_t>(Take<std::uint8_t>(data, size) % 8, size);
    outbound::JournalEntry entry;
    entry.kind = head & 1   ? outbound::JournalEntry::Kind::kTaken
                 : head & 8 ? outbound::JournalEntry::Kind::kTakenWithState
                            : outbound::JournalEntry::Kind::kNoReportDue;
    entry.lastModified = head;
    entry.known = idSize;
    entry.folder = (head >> 1) & 1;
    entry.id.assign(reinterpret_cast<const char*>(data), idSize);
    entry.subject = entry.kind != outbound::JournalEntry::Kind::kNoReportDue ? entry.id + "!" : "";
    data += idSize;
    size -= idSize;
    journal += outbound::EncodeJournalEntry(head & 4 ? 2 : 3, entry);
    if (journal.size() <= cut && (head & 4) == 0) ++whole;
  }
  Require(outbound::ApplyJournal(pictures, std::string_view(journal).substr(0, cut)) == whole);
  // The pictures so made read back from their snapshot.
  const std::string bytes = outbound::EncodeSnapshot(pictures);
  const auto back = outbound::DecodeSnapshot(bytes);
  Require(back && outbound::EncodeSnapshot(*back) == bytes);
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view first = input.substr(0, input.size() / 2);
  const std::string_view second = input.substr(input.size() / 2);
  CheckSnapshot(input, {});
  CheckSnapshot(Sealed("OrvanePictures" + std::string(first)), second);
  CheckJournal(data, size);
  return 0;
}
