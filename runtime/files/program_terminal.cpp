#include "files/program_terminal.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace vorn {

namespace {

// One program at a time holds the terminal: a second one lent it would make the first a
// background job again.
std::atomic<bool> sLentOut{false};

// tcsetpgrp from a process that is not the terminal's foreground would stop it with SIGTTOU,
// unless the calling thread blocks that.
bool SetForeground(int terminal, pid_t group) {
  sigset_t stop, previous;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTTOU);
  pthread_sigmask(SIG_BLOCK, &stop, &previous);
  const bool set = tcsetpgrp(terminal, group) == 0;
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return set;
}

}  // namespace

TerminalLoan::TerminalLoan() {
  const int terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) return;  // no controlling terminal: nothing to stop the program
  mHasTerminal = true;
  if (tcgetpgrp(terminal) == getpgrp() && !sLentOut.exchange(true)) {
    mTerminal = terminal;
  } else {
    close(terminal);
  }
}

TerminalLoan::~TerminalLoan() {
  if (mTerminal < 0) return;
  GiveBack();
  close(mTerminal);
  sLentOut = false;
}

void TerminalLoan::PrepareChild() const {
  if (!mHasTerminal || mTerminal >= 0) return;
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTTIN, &ignore, nullptr);
  sigaction(SIGTTOU, &ignore, nullptr);
}

void TerminalLoan::Lend(pid_t group) {
  if (mTerminal >= 0 && SetForeground(mTerminal, group)) mGroup = group;
}

void TerminalLoan::KeepLent() {
  if (mGroup <= 0) return;
  const pid_t foreground = tcgetpgrp(mTerminal);
  if (foreground == mGroup) {
    // Only the program itself is looked at; it is not reaped here.
    siginfo_t stopped = {};
    if (waitid(P_PID, static_cast<id_t>(mGroup), &stopped, WSTOPPED | WNOHANG | WNOWAIT) != 0 || stopped.si_pid == 0) {
      return;
    }
  } else if (foreground != getpgrp() || !SetForeground(mTerminal, mGroup)) {
    return;  // someone else's now (a shell that stopped this process): left to them
  }
  kill(-mGroup, SIGCONT);
}

void TerminalLoan::GiveBack() {
  if (mGroup <= 0) return;
  const pid_t group = mGroup;
  mGroup = 0;
  // A terminal someone else took meanwhile is theirs.
  if (tcgetpgrp(mTerminal) == group) SetForeground(mTerminal, getpgrp());
}

}  // namespace vorn
