// Compiled window classes on a real display: the display and the test classes, the runtime's
// control-window hooks, error reports captured, and every window closed and released after
// each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strings/runtime_error.h"
#include "windows/runtime_window.h"

namespace vorn::test {

class CompiledWindowTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();

 protected:
  // The window and canvas classes; fixtures that need the container classes add them.
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Held until the test ends, released newest first.
  RuntimeObject* Keep(RuntimeObject* object);
  static RuntimeViewWindow* View(RuntimeObject* window) { return AsWindowFields(window)->view; }
  // Runs `action` on the window once, `milliseconds` from now: how a modal run under test ends.
  static void Later(int milliseconds, void (*action)(RuntimeObject* window), RuntimeObject* window);

 private:
  RuntimeErrorPresenter mPreviousPresenter = nullptr;
  std::vector<RuntimeObject*> mHeld;
};

// The same with the container classes, and windows without canvases of their own.
class ContainerWindowTest : public CompiledWindowTest {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
};

}  // namespace vorn::test
