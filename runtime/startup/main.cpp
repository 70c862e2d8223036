// The vorn executable: prepares GTK and the runtime, finds its own file and runs the
// application image appended to it.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/application.h"
#include "base/core_assert.h"
#include "core/image_loader.h"
#include "core/image_resolver.h"
#include "base/resource_manager.h"
#include "base/shutdown_task.h"
#include "base/startup.h"
#include "core/termination.h"
#include "base/ticks.h"
#include "startup/runtime_init.h"
#include "startup/window_loop_hooks.h"
#include "windows/gtk_helper.h"
#include "startup/runtime_window_install.h"

// Last: Xlib defines macros that clash with the runtime's names.
#include <X11/Xlib.h>

namespace {

// Entry 0 of the stored command line names the executable in full once it has been found
// through the search path; the text must outlive every reader.
void RecordExecutablePath(const std::string& path) {
  if (vorn::gArgc < 1 || vorn::gArgv == nullptr || std::strchr(vorn::gArgv[0], '/')) return;
  static std::string stored;
  stored = path;
  vorn::gArgv[0] = stored.data();
}

// Without a display only a console program can run; a GUI one ends as GTK itself would end it.
void RefuseGUIWithoutDisplay() {
  const char* display = g_getenv("DISPLAY");
  std::fprintf(stderr, "vorn: cannot open display: %s\n", display ? display : "");
  std::fflush(stdout);
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorn;
  CurrentTicks();  // ticks count from here
  StoreCommandLine(argc, argv);
  // Before any other Xlib call (GTK's locale set-up makes one): the wait cursor's watcher
  // talks to the X server from a thread of its own.
  XInitThreads();
  gtk_set_locale();
  // Reading the font configuration is the longest single step before the first window; it
  // can overlap opening the display, loading the image and building the window.
  if (const char* display = g_getenv("DISPLAY"); display && *display) StartLoadingFonts();
  // A console program or a daemon runs without a display: windows then raise an exception.
  if (!gtk_init_check(&argc, &argv)) SetGUIApplicationCheck(&RefuseGUIWithoutDisplay);
  // The documents to open are what is left once GTK has taken its own options out.
  StoreCommandLine(argc, argv);
  InitGTKHelper();
  InitRuntime();
  InstallWindowLoopHooks();
  InitRuntimeWindowLayer();

  std::string executablePath = FindExecutablePath(gArgv[0]);
  if (executablePath.empty()) {
    ReportCoreAssertion("../Common/RuntimeMain", 3189, "exeFilePath");
    std::fprintf(stderr, "vorn: cannot find the program's own executable file\n");
    return 1;
  }
  RecordExecutablePath(executablePath);

  InstallTerminationHandlers();

  // The loader runs the shutdown tasks once the image's entry has returned.
  SetImageShutdownHook(&RunShutdownTasks);
  RelocDirectoryResolver resolver;
  std::string error;
  if (!LoadApplicationImage(executablePath, resolver, GetResourceManager(), error)) {
    std::fprintf(stderr, "vorn: %s\n", error.c_str());
    RunShutdownTasks();
    return 1;
  }
  return 0;
}
