#include "outbound/delivery_rule.h"

#include "mainapp/kinds.h"
#include "mainapp/record_text.h"

#include <string>

namespace orvane::outbound {

namespace {

// A refusal for a hung receiver comes at once; a send that lasted this long may have been taken.
constexpr std::uint32_t kAtOnceMs = 500;

bool IsDeletion(std::uint32_t kind) {
  return kind == mainapp::kDeletedNote || kind == mainapp::kDeletedAppointment || kind == mainapp::kDeletedTask;
}

bool IsChange(std::uint32_t kind) {
  return kind == mainapp::kChangedTask || kind == mainapp::kChangedAppointment || kind == mainapp::kChangedNote;
}

// The subject as the comparison sees it: its record text, ASCII letters in lower case, every byte
// beyond ASCII (a letter of the code page, or part of one, in any case) as one and the same.
std::string LooseSubject(std::string_view subject) {
  std::string loose = mainapp::OutboundText(subject);
  for (char& c : loose) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      c = '\x80';
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return loose;
}

}  // namespace

SendOutcome OutcomeOfSend(bool answered, std::uint32_t elapsedMs, std::uint32_t timeoutMs, bool receiverHung) {
  if (answered) return SendOutcome::kTaken;
  if (receiverHung) return SendOutcome::kRefused;
  const std::uint32_t atOnce = timeoutMs < kAtOnceMs ? timeoutMs / 2 : kAtOnceMs;
  return elapsedMs < atOnce ? SendOutcome::kRefused : SendOutcome::kTimedOut;
}

bool SafeToRepeat(std::uint32_t kind, bool subjectElsewhere) {
  return IsChange(kind) || (IsDeletion(kind) && !subjectElsewhere);
}

bool SubjectElsewhere(const FolderPicture& picture, std::string_view subject, std::string_view goneId) {
  const std::string sought = LooseSubject(subject);
  for (const Entry& entry : picture.Entries()) {
    if (entry.id != goneId && LooseSubject(entry.subject) == sought) return true;
  }
  return false;
}

AfterSend DecideAfterSend(SendOutcome outcome, bool safeToRepeat, std::uint32_t timeOutsBefore) {
  switch (outcome) {
    case SendOutcome::kTaken: return AfterSend::kDelivered;
    case SendOutcome::kNotThere:
    case SendOutcome::kRefused: return AfterSend::kSendAgain;
    case SendOutcome::kTimedOut: break;
  }
  return safeToRepeat && timeOutsBefore < kTimeOutsSentAgain ? AfterSend::kSendAgain : AfterSend::kCountedDelivered;
}

}  // namespace orvane::outbound
