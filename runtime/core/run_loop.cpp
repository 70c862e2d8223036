#include "core/run_loop.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <pthread.h>

#include <algorithm>
#include <vector>

#include "base/background_task.h"
#include "base/core_assert.h"
#include "core/pollable.h"
#include "core/termination.h"
#include "core/thread_scheduler.h"
#include "objects/exceptions.h"

namespace vorn {

namespace {

struct HookEntry {
  RunLoopHook hook;
  void* context;
  bool operator==(const HookEntry&) const = default;
};

constexpr int kStageCount = static_cast<int>(RunLoopStage::kLoopEnded) + 1;

std::vector<HookEntry>& Hooks(RunLoopStage stage) {
  static auto* hooks = new std::vector<HookEntry>[kStageCount];
  return hooks[static_cast<int>(stage)];
}

// Runs the hooks of a stage and answers whether any of them answered true. Walked by index
// against the live list, so a hook that removes hooks never makes the walk read stale entries.
bool RunHooks(RunLoopStage stage) {
  auto& hooks = Hooks(stage);
  bool any = false;
  for (size_t i = 0; i < hooks.size(); ++i) {
    HookEntry entry = hooks[i];
    if (entry.hook(entry.context)) any = true;
  }
  return any;
}

WindowListHooks sWindowHooks;
ApplicationHooks sApplicationHooks;

bool sQuitFlag = false;
bool sMayBlock = true;
bool sRunLoopStarted = false;
bool sInRunLoop = false;

// Static initialisers run on the thread that starts the process.
const pthread_t sMainThread = pthread_self();

void DrainPendingEvents() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

// A dialog that GTK runs in a main loop of its own (the colour and print dialogs) never looks
// at the quit flag and would hold the program until someone answers it: a quit answers it as
// cancelled. Done from an idle source, because only the main thread may touch GTK and the
// dialog's loop is the one that turns then.
gboolean CancelModalDialogs(gpointer) {
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item; item = item->next) g_object_ref(item->data);
  for (GList* item = toplevels; item; item = item->next) {
    GtkWidget* widget = GTK_WIDGET(item->data);
    if (GTK_IS_DIALOG(widget) && gtk_window_get_modal(GTK_WINDOW(widget)) && gtk_widget_get_visible(widget)) {
      gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_CANCEL);
    }
  }
  for (GList* item = toplevels; item; item = item->next) g_object_unref(item->data);
  g_list_free(toplevels);
  return G_SOURCE_REMOVE;
}

}  // namespace

void AddRunLoopHook(RunLoopStage stage, RunLoopHook hook, void* context) {
  if (hook) Hooks(stage).push_back({hook, context});
}

void RemoveRunLoopHook(RunLoopStage stage, RunLoopHook hook, void* context) {
  auto& hooks = Hooks(stage);
  auto found = std::find(hooks.begin(), hooks.end(), HookEntry{hook, context});
  if (found != hooks.end()) hooks.erase(found);
}

void SetWindowListHooks(const WindowListHooks& hooks) { sWindowHooks = hooks; }

bool AnyRuntimeWindowOpen() {
  return sWindowHooks.anyWindowOpen && sWindowHooks.anyWindowOpen();
}

void CloseAllRuntimeWindows() {
  if (sWindowHooks.closeAllWindows) sWindowHooks.closeAllWindows();
}

void SetApplicationHooks(const ApplicationHooks& hooks) { sApplicationHooks = hooks; }

void QuitApplication() {
  if (sApplicationHooks.quit) sApplicationHooks.quit();
}

void ReleaseApplicationObject() {
  if (sApplicationHooks.release) sApplicationHooks.release();
}

void MainLoopIteration() {
  HandlePendingTermination();
  RunHooks(RunLoopStage::kBeforeEvents);
  if (RunHooks(RunLoopStage::kMouseCapture)) {
    DrainPendingEvents();
  } else {
    // Loop-driven tasks run only at the end of an iteration, so the loop must not wait for an
    // event while one exists.
    bool mayBlock = sMayBlock && !AnyLoopDrivenBackgroundTask();
    gtk_main_iteration_do(mayBlock ? TRUE : FALSE);
  }
  // A termination signal wakes the wait above; it is carried out here, outside any handler.
  HandlePendingTermination();
  RunHooks(RunLoopStage::kAfterEvents);
  PollAllPollables();
  RunHooks(RunLoopStage::kAfterPollables);
  ClearUserCancelFlag();
  RunBackgroundTasks(true);
  // An exception still pending here was raised by native code with no compiled caller to see
  // it; it must not surface later in unrelated code.
  if (RuntimeObject* stale = TakePendingException()) {
    RuntimeUnhandledException(stale);
    RuntimeUnlockObject(stale);
  }
  if (!AnyRuntimeWindowOpen() && sInRunLoop && sApplicationHooks.autoQuit &&
      sApplicationHooks.autoQuit()) {
    QuitApplication();
  }
}

void RunMainLoopProc(void (*proc)()) {
  if (proc == nullptr) ReportCoreAssertion("../Common/runtimemainloop", 613, "fp");
  MainLoopIteration();
}

void RunMainLoop() {
  while (!sQuitFlag) RunMainLoopProc(&MainLoopIteration);
  CloseAllRuntimeWindows();
  ReleaseApplicationObject();
}

void RunMainLoopOnce(bool mayBlock) {
  // Only the main thread touches GTK; another runtime thread lets the main thread's next
  // iteration serve the events.
  if (!IsMainThread()) {
    YieldToNextThreadInternal();
    return;
  }
  sMayBlock = mayBlock;
  MainLoopIteration();
  sMayBlock = true;
}

bool GetQuitFlag() { return sQuitFlag; }
void RequestQuit() {
  if (!sQuitFlag) g_idle_add(&CancelModalDialogs, nullptr);
  sQuitFlag = true;
}

bool RunLoopStarted() { return sRunLoopStarted; }
bool InRunLoop() { return sInRunLoop; }

bool IsMainThread() { return pthread_equal(pthread_self(), sMainThread) != 0; }

bool IsCancelKeyEvent(int32_t, int32_t, int32_t) { return false; }
void UpdateMouseCursor() {}

}  // namespace vorn

void RuntimeRun() {
  using namespace vorn;
  if (sRunLoopStarted) return;
  sRunLoopStarted = true;
  sInRunLoop = true;
  RunMainLoop();
  sInRunLoop = false;
  RunHooks(RunLoopStage::kLoopEnded);
}

void RuntimeDoEvents() { vorn::RunMainLoopOnce(false); }
