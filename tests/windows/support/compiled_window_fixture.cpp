#include "windows/support/compiled_window_fixture.h"

#include <gtk/gtk.h>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/support/container_test_classes.h"
#include "windows/support/window_test_classes.h"

namespace vorn::test {

namespace {

bool CaptureReport(const std::string& text) {
  CompiledWindowTest::Reports().push_back(text);
  return true;
}

struct LaterAction {
  void (*action)(RuntimeObject* window);
  RuntimeObject* window;
};

}  // namespace

std::vector<std::string>& CompiledWindowTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

void CompiledWindowTest::SetUpTestSuite() {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display";
  EnsureTestClasses();
}

void CompiledWindowTest::SetUp() {
  InstallControlWindowHooks();  // other fixtures of the program install their own
  mPreviousPresenter = SetRuntimeErrorPresenter(&CaptureReport);
  Reports().clear();
  EventLog().clear();
  Script() = WindowScript();
}

void CompiledWindowTest::TearDown() {
  CloseAllWindows();
  Pump(20);
  for (auto it = mHeld.rbegin(); it != mHeld.rend(); ++it) RuntimeUnlockObject(*it);
  mHeld.clear();
  RuntimeUnlockObject(TakePendingException());
  SetRuntimeErrorPresenter(mPreviousPresenter);
}

RuntimeObject* CompiledWindowTest::Keep(RuntimeObject* object) {
  mHeld.push_back(object);
  return object;
}

void CompiledWindowTest::Later(int milliseconds, void (*action)(RuntimeObject* window), RuntimeObject* window) {
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, static_cast<guint>(milliseconds),
      [](gpointer data) -> gboolean {
        auto* later = static_cast<LaterAction*>(data);
        later->action(later->window);
        return FALSE;
      },
      new LaterAction{action, window}, [](gpointer data) { delete static_cast<LaterAction*>(data); });
}

void ContainerWindowTest::SetUpTestSuite() {
  CompiledWindowTest::SetUpTestSuite();
  EnsureContainerTestClasses();
}

void ContainerWindowTest::SetUp() {
  CompiledWindowTest::SetUp();
  EnsureContainerTestClasses();
  Script().canvasCount = 0;
}

}  // namespace vorn::test
