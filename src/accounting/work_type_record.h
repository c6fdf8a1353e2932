// The work-type record: the schema of "TlvDB.lbf" (14 fields per slot), the
// field numbers every subsystem uses, and the creation of a record and of
// the first-run set of ten. A work type is identified by its slot number.
//
// The functions take the record database the caller owns; the database
// locks each operation itself. Callers that also touch the shared state hold
// its lock as usual.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/status.h"
#include "storage/record_database.h"

namespace tolvi {

// Field numbers of a work-type record (numbers are counted from 1).
namespace work_type_field {
inline constexpr std::uint32_t kName = 1;       // text, at most 59 bytes used
inline constexpr std::uint32_t kTotal = 2;      // closed days, tenths of a minute
inline constexpr std::uint32_t kMaximum = 3;    // most work counted per day, ms
inline constexpr std::uint32_t kToday = 4;      // ms
inline constexpr std::uint32_t kYesterday = 5;  // ms, and so on back:
inline constexpr std::uint32_t kTwoDaysBack = 6;
inline constexpr std::uint32_t kThreeDaysBack = 7;
inline constexpr std::uint32_t kFourDaysBack = 8;
inline constexpr std::uint32_t kFiveDaysBack = 9;
inline constexpr std::uint32_t kSixDaysBack = 10;
inline constexpr std::uint32_t kFirstReserved = 11;  // 11 to 13, always 0
inline constexpr std::uint32_t kLastReserved = 13;
inline constexpr std::uint32_t kNotes = 14;  // text, at most 299 bytes
inline constexpr std::uint32_t kCount = 14;
}  // namespace work_type_field

// Type codes of the 14 fields, field 1 first.
inline constexpr std::array<std::uint32_t, work_type_field::kCount> kWorkTypeFieldTypes = {
    field_type::kText64,   field_type::kNumber32, field_type::kNumber32, field_type::kNumber32,
    field_type::kNumber32, field_type::kNumber32, field_type::kNumber32, field_type::kNumber32,
    field_type::kNumber32, field_type::kNumber32, field_type::kNumber32, field_type::kNumber32,
    field_type::kNumber32, field_type::kText300,
};

inline constexpr std::uint32_t kDefaultMaximumMs = 18000000;  // 300 minutes
inline constexpr std::string_view kNewWorkName = "New Work";
// A new work type's today's time: a few ms, so that it is listed among the
// day's work types while still showing 0:00.
inline constexpr std::uint32_t kNewWorkTodayMs = 5;
inline constexpr int kInitialWorkTypes = 10;
// The placeholder record that keeps a new database writable.
inline constexpr std::int32_t kPlaceholderSlot = 0;

enum class WorkTypeNaming : bool { kKeepNameAndNotes = false, kNamed = true };

// Clears the counters and history, gives the default maximum, and when
// named also the name "New Work", empty notes and kNewWorkTodayMs today.
// Every write is tried; returns the first that failed.
Status InitWorkType(RecordDatabase& records, std::int32_t record_id, bool named);

// Right after CreateWorkTypeDatabase: ten new records named "New Work", the
// placeholder deleted, sorted by name, so they sit in slots 0 to 9. A record
// the database refuses is skipped, and the first failure returned.
Status CreateInitialWorkTypes(RecordDatabase& records);

// Creates (or truncates) the work-type database at path with the 14-field
// schema, opens it writable and takes the placeholder record in slot 0.
Status CreateWorkTypeDatabase(RecordDatabase& records, const std::filesystem::path& path);

}  // namespace tolvi
