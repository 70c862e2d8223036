#include "strings/locale_separators.h"

#include <gtest/gtest.h>

#include "support/process_locale.h"

namespace {

TEST(LocaleSeparators, CLocaleFallsBackToCommaAndPoint) {
  // The C locale has no thousands separator of its own.
  vorn::test::ProcessLocale c("C");
  vorn::string thousands, decimal, date, time;
  vorn::GetLocaleSeparators(&thousands, &decimal, &date, &time);
  EXPECT_EQ(thousands.View(), ",");
  EXPECT_EQ(decimal.View(), ".");
  EXPECT_EQ(date.View(), "/");
  EXPECT_EQ(time.View(), ":");
  EXPECT_EQ(thousands.Encoding(), vorn::kEncodingUTF8);
  EXPECT_EQ(time.Encoding(), vorn::kEncodingUTF8);
}

TEST(LocaleSeparators, FillsOnlyWhatIsAskedFor) {
  vorn::string decimal("unchanged");
  vorn::string time;
  vorn::GetLocaleSeparators(nullptr, nullptr, nullptr, &time);
  EXPECT_EQ(time.View(), ":");
  vorn::GetLocaleSeparators(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(decimal.View(), "unchanged");
}

}  // namespace
