#include "accounting/statistics.h"

#include <gtest/gtest.h>

#include "text/text.h"

namespace tolvi {
namespace {

struct ShareCase {
  std::uint32_t total, grand, days;
  const char* shown;
};

TEST(WorkTypeStatistics, ShareIsShownAsAPercentageWithTwoDecimals) {
  for (const ShareCase c :
       {ShareCase{100, 300, 5, "33.33"}, ShareCase{25, 100, 5, "25.0"},
        // The whole stays the whole above 60,000 (the grand total is not
        // cut to whole hundreds of minutes first).
        ShareCase{65'999, 65'999, 5, "100.0"}, ShareCase{4'200'000, 4'200'000, 7, "100.0"},
        ShareCase{100, 0, 5, "0.0"}, ShareCase{100, 300, 0, "0.0"}}) {
    EXPECT_EQ(FormatHours(ShareOf(c.total, c.grand, c.days), 6, TimeStyle::kShare), c.shown)
        << c.total << " of " << c.grand;
  }
}

TEST(WorkTypeStatistics, ShareOfAStaleGrandTotalSaturatesInsteadOfWrapping) {
  // 80,000 * 60,000 does not fit in 32 bits.
  EXPECT_EQ(ShareOf(80'000, 60'000, 3), 80'000u);
  EXPECT_EQ(ShareOf(1'000'000'000u, 120'000, 3), 500'000'000u);
  EXPECT_EQ(ShareOf(0xFFFF'FFFF, 1, 1), 0xFFFF'FFFFu) << "capped at 32 bits";
}

}  // namespace
}  // namespace tolvi
