#include "inbound/pattern_writer.h"

#include "base/error_log.h"

namespace orvane::inbound {

namespace {

class TracedSteps {
public:
  explicit TracedSteps(const PatternTraces& traces) : traces_(traces) {}

  template <class Write>
  void Run(PatternStep step, Write write) const {
    Trace(step, TraceAt::Before);
    write();
    Trace(step, TraceAt::After);
  }

private:
  void Trace(PatternStep step, TraceAt at) const {
    for (const PatternTrace& line : traces_.lines) {
      if (line.step == step && line.at == at) WriteLogNumbered(traces_.text, line.number);
    }
  }

  const PatternTraces& traces_;
};

}  // namespace

outlook::DispatchDriver WriteRecurrence(const outlook::DispatchDriver& item, const inbound::Recurrence& recurrence,
                                        const PatternTraces& traces) {
  const TracedSteps steps(traces);
  outlook::DispatchDriver pattern;
  steps.Run(PatternStep::Open, [&] { pattern = item.InvokeForObject(outlook::kGetRecurrencePattern); });
  // The type decides which of the other properties are valid, and setting it resets them.
  steps.Run(PatternStep::Type, [&] { pattern.SetInt32(outlook::kRecurrenceType, recurrence.type); });
  if (const auto mask = recurrence.dayOfWeekMask) {
    steps.Run(PatternStep::DayOfWeekMask, [&] { pattern.SetInt32(outlook::kDayOfWeekMask, *mask); });
  }
  if (const auto interval = recurrence.interval) {
    steps.Run(PatternStep::Interval, [&] { pattern.SetInt32(outlook::kInterval, *interval); });
  }
  if (const auto startDate = recurrence.patternStartDate) {
    steps.Run(PatternStep::StartDate, [&] { pattern.SetDate(outlook::kPatternStartDate, *startDate); });
  }
  if (recurrence.hasEnd == true) {
    steps.Run(PatternStep::EndFlag, [&] { pattern.SetBool(outlook::kNoEndDate, false); });
    if (const auto endDate = recurrence.patternEndDate) {
      steps.Run(PatternStep::EndDate, [&] { pattern.SetDate(outlook::kPatternEndDate, *endDate); });
    }
  } else if (recurrence.hasEnd == false) {
    steps.Run(PatternStep::Endless, [&] { pattern.SetBool(outlook::kNoEndDate, true); });
  }
  return pattern;
}

}  // namespace orvane::inbound
