// Parks arbitrary bytes under arbitrary kinds and claimed sizes and checks the intake's promises:
// nothing is written outside the record buffer (the address sanitizer watches it), a parked
// record is the bytes up to the first zero, and a refused record changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "app/intake.h"

namespace orvane {
namespace {

using fuzz::Require;
using fuzz::Take;

// Mostly the kinds the intake knows and their near misses, else any 64-bit value.
std::uint64_t ChooseKind(std::uint64_t bits) {
  constexpr std::uint64_t kKinds[] = {mainapp::kTask,
                                      mainapp::kAppointment,
                                      mainapp::kNote,
                                      mainapp::kTaskLink,
                                      mainapp::kAppointmentLink,
                                      mainapp::kNoteLink,
                                      0x2BB7B2A9,
                                      0x12BB7B2A6};
  constexpr std::size_t kCount = sizeof kKinds / sizeof kKinds[0];
  return bits % 16 < kCount ? kKinds[bits % 16] : bits;
}

struct IntakeState {
  std::vector<char> buffer;
  std::uint32_t kind;
  int pending;
};

IntakeState Snapshot() {
  return {std::vector<char>(app::recordBuffer, app::recordBuffer + sizeof app::recordBuffer), app::pendingKind,
          app::recordPending};
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::uint64_t kind = ChooseKind(Take<std::uint64_t>(data, size));
  const std::size_t claimed = Take<std::uint16_t>(data, size) % (app::kRecordBufferSize + 1000);
  const bool withData = (Take<std::uint8_t>(data, size) & 1) != 0;
  // The claimed size is always backed by as many bytes, the rest of the input over and over.
  std::vector<char> bytes(claimed, 'x');
  for (std::size_t i = 0; size > 0 && i < claimed; ++i) bytes[i] = static_cast<char>(data[i % size]);
  const char* sent = withData ? bytes.data() : nullptr;

  const IntakeState before = Snapshot();
  const app::Receipt receipt = app::ParkRecord(kind, sent, claimed);
  Require((receipt == app::Receipt::NotAccepted) == !app::IsAcceptedKind(kind));
  if (receipt != app::Receipt::Parked) {
    const IntakeState after = Snapshot();
    Require(after.buffer == before.buffer && after.kind == before.kind && after.pending == before.pending);
    return 0;
  }
  Require(claimed < app::kRecordBufferSize && (sent || claimed == 0));
  const void* zero = claimed ? std::memchr(sent, '\0', claimed) : nullptr;
  const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - sent) : claimed;
  Require((length == 0 || std::memcmp(app::recordBuffer, sent, length) == 0) && app::recordBuffer[length] == '\0');
  Require(app::pendingKind == kind && app::recordPending == 1);
  return 0;
}
