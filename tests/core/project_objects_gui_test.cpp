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

// The real runtime with a cut image, started from a folder holding the .dat files of another
// image: it refuses to start and runs none of them.
TEST(ProjectObjectsAppTest, ACutProgramRunsNoPlantedFilesAndSaysTheImageIsDamaged) {
  std::string program = std::string(VORN_BINARY_DIR) + "/tests/core/startup_images/project_objects_app";
  std::string planted = std::string(VORN_BINARY_DIR) + "/tests/core/images/basic_dat";
  std::string log = vorn::test::Shell(
      "d=$(mktemp -d) && cp '" + planted + "'/*.dat \"$d\" && head -c -100 '" + program + "' > \"$d/cut\" && "
      "chmod +x \"$d/cut\" && cd \"$d\" && timeout 20 ./cut 2>&1; echo \"exit=$?\"; rm -rf \"$d\"");
  EXPECT_NE(log.find("vorn: The image is damaged: "), std::string::npos) << log;
  EXPECT_NE(log.find("exit=1"), std::string::npos) << log;
  EXPECT_EQ(log.find("not exported"), std::string::npos) << "the planted image ran: " << log;
}

}  // namespace
