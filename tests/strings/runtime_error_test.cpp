#include "strings/runtime_error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gShown;
bool gAnswer = true;

bool RecordingPresenter(const std::string& text) {
  gShown.push_back(text);
  return gAnswer;
}

bool NestingPresenter(const std::string& text) {
  gShown.push_back(text);
  // A report from inside the dialog must not open another one.
  ReportRuntimeError(vorn::kRuntimeErrorKind, 4, "inner", 2, "nested", "");
  return true;
}

class RuntimeErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gShown.clear();
    gAnswer = true;
    mPrevious = vorn::SetRuntimeErrorPresenter(&RecordingPresenter);
  }
  void TearDown() override { vorn::SetRuntimeErrorPresenter(mPrevious); }

  vorn::RuntimeErrorPresenter mPrevious = nullptr;
};

TEST_F(RuntimeErrorTest, ShowsTheExactTextAndGoesOnAfterOK) {
  ReportRuntimeError(vorn::kRuntimeErrorKind, vorn::kErrorFailedAssertion, "../Common/RuntimeMain",
                     1748, "item", "no menu item");
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0],
            "Runtime Error 4: Failed Assertion\nPress OK to Continue\nPress Cancel to Quit.\n\n"
            "Please report what caused this error\nalong with the information below.\n\n"
            "../Common/RuntimeMain: 1748\nFailure Condition: item\nno menu item");
}

TEST_F(RuntimeErrorTest, EveryCodeHasItsText) {
  const char* texts[] = {
      "Plugin TOC Load Failure",    "Invalid Class Definition",  "Unknown Class",
      "Failed Assertion",           "Unable to Write to Handle", "CarbonLib 1.1 or Later Required",
      "Cannot Connect to Debugger", "Unhandled Exception"};
  for (int code = 1; code <= 8; ++code) {
    std::string text = vorn::FormatRuntimeError(code, "f", 1, "c", "m");
    std::string head = "Runtime Error " + std::to_string(code) + ": " + texts[code - 1] + "\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
  }
}

TEST_F(RuntimeErrorTest, UnknownCodesAndMissingTextsStayEmpty) {
  std::string text = vorn::FormatRuntimeError(99, nullptr, -1, nullptr, nullptr);
  EXPECT_EQ(text.substr(0, 18), "Runtime Error 99: ");
  EXPECT_EQ(text.substr(text.size() - 25), ": -1\nFailure Condition: \n");
  EXPECT_EQ(vorn::FormatRuntimeError(0, "f", 1, "c", "m").substr(0, 18), "Runtime Error 0: \n");
  EXPECT_EQ(vorn::FormatRuntimeError(-3, "f", 1, "c", "m").substr(0, 19), "Runtime Error -3: \n");
}

TEST_F(RuntimeErrorTest, CancelEndsTheProgramWithStatusZero) {
  EXPECT_EXIT(
      {
        gAnswer = false;
        ReportRuntimeError(vorn::kRuntimeErrorKind, 7, "debugger", 12, "connected", "");
        std::exit(3);  // not reached when Cancel quits
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(RuntimeErrorTest, AReportDuringAReportGoesToStandardError) {
  vorn::SetRuntimeErrorPresenter(&NestingPresenter);
  ::testing::internal::CaptureStderr();
  ReportRuntimeError(vorn::kRuntimeErrorKind, 4, "outer", 1, "first", "");
  std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_NE(gShown[0].find("outer: 1"), std::string::npos);
  EXPECT_NE(err.find("inner: 2\nFailure Condition: nested"), std::string::npos);
  // And the next report is shown again.
  ReportRuntimeError(vorn::kRuntimeErrorKind, 4, "later", 3, "again", "");
  EXPECT_EQ(gShown.size(), 2u);
}

TEST_F(RuntimeErrorTest, DefaultPresenterWritesToStandardErrorAndGoesOn) {
  EXPECT_EQ(vorn::SetRuntimeErrorPresenter(nullptr), &RecordingPresenter);
  ::testing::internal::CaptureStderr();
  ReportRuntimeError(vorn::kRuntimeErrorKind, 3, "classes", 40, "cls", "Widget");
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Runtime Error 3: Unknown Class\n"), std::string::npos);
  EXPECT_NE(err.find("classes: 40\nFailure Condition: cls\nWidget"), std::string::npos);
  EXPECT_TRUE(gShown.empty());
}

}  // namespace
