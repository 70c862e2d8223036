// The main of every test program: the tests run in surroundings of their own.
#include <gtest/gtest.h>

#include <cstring>

#include "support/private_environment.h"

int main(int argc, char** argv) {
  // A death test's child, started again by its parent, has the parent's surroundings already.
  bool deathTestChild = false;
  for (int i = 1; i < argc; ++i) deathTestChild |= std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0;
  if (!deathTestChild) vorn::test::EnterPrivateEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
