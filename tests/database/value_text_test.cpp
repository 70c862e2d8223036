#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "database/db_value_text.h"
#include "support/process_locale.h"

namespace vorn {
namespace {

// A float or double column reads its text as strtod does in the C locale, whichever way the
// text is read and whatever the process locale.
TEST(ValueTextTest, RealTextsReadAsStrtodReadsThem) {
  const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  ASSERT_NE(c, static_cast<locale_t>(nullptr));
  for (const std::string& locale : test::RowLocales()) {
    test::ProcessLocale in(locale);
    ASSERT_TRUE(in.Loaded()) << locale;
    for (const char* text : {"1.5", "-0", "0.1", "1e3", "1.7976931348623157e308", "4.9e-324", "1e400", "-1e-400",
                             " 2.5", "+3", "0x1p4", "1.5kg", "abc", "", ".5", "5.", "inf", "-nan", "00012", "2,5"}) {
      const double expected = strtod_l(text, nullptr, c);
      const double got = DbParseReal(text);
      if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(got)) << text;
      } else {
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << locale << " " << text << ": " << got << " vs " << expected;
      }
    }
  }
  freelocale(c);
}

}  // namespace
}  // namespace vorn
