// What the kernel has news of for the stream sockets, learned for all of them with one call
// (one epoll set for the whole layer) instead of one poll per socket.
//
// The set is edge-triggered: a report carries the descriptor's whole state at that moment and
// the socket keeps it until one of its own calls says otherwise (a receive, send or accept
// answering EAGAIN or taking less than it could). So a socket that stops reading at its
// receive bound still knows bytes wait when the program reads, without a new report.
// A peer's end of stream is part of that state: bytes and the end that arrive together make
// one report, and the receive that empties the queue of bytes leaves the end to be read.
#pragma once

#include <sys/epoll.h>

#include <cstdint>

#include "net/socket_calls.h"

namespace vorn {

class TCPSocket;

// What one report says of a descriptor.
struct Readiness {
  bool readable = false;
  bool writable = false;
  bool broken = false;  // hung up or failed: reads and writes answer at once
  // The peer sends no more: reads answer at once, with what is left and then the end. Kept
  // apart from readable, which a receive that empties the queue clears.
  bool ended = false;
  bool urgent = false;  // out-of-band bytes arrived

  // Whether a receive would answer now, with bytes, the end of the stream or a failure.
  bool ReadAnswers() const { return readable || ended || broken; }
};

// The socket hears of its descriptor from the next refresh on; false when the kernel refused
// (the socket then asks for itself, ReadinessOf a poll's events).
bool WatchReadiness(int descriptor, TCPSocket* socket);
// Before the descriptor closes.
void UnwatchReadiness(int descriptor);
// poll() and epoll share the meaning of their event bits.
Readiness ReadinessOf(uint32_t events);
// Hands every watched socket named in the reports its state.
void DeliverReadiness(const epoll_event* reports, int count);
// Asks again after a batch came back full; the reports left queued belong to this pass too.
void RefreshRemainingReadiness();

namespace readiness_detail {
extern int gEpoll;
extern int gWatched;
constexpr int kBatch = 64;
}  // namespace readiness_detail

// Asks the kernel once, without waiting, and hands every watched socket with news its state.
// Inline, so that the call to the kernel is made from the pass itself (see socket_calls.h).
[[gnu::always_inline]] inline void RefreshReadiness() {
  using namespace readiness_detail;
  if (gWatched == 0) return;
  epoll_event reports[kBatch];
  int count = socket_calls::ReadyNow(gEpoll, reports, kBatch);
  if (count > 0) DeliverReadiness(reports, count);
  if (count == kBatch) RefreshRemainingReadiness();
}

}  // namespace vorn
