#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "storage/record_database.h"

namespace tolvi {
namespace {

TEST(RecordDatabase, CollatorFallsBackToByteOrderForAnUnknownLocale) {
  const char* saved = std::getenv("LC_ALL");
  const std::string saved_value = saved != nullptr ? saved : "";
  ::setenv("LC_ALL", "xx_XX.no-such-locale", 1);
  const Collator collate = UserLocaleCollator();
  if (saved != nullptr) {
    ::setenv("LC_ALL", saved_value.c_str(), 1);
  } else {
    ::unsetenv("LC_ALL");
  }
  EXPECT_LT(collate("B", "a"), 0);
  EXPECT_GT(collate("ab", "a"), 0);
  EXPECT_EQ(collate("a", "a"), 0);
}

}  // namespace
}  // namespace tolvi
