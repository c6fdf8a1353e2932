#include "platform/posix/posix_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tolvi {
namespace {

TEST(PosixClock, LongDateUsesTheCLocaleFormWithoutPadding) {
  ::setenv("LC_ALL", "C", 1);
  PosixClock clock;
  LocalTime date;
  date.year = 2026;
  date.month = 12;
  date.day = 6;
  date.day_of_week = 3;  // wrong on purpose: the weekday comes from the date
  EXPECT_EQ(clock.LongDate(date), "Sunday, 6 December 2026");
  date.day = 16;
  EXPECT_EQ(clock.LongDate(date), "Wednesday, 16 December 2026");
}

TEST(PosixClock, FileTimeHighCountsFrom1601) {
  PosixClock clock;
  // 2020-01-01 begins at 0x01D5C036 in the high word, 2400-01-01 at 0x037FC770.
  EXPECT_GT(clock.FileTimeHigh(), 0x01D5C036u);
  EXPECT_LT(clock.FileTimeHigh(), 0x037FC770u);
}

}  // namespace
}  // namespace tolvi
