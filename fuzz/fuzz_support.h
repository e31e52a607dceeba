// What the fuzzers share: ending the run when a promise is broken, and reading values off the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace orvane {

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// The next sizeof(T) bytes of the input as a T; what the input lacks reads as zero.
template <class T>
T Take(const std::uint8_t*& data, std::size_t& size) {
  T value{};
  const std::size_t count = size < sizeof(T) ? size : sizeof(T);
  std::memcpy(&value, data, count);
  data += count;
  size -= count;
  return value;
}

}  // namespace fuzz

}  // namespace orvane
