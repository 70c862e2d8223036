#include "net/support/fake_ide.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "net/debugger_connection.h"

namespace vorn::testing {

FakeIDE::FakeIDE(bool local, std::function<void(FakeIDE&)> script) {
  if (local) {
    mPath = DebuggerSocketPath();
    unlink(mPath.c_str());
    mListener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, mPath.c_str(), sizeof address.sun_path - 1);
    bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  } else {
    mListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
  }
  listen(mListener, 1);
  mThread = std::thread([this, script = std::move(script)] {
    pollfd entry{mListener, POLLIN, 0};
    if (poll(&entry, 1, 10000) != 1) return;
    mPeer = accept(mListener, nullptr, nullptr);
    script(*this);
  });
}

FakeIDE::~FakeIDE() {
  Join();
  if (mPeer >= 0) close(mPeer);
  close(mListener);
  if (!mPath.empty()) unlink(mPath.c_str());
}

void FakeIDE::Join() {
  if (mThread.joinable()) mThread.join();
}

void FakeIDE::Send(const std::string& line) {
  std::string bytes = line + "\r";
  (void)!write(mPeer, bytes.data(), bytes.size());
}

void FakeIDE::Close() {
  close(mPeer);
  mPeer = -1;
}

std::string FakeIDE::Next() {
  for (;;) {
    size_t end = mBuffer.find('\r');
    if (end != std::string::npos) {
      std::string line = mBuffer.substr(0, end);
      mBuffer.erase(0, end + 1);
      return line;
    }
    pollfd entry{mPeer, POLLIN, 0};
    if (poll(&entry, 1, 10000) != 1) return "<timeout>";
    char chunk[4096];
    ssize_t count = read(mPeer, chunk, sizeof chunk);
    if (count <= 0) return "<closed>";
    mBuffer.append(chunk, static_cast<size_t>(count));
  }
}

std::string FakeIDE::NextStartingWith(const std::string& prefix, std::string* skipped) {
  for (;;) {
    std::string line = Next();
    if (line.rfind(prefix, 0) == 0 || line[0] == '<') return line;
    if (skipped) *skipped += line + "\n";
  }
}

std::string FakeIDE::RunToBreakpoint(const std::string& line) {
  Send("BRLA 00000020");
  Send("BR " + line);
  Send("RUN ");
  return Next();
}

std::string FakeIDE::ListStack(std::string* frames) {
  Send("SC ");
  return NextStartingWith("SC", frames);
}

}  // namespace vorn::testing
