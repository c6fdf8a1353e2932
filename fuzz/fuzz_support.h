// Helpers shared by the fuzz targets: a reader that draws small arguments
// from the tail of an input, and the check that stops a run on a broken
// invariant. Each target owns its own state; nothing here is global.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi::fuzz {

// Stops the run so the fuzzer saves the input (a plain assert would vanish
// in a release build).
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, what);
  std::abort();
}

#define TOLVI_FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::tolvi::fuzz::Fail(#condition, __FILE__, __LINE__))

// Draws bytes in order; once empty, every draw gives 0 and Empty() is true.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  bool Empty() const { return position_ >= bytes_.size(); }
  std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(bytes_[position_++]); }
  std::uint32_t U32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return value;
  }
  // Up to max_size bytes, the length drawn first.
  std::string Text(std::size_t max_size) {
    const std::size_t size = Byte() % (max_size + 1);
    std::string text;
    while (text.size() < size && !Empty()) text.push_back(static_cast<char>(Byte()));
    return text;
  }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// Splits bytes at every occurrence of separator (the pieces never include it).
inline std::vector<std::string_view> SplitAt(std::string_view bytes, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = bytes.find(separator); at != std::string_view::npos;
       at = bytes.find(separator)) {
    parts.push_back(bytes.substr(0, at));
    bytes.remove_prefix(at + separator.size());
  }
  parts.push_back(bytes);
  return parts;
}

// Whether text is well-formed UTF-8 (no overlong two-byte forms).
inline bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
    } else if (lead >= 0x80) {
      return false;
    }
    if (at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
    }
    at += length;
  }
  return true;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace tolvi::fuzz
