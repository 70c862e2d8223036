// A CUPS server of the test's own: its configuration, spool and socket in a private folder,
// listening on that socket and a free local port, with raw queues whose devices (a backend of
// the test's own) each write a file in the folder: the document a job sends is what arrives
// there. By default it is the server this process's CUPS clients ask (PrivateCupsSocket).
// Stopped when it goes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::testing {

class PrivateCups {
 public:
  // Starts the server in `folder` (empty: the one whose socket this process's CUPS clients
  // ask) and adds the queues, the first as the server's default; Ready() says whether that
  // worked, Why() why not.
  explicit PrivateCups(const std::vector<std::string>& queues, const std::string& folder = "");
  ~PrivateCups();
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  bool Ready() const { return mReady; }
  const std::string& Why() const { return mWhy; }
  const std::string& Socket() const { return mSocket; }
  // The queue's device file, empty until a job arrives.
  std::string Arrived(const std::string& queue) const { return mFolder + "/arrived-" + queue; }
  // Runs a CUPS command-line tool against this server; answers its exit status.
  int Tool(const std::string& arguments) const;
  // Waits (at most `seconds`) until the server has no job left pending or printing.
  bool WaitUntilIdle(int seconds) const;

 private:
  std::string mFolder, mSocket, mWhy;
  std::vector<std::string> mQueues;
  pid_t mServer = -1;
  bool mReady = false;
};

// The pages of a PDF file drawn at 72 dots per inch (pdftoppm): width, height and RGB bytes,
// top row first. Empty when the file cannot be drawn.
struct PageImage {
  int width = 0;
  int height = 0;
  std::string rgb;
  uint32_t PixelAt(int x, int y) const;
};
std::vector<PageImage> RenderPdfPages(const std::string& path);

}  // namespace vorn::testing
