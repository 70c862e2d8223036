// The IDE's side of a debug session for the tests: it listens on a plain socket (TCP on an
// ephemeral port, or the local link's path) on a thread of its own and follows a script.
#pragma once

#include <functional>
#include <string>
#include <thread>

namespace vorn::testing {

class FakeIDE {
 public:
  // Listens at once; the script runs on the IDE's thread after the program connects.
  FakeIDE(bool local, std::function<void(FakeIDE&)> script);
  ~FakeIDE();
  int Port() const { return mPort; }
  // Waits for the script to end.
  void Join();

  void Send(const std::string& line);
  // Ends the link from the IDE's side.
  void Close();
  // The next line without its carriage return; "<timeout>" after ten seconds.
  std::string Next();
  // Lines up to and including the first one that starts with the prefix.
  std::string NextStartingWith(const std::string& prefix, std::string* skipped = nullptr);
  // Makes a breakpoint table of 32 lines, sets the line (8 digits) and runs; the next line.
  std::string RunToBreakpoint(const std::string& line);
  // Asks for the stack: the frame lines go to `frames`; answers the closing line.
  std::string ListStack(std::string* frames);

 private:
  int mListener = -1;
  int mPeer = -1;
  int mPort = 0;
  std::string mPath;
  std::string mBuffer;
  std::thread mThread;
};

}  // namespace vorn::testing
