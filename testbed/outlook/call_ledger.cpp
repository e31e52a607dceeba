#include "testbed/outlook/call_ledger.h"

namespace orvane {

namespace outlook_standin {
namespace {

bool Matches(ObjectKind wanted, ObjectKind actual) { return wanted == ObjectKind::Any || wanted == actual; }
bool Matches(CallKind wanted, CallKind actual) { return wanted == CallKind::Any || wanted == actual; }

}  // namespace

CallLedger& Ledger() {
  static CallLedger ledger;
  return ledger;
}

void CallLedger::Count(ObjectKind object, DispId id, CallKind call) {
  ++counts_[Key(object, id, call)];
  ++total_;
  if (busyAfter_ != 0 && id == busyAfter_) BeBusy(busyLength_, 0);
}

long CallLedger::CountOf(ObjectKind object, DispId id, CallKind call) const {
  long sum = 0;
  for (const auto& [key, count] : counts_) {
    const auto& [keyObject, keyId, keyCall] = key;
    if (keyId == id && Matches(object, keyObject) && Matches(call, keyCall)) sum += count;
  }
  return sum;
}

void CallLedger::ResetCounts() {
  counts_.clear();
  total_ = 0;
}

void CallLedger::AddFault(const FaultRule& rule) {
  if (rule.remaining != 0) faults_.push_back(rule);
}

std::optional<FaultRule> CallLedger::TakeFault(ObjectKind object, DispId id, CallKind call) {
  for (auto rule = faults_.begin(); rule != faults_.end(); ++rule) {
    if (rule->id != id || !Matches(rule->object, object) || !Matches(rule->call, call)) continue;
    FaultRule taken = *rule;
    if (rule->remaining != FaultRule::kAlways && --rule->remaining == 0) faults_.erase(rule);
    return taken;
  }
  return std::nullopt;
}

void CallLedger::RefuseCreation(int times, HRESULT result) {
  refusals_ = times < 0 ? FaultRule::kAlways : times;
  refusalResult_ = result;
}

bool CallLedger::TakeRefusal(HRESULT* result) {
  if (refusals_ == 0) return false;
  if (refusals_ > 0) --refusals_;
  *result = refusalResult_;
  return true;
}

void CallLedger::BeBusy(DWORD milliseconds, DispId afterMember) {
  busyLength_ = milliseconds;
  busyAfter_ = afterMember;
  busy_ = milliseconds > 0 && afterMember == 0;
  busyUntil_ = GetTickCount() + milliseconds;
}

bool CallLedger::Busy() {
  if (busy_ && static_cast<LONG>(GetTickCount() - busyUntil_) >= 0) busy_ = false;
  return busy_;
}

void CallLedger::Hide(ObjectKind object, DispId id, bool hidden) {
  if (hidden) {
    hidden_.insert({object, id});
  } else {
    hidden_.erase({object, id});
  }
}

void CallLedger::RecordLogon(std::vector<LogonArgument> arguments) {
  ++logonCount_;
  lastLogon_ = std::move(arguments);
}

void CallLedger::Reset() {
  ResetCounts();
  ClearFaults();
  refusals_ = 0;
  refusalResult_ = CO_E_SERVER_EXEC_FAILURE;
  BeBusy(0, 0);
  hidden_.clear();
  logonCount_ = 0;
  lastLogon_.clear();
}

}  // namespace outlook_standin

}  // namespace orvane
