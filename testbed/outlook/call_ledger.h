// CallLedger: the stand-in's test controls over calls: what was called how often, which calls are to
// fail with which message, whether creation is refused, when Outlook is busy, which members it
// lacks, and what Logon received.
#pragma once

#include "testbed/outlook/member_table.h"
#include "testbed/outlook/object_model_ids.h"

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace orvane {

namespace outlook_standin {

// Fails the matching calls with DISP_E_EXCEPTION carrying `message` (and `code` as the scode).
// `remaining` is how many calls still fail; kAlways fails every one.
struct FaultRule {
  static constexpr int kAlways = -1;
  ObjectKind object = ObjectKind::Any;
  DispId id = 0;
  CallKind call = CallKind::Any;
  std::wstring message;
  int remaining = 1;
  HRESULT code = E_FAIL;
};

// One argument Logon received: its VARTYPE, its error code when it is VT_ERROR, else its text form.
struct LogonArgument {
  VARTYPE type = VT_EMPTY;
  SCODE error = S_OK;
  std::wstring text;
};

class CallLedger {
public:
  void Count(ObjectKind object, DispId id, CallKind call);
  // Calls served: by DISPID on every object and in every way, or narrowed by object and call kind
  // (ObjectKind::Any and CallKind::Any widen again).
  long CountOf(DispId id) const { return CountOf(ObjectKind::Any, id, CallKind::Any); }
  long CountOf(ObjectKind object, DispId id, CallKind call) const;
  long Total() const { return total_; }
  void ResetCounts();

  void AddFault(const FaultRule& rule);
  // The rule that fails this call, one of its uses spent; no value when the call goes through.
  std::optional<FaultRule> TakeFault(ObjectKind object, DispId id, CallKind call);
  void ClearFaults() { faults_.clear(); }

  // The next `times` creations of the Application object fail (FaultRule::kAlways: all; 0: none).
  void RefuseCreation(int times, HRESULT result);
  // Whether this creation is refused (spending one refusal), and with which HRESULT.
  bool TakeRefusal(HRESULT* result);

  // Busy for `milliseconds`: from now, or, with `afterMember`, from the moment that member has
  // been served (0 ends a spell).
  void BeBusy(DWORD milliseconds, DispId afterMember);
  // Whether a call arriving now is turned away.
  bool Busy();

  // While hidden, the member is unknown to the objects of that kind, to GetIDsOfNames and to Invoke
  // (DISP_E_MEMBERNOTFOUND), as in a version of Outlook without it.
  void Hide(ObjectKind object, DispId id, bool hidden);
  bool Hides(ObjectKind object, DispId id) const { return hidden_.count({object, id}) != 0; }

  void RecordLogon(std::vector<LogonArgument> arguments);
  int LogonCount() const { return logonCount_; }
  const std::vector<LogonArgument>& LastLogon() const { return lastLogon_; }

  // Everything back to the start: no counts, no faults, no refusal, nothing hidden, no Logon seen.
  void Reset();

private:
  using Key = std::tuple<ObjectKind, DispId, CallKind>;
  std::map<Key, long> counts_;
  long total_ = 0;
  std::vector<FaultRule> faults_;
  int refusals_ = 0;
  HRESULT refusalResult_ = CO_E_SERVER_EXEC_FAILURE;
  DWORD busyLength_ = 0;
  DWORD busyUntil_ = 0;
  bool busy_ = false;
  DispId busyAfter_ = 0;
  std::set<std::pair<ObjectKind, DispId>> hidden_;
  int logonCount_ = 0;
  std::vector<LogonArgument> lastLogon_;
};

// The one ledger of the process.
CallLedger& Ledger();

}  // namespace outlook_standin

}  // namespace orvane
