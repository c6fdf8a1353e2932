#include "accounting/statistics.h"

#include <algorithm>
#include <limits>

namespace tolvi {
namespace {

constexpr std::uint32_t kMsPerTenthMinute = 6'000;

std::uint32_t Saturate(std::uint64_t value) {
  return static_cast<std::uint32_t>(
      std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

std::uint32_t WorkTypeTotal(std::uint32_t stored_total, std::uint32_t today_ms) {
  return stored_total + today_ms / kMsPerTenthMinute;
}

std::optional<std::uint32_t> WorkTypeAverage(std::uint32_t total, std::uint32_t total_days) {
  if (total_days == 0) return std::nullopt;
  return total / total_days;
}

std::uint32_t ShareOf(std::uint32_t total, std::uint64_t base, std::uint32_t total_days) {
  if (base == 0 || total_days == 0) return 0;
  // In 64 bits the product always fits, so the base is never cut down
  // first (which made a whole of more than 60,000 read above 100 %).
  return Saturate(std::uint64_t{total} * kWholeShare / base);
}

}  // namespace tolvi
