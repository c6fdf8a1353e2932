#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "platform/win/wide_text.h"
#include "platform/win/win_autostart.h"
#include "platform/win/win_clock.h"
#include "platform/win/win_collator.h"
#include "platform/win/win_single_instance.h"

namespace tolvi {
namespace {

std::string UniqueName(const std::string& stem) {
  return stem + std::to_string(std::random_device{}());
}

TEST(WinClock, LongDateNamesTheDayMonthAndYear) {
  WinClock clock;
  const std::string date = clock.LongDate(LocalTime{.year = 2026, .month = 12, .day = 6});
  EXPECT_NE(date.find("Sunday"), std::string::npos) << date;
  EXPECT_NE(date.find("December"), std::string::npos) << date;
  EXPECT_NE(date.find("2026"), std::string::npos) << date;
}

TEST(WinCollator, SortsLinguisticallyNotByBytes) {
  const auto collate = WinUserCollator();
  EXPECT_LT(collate("apple", "Banana"), 0);
  EXPECT_LT(collate("\xC3\x84rger", "Banana"), 0);  // "Ärger"
  EXPECT_GT(collate("ab", "a"), 0);
  EXPECT_EQ(collate("same", "same"), 0);
  EXPECT_LT(collate("", "a"), 0);
}

TEST(WinSingleInstance, SecondCopyGivesWayUntilTheFirstEnds) {
  const std::string name = UniqueName("Tolvi.test.");
  std::optional<InstanceMutexResult> first = TryAcquireInstanceMutex(name);
  ASSERT_EQ(first->status, InstanceMutexStatus::kAcquired);
  EXPECT_EQ(TryAcquireInstanceMutex(name).status, InstanceMutexStatus::kHeld);

  int waits = 0;
  const InstanceMutexResult second = AcquireInstanceMutex(name, [&] {
    ++waits;
    first.reset();  // the first copy ends while the second one waits
  });
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(second.status, InstanceMutexStatus::kAcquired);
}

TEST(WinAutostart, WritesTheQuotedCommandAndRemovesIt) {
  const std::string key = "Software\\TolviTest\\" + UniqueName("Run");
  WinAutostart autostart(key, "Tolvi.exe");
  ASSERT_TRUE(autostart.Enable({"C:\\Program Files\\Tolvi\\tolvi.exe", "a\"b", "c\\"}).ok());

  wchar_t value[256] = {};
  DWORD size = sizeof(value);
  ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), L"Tolvi.exe",
                           RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(Utf8FromWide(value), "\"C:\\Program Files\\Tolvi\\tolvi.exe\" \"a\\\"b\" c\\");

  ASSERT_TRUE(autostart.Disable().ok());
  EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), L"Tolvi.exe",
                           RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(autostart.Disable().ok());
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TolviTest");
}

}  // namespace
}  // namespace tolvi
