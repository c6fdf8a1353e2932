// Text and number helpers shared by every subsystem: decimal conversion,
// the hours and duration texts shown everywhere, and the fixed,
// zero-terminated UTF-8 fields of the data files. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace tolvi {

// How FormatHours writes its fraction.
enum class TimeStyle : std::uint32_t {
  kHoursMinutes = 0,  // 7:05
  kDecimal = 1,       // 7.08
  kShare = 2,         // 7.08, but a zero fraction prints as 7.0
};

// The style selected by the DecimalHours setting (0 or 1).
TimeStyle TimeStyleFor(std::uint32_t decimal_hours);

// Decimal text of a signed value: "0", "-5", "1000".
std::string FormatDecimal(std::int32_t value);
// Reads decimal digits with 32-bit wrap-around; every byte counts as
// (byte - '0'), so callers pass digits only. "" gives 0.
std::uint32_t ParseDecimal(std::string_view text);
// A path as UTF-8, for the messages the user reads. path::string() would
// give the ANSI code page on Windows, and throw on a character it lacks.
std::string PathText(const std::filesystem::path& path);
// A..Z become a..z; every other byte stays.
std::string LowerCaseAscii(std::string text);

// value / divisor hundredths of an hour as "H:MM", "H.HH" or share style.
// Divisor 36000 for milliseconds, 6 for tenths of a minute; 0 counts as 1.
std::string FormatHours(std::uint32_t value, std::uint32_t divisor, TimeStyle style);
// "1 Dys, 1 Hrs, 1 Mns, 1 Scs"; short_form stops after two parts.
std::string FormatDuration(std::uint32_t milliseconds, bool short_form);

// Fixed text fields (zero-terminated, N bytes). FieldText stops at the first
// zero or at the field's end, and reads bytes that are not valid UTF-8 as
// Windows-1252. SetFieldText stores at most N - 1 bytes, cut at a character
// boundary, and zero-fills the rest.
std::string FieldText(std::span<const char> field);
void SetFieldText(std::span<char> field, std::string_view text);
// The longest prefix of text of at most max_bytes that ends on a UTF-8
// character boundary.
std::string_view TruncateUtf8(std::string_view text, std::size_t max_bytes);
// Valid UTF-8 is returned unchanged; anything else is decoded as Windows-1252.
std::string ToUtf8(std::string_view raw);

// Appends spaces until text is length bytes long; longer text is unchanged.
void PadRight(std::string& text, std::size_t length);

}  // namespace tolvi
