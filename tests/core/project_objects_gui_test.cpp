// A program whose image carries a project-object table, run by the real runtime on a display:
// compiled code reaches its picture and its Dictionary by number.
#include <gtest/gtest.h>

#include <string>

#include "support/gui_support.h"

namespace {

TEST(ProjectObjectsAppTest, CompiledCodeReadsItsProjectObjectsAndPicturesByNumber) {
  std::string program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/project_objects_app";
  std::string log = vorn::test::Shell("cd /tmp && timeout 20 '" + program + "' 2>&1; echo \"exit=$?\"");
  EXPECT_EQ(log.find("FAIL"), std::string::npos) << log;
  for (const char* check : {"ok:picture 1 is the 5x3 bitmap;", "ok:the same object every time;",
                            "ok:object 2 is a Dictionary;", "ok:number 0 is nil;",
                            "ok:one past the table raises;", "ok:a negative number raises;", "done;",
                            "exit=0"}) {
    EXPECT_NE(log.find(check), std::string::npos) << check << " missing from: " << log;
  }
}

}  // namespace
