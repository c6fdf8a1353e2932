#include "text/text.h"

#include <algorithm>
#include <array>

namespace tolvi {
namespace {

constexpr std::uint32_t kHundredthsPerHour = 100;

// Windows-1252 bytes 0x80..0x9F as Unicode code points; the five unassigned
// bytes map to the C1 control of the same value, as Windows itself does.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0U) == 0x80U;
}

// Length of the valid UTF-8 sequence at text[pos], or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF are invalid).
std::size_t ValidSequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80U) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80U;
  unsigned char high = 0xBFU;
  if (lead >= 0xC2U && lead <= 0xDFU) {
    length = 2;
  } else if (lead >= 0xE0U && lead <= 0xEFU) {
    length = 3;
    if (lead == 0xE0U) low = 0xA0U;
    if (lead == 0xEDU) high = 0x9FU;
  } else if (lead >= 0xF0U && lead <= 0xF4U) {
    length = 4;
    if (lead == 0xF0U) low = 0x90U;
    if (lead == 0xF4U) high = 0x8FU;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = ValidSequenceLength(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

void AppendCodePoint(std::string& out, char32_t code) {
  const auto put = [&](std::uint32_t value) { out.push_back(static_cast<char>(value)); };
  const auto c = static_cast<std::uint32_t>(code);
  if (c < 0x80U) {
    put(c);
  } else if (c < 0x800U) {
    put(0xC0U | (c >> 6));
    put(0x80U | (c & 0x3FU));
  } else {
    put(0xE0U | (c >> 12));
    put(0x80U | ((c >> 6) & 0x3FU));
    put(0x80U | (c & 0x3FU));
  }
}

void AppendPart(std::string& out, std::uint32_t count, std::string_view unit) {
  if (!out.empty()) out += ", ";
  out += std::to_string(count);
  out += unit;
}

}  // namespace

TimeStyle TimeStyleFor(std::uint32_t decimal_hours) {
  return decimal_hours == 0 ? TimeStyle::kHoursMinutes : TimeStyle::kDecimal;
}

std::string FormatDecimal(std::int32_t value) {
  return std::to_string(value);
}

std::uint32_t ParseDecimal(std::string_view text) {
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c == '\0') break;
    value = value * 10U +
            (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) - std::uint32_t{'0'});
  }
  return value;
}

std::string PathText(const std::filesystem::path& path) {
  try {
    const std::u8string utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
  } catch (const std::exception&) {
    return "(a name that is not valid Unicode)";  // a lone surrogate in a Windows name
  }
}

std::string LowerCaseAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return text;
}

std::string FormatHours(std::uint32_t value, std::uint32_t divisor, TimeStyle style) {
  const std::uint32_t hundredths = value / (divisor == 0 ? 1U : divisor);
  const std::uint32_t whole = hundredths / kHundredthsPerHour;
  std::uint32_t fraction = hundredths - whole * kHundredthsPerHour;
  if (style == TimeStyle::kHoursMinutes) fraction = fraction * 60U / kHundredthsPerHour;

  std::string out = std::to_string(whole);
  out += style == TimeStyle::kHoursMinutes ? ':' : '.';
  if (fraction == 0 && style != TimeStyle::kShare) {
    out += "00";
    return out;
  }
  if (fraction < 10) out += '0';
  if (fraction != 0) out += std::to_string(fraction);
  return out;
}

std::string FormatDuration(std::uint32_t milliseconds, bool short_form) {
  constexpr std::uint32_t kDay = 86400;
  constexpr std::uint32_t kHour = 3600;
  constexpr std::uint32_t kMinute = 60;
  std::uint32_t seconds = milliseconds / 1000U;
  std::string out;
  int parts = 0;

  const std::uint32_t days = seconds / kDay;
  if (days > 0) {
    AppendPart(out, days, " Dys");
    ++parts;
  }
  seconds -= days * kDay;
  const std::uint32_t hours = seconds / kHour;
  if (hours > 0) {
    AppendPart(out, hours, " Hrs");
    if (++parts == 2 && short_form) return out;
  }
  seconds -= hours * kHour;
  const std::uint32_t minutes = seconds / kMinute;
  if (minutes > 0) {
    AppendPart(out, minutes, " Mns");
    if (++parts == 2 && short_form) return out;
  }
  seconds -= minutes * kMinute;
  if (seconds > 0) AppendPart(out, seconds, " Scs");
  return out;
}

std::string FieldText(std::span<const char> field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  return ToUtf8(std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
}

void SetFieldText(std::span<char> field, std::string_view text) {
  if (field.empty()) return;
  const std::string_view stored = TruncateUtf8(text, field.size() - 1);
  std::fill(field.begin(), field.end(), '\0');
  std::copy(stored.begin(), stored.end(), field.begin());
}

std::string_view TruncateUtf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  // A character has at most three continuation bytes; past that the text is
  // not UTF-8 and any cut is as good as another.
  std::size_t cut = max_bytes;
  for (int step = 0; step < 3 && cut > 0; ++step) {
    if (!IsContinuation(static_cast<unsigned char>(text[cut]))) break;
    --cut;
  }
  if (IsContinuation(static_cast<unsigned char>(text[cut]))) cut = max_bytes;
  return text.substr(0, cut);
}

std::string ToUtf8(std::string_view raw) {
  if (IsValidUtf8(raw)) return std::string(raw);
  std::string out;
  out.reserve(raw.size() * 2);
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80U) {
      out.push_back(c);
    } else if (byte < 0xA0U) {
      AppendCodePoint(out, kCp1252High[byte - 0x80U]);
    } else {
      AppendCodePoint(out, static_cast<char32_t>(byte));
    }
  }
  return out;
}

void PadRight(std::string& text, std::size_t length) {
  if (text.size() < length) text.append(length - text.size(), ' ');
}

}  // namespace tolvi
