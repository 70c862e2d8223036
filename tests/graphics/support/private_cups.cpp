#include "graphics/support/private_cups.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "graphics/support/pdf_reader.h"
#include "support/gui_support.h"
#include "support/private_environment.h"

namespace vorn::testing {

namespace {

constexpr const char kCupsd[] = "/usr/sbin/cupsd";

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

}  // namespace

PrivateCups::PrivateCups(const std::vector<std::string>& queues, const std::string& folder) : mQueues(queues) {
  if (access(kCupsd, X_OK) != 0 || access("/usr/sbin/lpadmin", X_OK) != 0) {
    mWhy = "CUPS is not installed";
    return;
  }
  // The process's CUPS clients keep the first server address they are given: the one its
  // surroundings name, whatever server a test starts there.
  mSocket = folder.empty() ? test::PrivateCupsSocket() : folder + "/cups.sock";
  mFolder = mSocket.substr(0, mSocket.rfind('/'));
  test::Shell("rm -rf '" + mFolder + "'");
  if (mkdir(mFolder.c_str(), 0755) != 0) {
    mWhy = "no private folder";
    return;
  }
  for (const std::string& queue : mQueues) {
    // The server writes the device file as its own user, not the test's.
    std::ofstream(Arrived(queue)).close();
    chmod(Arrived(queue).c_str(), 0666);
  }
  for (const char* sub : {"/spool", "/cache", "/state", "/log", "/bin", "/bin/backend"}) {
    mkdir((mFolder + sub).c_str(), 0755);
  }
  // The system's filters and helpers, and a device of the test's own that keeps what it is sent.
  for (const char* sub : {"filter", "daemon", "notifier", "cgi-bin", "driver", "monitor"}) {
    symlink((std::string("/usr/lib/cups/") + sub).c_str(), (mFolder + "/bin/" + sub).c_str());
  }
  const std::string backend = mFolder + "/bin/backend/capture";
  std::ofstream(backend) << R"(#!/bin/sh
[ $# -eq 0 ] && { echo 'file capture "Unknown" "Capture"'; exit 0; }
out="${DEVICE_URI#capture:}"
if [ -n "$6" ]; then cat "$6" > "$out"; else cat > "$out"; fi
)";
  chmod(backend.c_str(), 0755);
  std::ofstream(mFolder + "/cupsd.conf") << "Listen " << mSocket << "\nListen 127.0.0.1:" << FreePort()
                                         << "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n";
  std::ofstream(mFolder + "/cups-files.conf") << "ServerRoot " << mFolder << "\nRequestRoot " << mFolder
                                              << "/spool\nTempDir " << mFolder << "/spool\nCacheDir " << mFolder
                                              << "/cache\nStateDir " << mFolder << "/state\nErrorLog " << mFolder
                                              << "/log/error_log\nAccessLog " << mFolder
                                              << "/log/access_log\nPageLog " << mFolder
                                              << "/log/page_log\nServerBin " << mFolder
                                              << "/bin\nSandboxing relaxed\n";
  const std::string config = mFolder + "/cupsd.conf", files = mFolder + "/cups-files.conf";
  mServer = fork();
  if (mServer == 0) {
    execl(kCupsd, kCupsd, "-f", "-c", config.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // The server is up when its tools reach it.
  for (int tries = 0; tries < 100 && !mReady; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int status = 0;
    if (waitpid(mServer, &status, WNOHANG) == mServer) {
      mServer = -1;
      mWhy = "cupsd ended at start: " + ReadWholeFile(mFolder + "/log/error_log");
      return;
    }
    mReady = access(mSocket.c_str(), F_OK) == 0 && Tool("lpstat -r") == 0;
  }
  if (!mReady) {
    mWhy = "cupsd did not answer";
    return;
  }
  for (const std::string& queue : mQueues) {
    mReady = mReady && Tool("lpadmin -p " + queue + " -E -v capture:" + Arrived(queue)) == 0;
  }
  mReady = mReady && !mQueues.empty() && Tool("lpadmin -d " + mQueues[0]) == 0;
  if (!mReady) mWhy = "the queues could not be added";
}

PrivateCups::~PrivateCups() {
  if (mServer > 0) {
    kill(mServer, SIGTERM);
    int status = 0;
    for (int tries = 0; tries < 50 && waitpid(mServer, &status, WNOHANG) == 0; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (waitpid(mServer, &status, WNOHANG) == 0) {
      kill(mServer, SIGKILL);
      waitpid(mServer, &status, 0);
    }
  }
  if (!mFolder.empty()) test::Shell("rm -rf '" + mFolder + "'");
}

int PrivateCups::Tool(const std::string& arguments) const {
  const std::string command = "CUPS_SERVER='" + mSocket + "' " + arguments + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PrivateCups::WaitUntilIdle(int seconds) const {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    const std::string pending = test::Shell("CUPS_SERVER='" + mSocket + "' lpstat -o 2>/dev/null");
    if (pending.empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

uint32_t PageImage::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return (uint32_t{static_cast<uint8_t>(rgb[at])} << 16) | (static_cast<uint8_t>(rgb[at + 1]) << 8) |
         static_cast<uint8_t>(rgb[at + 2]);
}

std::vector<PageImage> RenderPdfPages(const std::string& path) {
  std::vector<PageImage> pages;
  char folder[] = "/tmp/vorn-pages-XXXXXX";
  if (!mkdtemp(folder)) return pages;
  test::Shell("pdftoppm -r 72 '" + path + "' '" + folder + "/page' 2>/dev/null");
  for (int n = 1;; ++n) {
    // pdftoppm numbers its files with as many digits as the last page needs.
    std::string bytes;
    for (const char* format : {"%s/page-%d.ppm", "%s/page-%02d.ppm", "%s/page-%03d.ppm"}) {
      char name[512];
      std::snprintf(name, sizeof name, format, folder, n);
      bytes = ReadWholeFile(name);
      if (!bytes.empty()) break;
    }
    if (bytes.empty()) break;
    std::istringstream header(bytes);
    std::string magic;
    int width = 0, height = 0, depth = 0;
    header >> magic >> width >> height >> depth;
    header.get();
    const auto start = static_cast<size_t>(header.tellg());
    if (magic != "P6" || depth != 255 || bytes.size() < start + static_cast<size_t>(width) * height * 3) break;
    pages.push_back(PageImage{width, height, bytes.substr(start, static_cast<size_t>(width) * height * 3)});
  }
  test::Shell(std::string("rm -rf '") + folder + "'");
  return pages;
}

}  // namespace vorn::testing
