#include "support/window_manager_display.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/gui_support.h"

namespace vorn::test {

namespace {

pid_t sServer = 0;
pid_t sManager = 0;

void EndBoth() {
  for (pid_t pid : {sManager, sServer}) {
    if (pid <= 0) continue;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  sManager = sServer = 0;
}

// The child dies with the test, however the test ends.
pid_t Spawn(const std::vector<std::string>& argv, int keepFd = -1) {
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(127);
  for (int fd = 3; fd < 1024; ++fd) {
    if (fd != keepFd) close(fd);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

bool ManagerOwnsScreen() {
  return Shell("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos;
}

// The manager announces itself before its event loop runs, and a window mapped in between may
// never be managed. A probe window mapped until the manager shows it proves the loop is turning.
bool ManagerShowsAWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  ::Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
  bool shown = false;
  for (int tries = 0; tries < 200 && !shown; ++tries) {
    if (tries % 20 == 0) {
      XUnmapWindow(display, probe);
      XMapWindow(display, probe);
      XFlush(display);
    }
    usleep(50 * 1000);
    XWindowAttributes attributes;
    shown = XGetWindowAttributes(display, probe, &attributes) && attributes.map_state == IsViewable;
  }
  XDestroyWindow(display, probe);
  XCloseDisplay(display);
  return shown;
}

// -noreset: a server starts afresh whenever its last client leaves, and the first to leave is
// the xprop that looks for the window manager, which drops the manager's connection made
// meanwhile ("openbox ended at once"), more often on a loaded machine. An attempt that fails
// all the same ends both and starts afresh, saying why. -r: no key repeats, as on the servers of
// scripts/run-gui-tests.
std::string StartOnce() {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe for the display number";
  sServer = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-ac",
                   "-nolisten", "tcp", "-noreset", "-r"},
                  fds[1]);
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) return "Xvfb did not start";
  setenv("DISPLAY", (":" + number).c_str(), 1);
  sManager = Spawn({"openbox", "--sm-disable"});
  for (int i = 0; i < 200; ++i) {
    if (ManagerOwnsScreen()) return ManagerShowsAWindow() ? "" : "openbox took the screen but showed no window within 10 s";
    if (waitpid(sManager, nullptr, WNOHANG) == sManager) {
      sManager = 0;
      return "openbox ended at once on display :" + number + " (is it installed?)";
    }
    usleep(50 * 1000);
  }
  return "openbox did not take the screen within 10 s";
}

}  // namespace

std::string StartDisplayWithWindowManager() {
  if (sServer) return "";
  std::atexit(EndBoth);
  std::string failure;
  for (int attempt = 1; attempt <= 3; ++attempt) {
    failure = StartOnce();
    if (failure.empty()) return "";
    std::fprintf(stderr, "display with a window manager, attempt %d: %s\n", attempt, failure.c_str());
    EndBoth();
  }
  return failure;
}

}  // namespace vorn::test
