// Writing a record's recurrence block into an item's recurrence pattern, with the trace lines
// a writer logs around the writes.
#pragma once

#include "inbound/record_layout.h"
#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <vector>

namespace orvane::inbound {

// The steps of writing a pattern, in the order they are made.
enum class PatternStep { Open, Type, DayOfWeekMask, Interval, StartDate, EndFlag, EndDate, Endless };
enum class TraceAt { Before, After };

struct PatternTrace {
  PatternStep step;
  TraceAt at;
  int32_t number;
};

// A writer's trace lines: the text before the number, and the numbers at their steps.
struct PatternTraces {
  const char* text = nullptr;
  std::vector<PatternTrace> lines;
};

// Opens the item's recurrence pattern and writes the recurrence into it in the order Outlook asks
// for: the type first (setting it resets the pattern's other properties), then the days of the
// week and the interval, then the pattern's dates (a mask written after them resets them).
// Answers the pattern.
outlook::DispatchDriver WriteRecurrence(const outlook::DispatchDriver& item, const inbound::Recurrence& recurrence,
                                        const PatternTraces& traces = {});

}  // namespace orvane::inbound
