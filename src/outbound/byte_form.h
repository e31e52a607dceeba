// The plain byte forms the kept pictures are written in: little-endian fixed numbers, LEB128
// varints in their shortest form, and texts as their length and bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::outbound {

// Appends numbers and texts in their byte forms.
class Writer {
public:
  void Byte(std::uint8_t value) { bytes_ += static_cast<char>(value); }
  void Fixed(std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Varint(std::uint64_t value) {
    for (; value >= 0x80; value >>= 7) Byte(static_cast<std::uint8_t>(value | 0x80));
    Byte(static_cast<std::uint8_t>(value));
  }
  void Text(std::string_view text) {
    Varint(text.size());
    bytes_ += text;
  }
  void Raw(std::string_view raw) { bytes_ += raw; }
  std::string& Bytes() { return bytes_; }

private:
  std::string bytes_;
};

// Reads from the bytes given and never past them; a read that would fails, and so do all after it.
class Reader {
public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}

  bool AtEnd() const { return rest_.empty(); }
  std::size_t Remaining() const { return rest_.size(); }

  std::optional<std::uint8_t> Byte() {
    if (rest_.empty()) return std::nullopt;
    const auto value = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return value;
  }
  std::optional<std::uint64_t> Fixed(int size) {
    if (rest_.size() < static_cast<std::size_t>(size)) return std::nullopt;
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
      value |= std::uint64_t{static_cast<std::uint8_t>(rest_[static_cast<std::size_t>(i)])} << (8 * i);
    rest_.remove_prefix(static_cast<std::size_t>(size));
    return value;
  }
  // At most ten bytes; a longer form than needed (a last byte of zero) is refused.
  std::optional<std::uint64_t> Varint() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const auto byte = Byte();
      if (!byte) return std::nullopt;
      const std::uint64_t bits = *byte & 0x7Fu;
      if (shift == 63 && bits > 1) return std::nullopt;
      value |= bits << shift;
      if ((*byte & 0x80u) == 0) {
        if (*byte == 0 && shift > 0) return std::nullopt;
        return value;
      }
    }
    return std::nullopt;
  }
  // A count of things each at least minSize bytes long, which the rest must be able to hold.
  std::optional<std::size_t> Count(std::size_t minSize) {
    const auto count = Varint();
    if (!count || *count > rest_.size() / minSize) return std::nullopt;
    return static_cast<std::size_t>(*count);
  }
  std::optional<std::string_view> Text() {
    const auto size = Count(1);
    if (!size) return std::nullopt;
    const std::string_view text = rest_.substr(0, *size);
    rest_.remove_prefix(*size);
    return text;
  }

private:
  std::string_view rest_;
};

}  // namespace orvane::outbound
