#include "net/socket_readiness.h"

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "net/tcp_socket.h"

namespace vorn {
namespace readiness_detail {
int gEpoll = -1;
int gWatched = 0;
}  // namespace readiness_detail

namespace {

using readiness_detail::gEpoll;
using readiness_detail::gWatched;
using readiness_detail::kBatch;

// The socket behind each watched descriptor, by descriptor. Reports name the descriptor, not
// the socket: one that closed in between finds nobody here instead of a freed socket. Made by
// the first watch and never destroyed (sockets may close from static destructors).
std::vector<TCPSocket*>* sWatchers = nullptr;

std::vector<TCPSocket*>& Watchers() {
  if (!sWatchers) sWatchers = new std::vector<TCPSocket*>();
  return *sWatchers;
}

// EPOLLRDHUP: without it a peer's end that came with its last bytes would be reported as
// those bytes alone, and once they are read nothing more would be.
constexpr uint32_t kInterest = EPOLLIN | EPOLLOUT | EPOLLPRI | EPOLLRDHUP | EPOLLET;

}  // namespace

Readiness ReadinessOf(uint32_t events) {
  Readiness state;
  state.readable = (events & EPOLLIN) != 0;
  state.writable = (events & EPOLLOUT) != 0;
  state.broken = (events & (EPOLLERR | EPOLLHUP | POLLNVAL)) != 0;
  state.ended = (events & EPOLLRDHUP) != 0;
  state.urgent = (events & EPOLLPRI) != 0;
  return state;
}

bool WatchReadiness(int descriptor, TCPSocket* socket) {
  if (descriptor < 0) return false;
  if (gEpoll < 0) gEpoll = epoll_create1(EPOLL_CLOEXEC);
  epoll_event event{};
  event.events = kInterest;
  event.data.fd = descriptor;
  // Joining reports the state the descriptor is in already (a modification as well).
  bool joined = gEpoll >= 0 && (epoll_ctl(gEpoll, EPOLL_CTL_ADD, descriptor, &event) == 0 ||
                                (errno == EEXIST && epoll_ctl(gEpoll, EPOLL_CTL_MOD, descriptor, &event) == 0));
  if (!joined) return false;
  auto& watchers = Watchers();
  if (watchers.size() <= static_cast<size_t>(descriptor)) watchers.resize(static_cast<size_t>(descriptor) + 1);
  TCPSocket*& watcher = watchers[static_cast<size_t>(descriptor)];
  if (!watcher) ++gWatched;
  watcher = socket;
  return true;
}

void UnwatchReadiness(int descriptor) {
  auto& watchers = Watchers();
  if (descriptor < 0 || static_cast<size_t>(descriptor) >= watchers.size() || !watchers[static_cast<size_t>(descriptor)])
    return;
  watchers[static_cast<size_t>(descriptor)] = nullptr;
  --gWatched;
  // Closing would drop the registration too, unless another process still shares the
  // descriptor (a child between fork and exec).
  if (gEpoll >= 0) epoll_ctl(gEpoll, EPOLL_CTL_DEL, descriptor, nullptr);
}

void DeliverReadiness(const epoll_event* reports, int count) {
  const std::vector<TCPSocket*>& watchers = *sWatchers;
  for (int i = 0; i < count; ++i) {
    auto descriptor = static_cast<size_t>(reports[i].data.fd);
    if (descriptor < watchers.size() && watchers[descriptor])
      watchers[descriptor]->NoteReadiness(ReadinessOf(reports[i].events));
  }
}

void RefreshRemainingReadiness() {
  // Bounded, so that a flood of reports cannot hold the pass.
  epoll_event reports[kBatch];
  for (int round = 1; round < 16; ++round) {
    int count = socket_calls::ReadyNow(gEpoll, reports, kBatch);
    if (count > 0) DeliverReadiness(reports, count);
    if (count < kBatch) return;
  }
}

}  // namespace vorn
