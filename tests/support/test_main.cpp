// The main of every test program: the tests run in surroundings of their own.
#include <gtest/gtest.h>

#include "support/private_environment.h"

int main(int argc, char** argv) {
  vorn::test::EnterPrivateEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  vorn::test::LeavePrivateEnvironment();
  return result;
}
