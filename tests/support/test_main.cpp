// The main of every test program: the tests run in surroundings of their own.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/private_environment.h"

// GUI tests run side by side, each on a display that CTest lent it alone
// (scripts/run-gui-tests): "id:<number>,slots:1".
static void TakeLentDisplay() {
  const char* lent = std::getenv("CTEST_RESOURCE_GROUP_0_DISPLAYS");
  if (!lent || std::strncmp(lent, "id:", 3) != 0) return;
  const std::string given = lent + 3;
  setenv("DISPLAY", (":" + given.substr(0, given.find(','))).c_str(), 1);
}

int main(int argc, char** argv) {
  // A death test's child, started again by its parent, has the parent's surroundings already.
  bool deathTestChild = false;
  for (int i = 1; i < argc; ++i) deathTestChild |= std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0;
  if (!deathTestChild) {
    TakeLentDisplay();
    vorn::test::EnterPrivateEnvironment();
  }
  // The locale from the environment, as the program's main takes it: the suite run under a
  // desktop's decimal-comma locale must pass as it does under C.
  std::setlocale(LC_ALL, "");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
