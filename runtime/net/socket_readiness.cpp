#include "net/socket_readiness.h"

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "net/tcp_socket.h"

namespace vorn {
namespace {

int sEpoll = -1;
int sWatched = 0;
// The socket behind each watched descriptor, by descriptor. Reports name the descriptor, not
// the socket: one that closed in between finds nobody here instead of a freed socket.
std::vector<TCPSocket*>& Watchers() {
  static auto* watchers = new std::vector<TCPSocket*>();
  return *watchers;
}

constexpr uint32_t kInterest = EPOLLIN | EPOLLOUT | EPOLLPRI | EPOLLET;

}  // namespace

Readiness ReadinessOf(uint32_t events) {
  Readiness state;
  state.readable = (events & EPOLLIN) != 0;
  state.writable = (events & EPOLLOUT) != 0;
  state.broken = (events & (EPOLLERR | EPOLLHUP | POLLNVAL)) != 0;
  state.urgent = (events & EPOLLPRI) != 0;
  return state;
}

bool WatchReadiness(int descriptor, TCPSocket* socket) {
  if (descriptor < 0) return false;
  if (sEpoll < 0) sEpoll = epoll_create1(EPOLL_CLOEXEC);
  epoll_event event{};
  event.events = kInterest;
  event.data.fd = descriptor;
  // Joining reports the state the descriptor is in already (a modification as well).
  bool joined = sEpoll >= 0 && (epoll_ctl(sEpoll, EPOLL_CTL_ADD, descriptor, &event) == 0 ||
                                (errno == EEXIST && epoll_ctl(sEpoll, EPOLL_CTL_MOD, descriptor, &event) == 0));
  if (!joined) return false;
  auto& watchers = Watchers();
  if (watchers.size() <= static_cast<size_t>(descriptor)) watchers.resize(static_cast<size_t>(descriptor) + 1);
  TCPSocket*& watcher = watchers[static_cast<size_t>(descriptor)];
  if (!watcher) ++sWatched;
  watcher = socket;
  return true;
}

void UnwatchReadiness(int descriptor) {
  auto& watchers = Watchers();
  if (descriptor < 0 || static_cast<size_t>(descriptor) >= watchers.size() || !watchers[static_cast<size_t>(descriptor)])
    return;
  watchers[static_cast<size_t>(descriptor)] = nullptr;
  --sWatched;
  // Closing would drop the registration too, unless another process still shares the
  // descriptor (a child between fork and exec).
  if (sEpoll >= 0) epoll_ctl(sEpoll, EPOLL_CTL_DEL, descriptor, nullptr);
}

void RefreshReadiness() {
  if (sEpoll < 0 || sWatched == 0) return;
  constexpr int kBatch = 64;
  epoll_event events[kBatch];
  auto& watchers = Watchers();
  // A full batch may have left reports behind: they stay queued, but this pass should see
  // them. Bounded, so that a flood of reports cannot hold the pass.
  for (int round = 0; round < 16; ++round) {
    int count = epoll_wait(sEpoll, events, kBatch, 0);
    for (int i = 0; i < count; ++i) {
      auto descriptor = static_cast<size_t>(events[i].data.fd);
      if (descriptor < watchers.size() && watchers[descriptor])
        watchers[descriptor]->NoteReadiness(ReadinessOf(events[i].events));
    }
    if (count < kBatch) return;
  }
}

}  // namespace vorn
