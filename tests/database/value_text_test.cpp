#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "database/db_value_text.h"

namespace vorn {
namespace {

// A float or double column reads its text as strtod does, whichever way the text is read.
TEST(ValueTextTest, RealTextsReadAsStrtodReadsThem) {
  for (const char* text : {"1.5", "-0", "0.1", "1e3", "1.7976931348623157e308", "4.9e-324", "1e400", "-1e-400",
                           " 2.5", "+3", "0x1p4", "1.5kg", "abc", "", ".5", "5.", "inf", "-nan", "00012"}) {
    const double expected = std::strtod(text, nullptr);
    const double got = DbParseReal(text);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(got)) << text;
    } else {
      EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text << ": " << got << " vs " << expected;
    }
  }
}

}  // namespace
}  // namespace vorn
