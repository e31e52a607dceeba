// The one guard around every callback the program implements (window procedures, COM methods,
// Outlook's events): nothing thrown inside may leave it. A caught exception is reported (window
// procedures, event handlers) or becomes the HRESULT a COM caller reads.
#pragma once

#include "base/process_control.h"

#include <windows.h>
#include <oaidl.h>

#include <exception>

namespace orvane {

// Where reports of caught exceptions go; the plug-in sends them to its log. `where` names the
// callback, `what` is the exception's message text, `member` the call that failed (ComError's
// Member, "" when none is known).
using FailureReporter = void (*)(const char* where, const char* what, const char* member) noexcept;
// Installs a reporter; null restores the default (the debugger's output).
void SetFailureReporter(FailureReporter reporter) noexcept;
void ReportFailure(const char* where, const char* what, const char* member = "") noexcept;

// The message text of the exception being handled ("unknown exception" for a non-standard one).
// Only valid inside a catch block.
const char* CurrentExceptionText() noexcept;
// The member whose call failed, of a ComError being handled; "" for any other exception. Only
// valid inside a catch block.
const char* CurrentExceptionMember() noexcept;

// Whether a caught failure is to be told: not once the process has been asked to end, when the
// work under way stops as if the process were gone.
inline bool FailureCounts() noexcept { return !CurrentProcessControl().EndAsked(); }

// Runs body(); an exception is reported as thrown in `where`, and `fallback` is answered.
template <class Result, class Body>
Result Guarded(const char* where, Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    if (FailureCounts()) ReportFailure(where, CurrentExceptionText(), CurrentExceptionMember());
  }
  return fallback;
}

// Runs body() without a result; an exception is reported as thrown in `where`.
template <class Body>
void GuardedCall(const char* where, Body&& body) noexcept {
  try {
    body();
  } catch (...) {
    if (FailureCounts()) ReportFailure(where, CurrentExceptionText(), CurrentExceptionMember());
  }
}

// Runs a timer tick; an exception is handed to `onFailure` with its text and the member whose call
// failed ("" when none is known), which decides what the failure means for the process. Nothing
// thrown by `onFailure` leaves either.
template <class Body, class OnFailure>
void GuardedTick(Body&& body, OnFailure&& onFailure) noexcept {
  try {
    body();
  } catch (...) {
    if (!FailureCounts()) return;
    try {
      onFailure(CurrentExceptionText(), CurrentExceptionMember());
    } catch (...) {
      ReportFailure("GuardedTick", CurrentExceptionText(), CurrentExceptionMember());
    }
  }
}

// The HRESULT that the exception being handled stands for (a ComError's own result,
// E_OUTOFMEMORY for bad_alloc, E_FAIL for any other). With `info` (IDispatch::Invoke's
// EXCEPINFO), the text goes into it and the answer is DISP_E_EXCEPTION. Only valid inside a
// catch block.
HRESULT ComResultOfCurrentException(const char* source, EXCEPINFO* info) noexcept;

// Runs a COM method's body, which answers an HRESULT; an exception becomes its HRESULT.
template <class Body>
HRESULT GuardedComMethod(const char* source, EXCEPINFO* info, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ComResultOfCurrentException(source, info);
  }
}

}  // namespace orvane
