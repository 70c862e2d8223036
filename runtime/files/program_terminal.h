// The terminal of a program the file layer runs and waits for. That program runs in a process
// group of its own (so that it ends with everything it started), which the terminal treats as a
// background job: reading or setting the terminal would stop it (SIGTTIN, SIGTTOU) where nobody
// continues it. So while this process is the terminal's foreground, the program's group is
// lent the foreground for its run and it is taken back after; otherwise the program runs with
// those two signals ignored, so that reading the terminal fails (EIO) instead of stopping it.
#pragma once

#include <sys/types.h>

namespace vorn {

class TerminalLoan {
 public:
  // Before the fork: whether this process has a controlling terminal whose foreground it is,
  // and no other program holds it lent meanwhile.
  TerminalLoan();
  // Takes the terminal back, if lent.
  ~TerminalLoan();
  TerminalLoan(const TerminalLoan&) = delete;
  TerminalLoan& operator=(const TerminalLoan&) = delete;

  // In the child, before the exec (async-signal-safe): a program that is not lent the terminal
  // gets an error from it instead of being stopped.
  void PrepareChild() const;
  // In the parent, once the child's group stands and before the child runs anything.
  void Lend(pid_t group);
  // While the program is waited for: a group stopped while it held the terminal (Ctrl-Z), or
  // one whose terminal was taken meanwhile and has come back to this process, is given the
  // terminal again and continued, instead of being waited for while it is stopped.
  void KeepLent();

 private:
  // Gives the terminal back to this process's group, unless someone else took it meanwhile.
  void GiveBack();

  bool mHasTerminal = false;
  int mTerminal = -1;  // open while this process may lend the terminal
  pid_t mGroup = 0;    // the group lent the terminal
};

}  // namespace vorn
