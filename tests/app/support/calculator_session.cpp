#include "app/support/calculator_session.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace vorn::testing {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& errorPath = "",
            const std::vector<std::string>& environment = {}) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  for (const auto& setting : environment) putenv(const_cast<char*>(setting.c_str()));
  if (!errorPath.empty()) {
    if (FILE* out = std::freopen(errorPath.c_str(), "w", stderr)) (void)out;
  }
  if (FILE* in = std::freopen("/dev/null", "r", stdin)) (void)in;
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

void Stop(pid_t* pid) {
  if (*pid <= 0) return;
  kill(*pid, SIGTERM);
  int status;
  for (int i = 0; i < 100 && waitpid(*pid, &status, WNOHANG) == 0; ++i) Pause(20);
  if (waitpid(*pid, &status, WNOHANG) == 0) {
    kill(*pid, SIGKILL);
    waitpid(*pid, &status, 0);
  }
  *pid = 0;
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, separator)) fields.push_back(field);
  return fields;
}

}  // namespace

std::string Run(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  pclose(pipe);
  return output;
}

bool PollUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Pause(100);
  }
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

CalculatorSession::CalculatorSession() {
  if (!std::getenv("DISPLAY")) {
    mProblem = "no X display";
    return;
  }
  if (access("/usr/bin/python3", X_OK) != 0 || Run("/usr/bin/python3 -c 'import pyatspi' 2>&1").size() > 0) {
    mProblem = "the accessibility bindings (python3-pyatspi) are missing";
    return;
  }
  // A session bus of our own, so the accessibility registry the program talks to is ours.
  std::string bus = Run("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null");
  auto lines = Split(bus, '\n');
  if (lines.size() < 2) {
    mProblem = "dbus-daemon could not start a session bus";
    return;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", lines[0].c_str(), 1);
  mBusPid = static_cast<pid_t>(std::atoi(lines[1].c_str()));
  mAccessibilityPid = Spawn({"/usr/libexec/at-spi-bus-launcher", "--launch-immediately"}, "/dev/null");
  Pause(500);
  char path[] = "/tmp/calculator-stderr-XXXXXX";
  int fd = mkstemp(path);
  if (fd >= 0) close(fd);
  mErrorPath = path;
}

CalculatorSession::~CalculatorSession() {
  Stop(&mProgramPid);
  Stop(&mAccessibilityPid);
  if (mBusPid > 0) kill(mBusPid, SIGTERM);  // forked by dbus-daemon itself: not our child
  if (!mErrorPath.empty()) unlink(mErrorPath.c_str());
}

bool CalculatorSession::Launch(const std::string& executable, const std::vector<std::string>& environment) {
  if (!mProblem.empty()) return false;
  if (access(executable.c_str(), X_OK) != 0) {
    mProblem = executable + " has not been built";
    return false;
  }
  setenv("GTK_MODULES", "gail:atk-bridge", 1);
  unsetenv("NO_AT_BRIDGE");
  mProgramPid = Spawn({executable}, mErrorPath, environment);
  return mProgramPid > 0;
}

unsigned long CalculatorSession::WaitForWindow(const std::string& title, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    std::string ids = Run("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    if (!ids.empty()) return std::strtoul(ids.c_str(), nullptr, 10);
    int status;
    if (mProgramPid > 0 && waitpid(mProgramPid, &status, WNOHANG) == mProgramPid) {
      mProgramPid = 0;
      return 0;
    }
    Pause(100);
  }
  return 0;
}

std::string CalculatorSession::ErrorOutput() const {
  std::ifstream in(mErrorPath);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Accessible> CalculatorSession::Accessibles() const {
  std::vector<Accessible> result;
  std::string dump = Run("/usr/bin/python3 " VORN_SOURCE_DIR "/tests/app/support/dump_accessibles.py calculator 2>/dev/null");
  for (const auto& line : Split(dump, '\n')) {
    auto fields = Split(line, '\t');
    if (fields.size() < 6) continue;
    Accessible a;
    a.role = fields[0];
    a.name = fields[1];
    a.x = std::atoi(fields[2].c_str());
    a.y = std::atoi(fields[3].c_str());
    a.width = std::atoi(fields[4].c_str());
    a.height = std::atoi(fields[5].c_str());
    if (fields.size() > 6) a.value = fields[6];
    if (fields.size() > 8) {
      a.textX = std::atoi(fields[7].c_str());
      a.textWidth = std::atoi(fields[8].c_str());
    }
    result.push_back(a);
  }
  return result;
}

std::string CalculatorSession::WaitForLabel(const std::string& prefix, int timeoutMs) const {
  std::string found;
  PollUntil(
      [&] {
        for (const auto& a : Accessibles()) {
          if (a.role == "label" && a.name.rfind(prefix, 0) == 0) {
            found = a.name;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool CalculatorSession::Screenshot(const std::string& path, int x, int y, int width, int height) {
  std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
                         std::to_string(y);
  Run("import -window root -crop " + geometry + " +repage " + path + " 2>/dev/null");
  return access(path.c_str(), R_OK) == 0;
}

long CalculatorSession::DifferentPixels(const std::string& a, const std::string& b) {
  // compare writes the count on standard error.
  std::string out = Run("compare -metric AE " + a + " " + b + " null: 2>&1");
  return std::atol(out.c_str());
}

void CalculatorSession::RequestClose(unsigned long window) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return;
  GdkEventClient event = {};
  event.type = GDK_CLIENT_EVENT;
  event.send_event = TRUE;
  event.message_type = gdk_atom_intern("WM_PROTOCOLS", FALSE);
  event.data_format = 32;
  event.data.l[0] = static_cast<long>(gdk_x11_atom_to_xatom_for_display(display, gdk_atom_intern("WM_DELETE_WINDOW", FALSE)));
  event.data.l[1] = GDK_CURRENT_TIME;
  gdk_event_send_client_message_for_display(display, reinterpret_cast<GdkEvent*>(&event),
                                            static_cast<GdkNativeWindow>(window));
  gdk_display_flush(display);
}

void CalculatorSession::Terminate() const {
  if (mProgramPid > 0) kill(mProgramPid, SIGTERM);
}

int CalculatorSession::WaitForExit(int timeoutMs) {
  if (mProgramPid <= 0) return -1;
  int status = 0;
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (waitpid(mProgramPid, &status, WNOHANG) == mProgramPid) {
      mProgramPid = 0;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    Pause(50);
  }
  Stop(&mProgramPid);
  return -1;
}

}  // namespace vorn::testing
