// What the fuzzers share: a check that ends the run, reading values off the input, comparing dates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "outlook/ole_date.h"

namespace orvane {

namespace fuzz {

// A broken promise ends the run with a crash the fuzzer reports.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// The next value of the input, zero-filled where the input runs out.
template <class T>
T Take(const std::uint8_t*& data, std::size_t& size) {
  T value{};
  const std::size_t count = size < sizeof(T) ? size : sizeof(T);
  std::memcpy(&value, data, count);
  data += count;
  size -= count;
  return value;
}

inline bool Same(const outlook::DateTime& a, const outlook::DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute;
}

}  // namespace fuzz

}  // namespace orvane
