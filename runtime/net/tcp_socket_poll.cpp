// One step of a stream socket's state machine, the pass over every socket that takes it, and
// the delivery of a stream socket's events.
//
// The pass makes the stream sockets' system calls from its own frame (see socket_calls.h): the
// step is inlined into it, and what is rare (accepting, finishing a connect, failures) is
// called out of line.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "net/server_socket_pool.h"
#include "net/socket_errors.h"
#include "net/tcp_socket.h"

namespace vorn {
namespace {

// One flag for all sockets: filling a pool fires AddSocket, whose handler may poll.
bool sPoolCheckRunning = false;

}  // namespace

void PollAllSockets(bool onlyUnowned) {
  const std::vector<SocketCore*>& list = SocketList();
  // Bytes that wait in stream sockets go out before the kernel is asked what is ready, so that
  // a reply over the loopback or from a peer in this program is seen in the same pass. No event
  // fires here: the list stays as it is until the walk below.
  for (size_t i = list.size(); i-- > 0;) {
    SocketCore* socket = list[i];
    if (socket->IsStream() && !(onlyUnowned && socket->Owner())) static_cast<TCPSocket*>(socket)->SendAheadStep();
  }
  RefreshReadiness();
  for (size_t i = list.size(); i-- > 0;) {
    // Handlers may close or destroy any socket, so the list may have shrunk behind the walk.
    if (i >= list.size()) continue;
    SocketCore* socket = list[i];
    if (onlyUnowned && socket->Owner()) continue;
    if (socket->IsStream()) static_cast<TCPSocket*>(socket)->Step();
    else socket->Poll();
  }
}

bool AnySocketBusy(bool onlyUnowned) {
  for (SocketCore* socket : SocketList())
    if ((!onlyUnowned || !socket->Owner()) && (socket->HasDataToSend() || socket->HasIncomingData())) return true;
  return false;
}

void TCPSocket::Poll() {
  if (mDescriptor < 0) return;
  RefreshReadiness();
  Step();
}

void TCPSocket::AskReadiness() {
  pollfd entry{mDescriptor, POLLIN | POLLOUT | POLLPRI | POLLRDHUP, 0};
  int ready = poll(&entry, 1, 0);
  if (ready >= 0) NoteReadiness(ReadinessOf(ready > 0 ? static_cast<uint16_t>(entry.revents) : 0));
}

void TCPSocket::SendAheadStep() {
  if (!HasDataToSend() || !mConnected || !mWatched || mSendFailure != 0) return;
  if (!mReady.writable && !mReady.broken) return;
  mSentAhead = true;
  mWriteWanted = false;
  SendBytes();
}

void TCPSocket::Step() {
  bool sentAhead = std::exchange(mSentAhead, false);
  if (mDescriptor < 0) return;
  if (mSendFailure != 0) {
    SetError(std::exchange(mSendFailure, 0));
    return;
  }
  bool wantRead = mDescriptorListening || (mConnected && ReceiveRoomLeft());
  bool wantWrite = !mConnected || mWriteWanted || HasDataToSend();
  if (!wantRead && !wantWrite) return;
  if (!mWatched) AskReadiness();
  // A hang-up or pending error answers reads and writes at once, as select() shows it; a
  // peer's end answers reads once its last bytes are taken.
  bool readable = wantRead && mReady.ReadAnswers();
  bool writable = wantWrite && (mReady.writable || mReady.broken);
  if (readable) {
    if (mDescriptorListening) {
      if (!Accept()) return;
    } else if (mConnected) {
      if (!Receive()) return;
    }
  }
  if (!mConnected && !mDescriptorListening && (readable || writable) && !(mFiredEvents & kSocketEventError)) {
    if (!FinishConnect()) return;
  } else if (writable && mConnected && !sentAhead) {
    mWriteWanted = false;
    if (!Send()) return;
  }
  if (mReady.urgent && !(mFiredEvents & kSocketEventError)) {
    SetError(mConnected ? kSocketLostConnection : kSocketNameResolutionError);
    return;
  }
  FireEvents();
}

bool TCPSocket::FinishConnect() {
  // A finished connect is confirmed before Connected is reported: a refused one shows up as
  // readable and writable too.
  int pending = 0;
  socklen_t size = sizeof pending;
  if (getsockopt(mDescriptor, SOL_SOCKET, SO_ERROR, &pending, &size) == 0 && pending != 0) {
    SetError(pending);
    return false;
  }
  if (!mIPCMode) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    if (getpeername(mDescriptor, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
      // A peer that reset the connection since the check above leaves it unconnected: its
      // error says what happened, as it does when the reset came before the check.
      int failure = errno;
      if (failure == ENOTCONN && getsockopt(mDescriptor, SOL_SOCKET, SO_ERROR, &pending, &size) == 0 && pending != 0)
        failure = pending;
      SetError(failure);
      return false;
    }
  }
  mConnected = true;
  mPendingConnected = true;
  return true;
}

bool TCPSocket::Receive() {
  int64_t room = StreamReceiveBound() - mReceiveBuffer.Count();
  if (room < 1) return true;
  // Short messages get a small block and a read that fills half its block a full one: a
  // stream of short messages must not cost a megabyte's allocation each, nor a bulk transfer
  // many small reads.
  size_t size = std::min({static_cast<size_t>(room), ReceiveQueue::RoomWithin(static_cast<size_t>(mReceiveChunk)),
                          mReceiveBlock});
  ssize_t count = mReceiveBuffer.Fill(size, [this](char* into, size_t n) { return socket_calls::Receive(mDescriptor, into, n); });
  if (count > 0) {
    size_t got = static_cast<size_t>(count);
    // A read that took less than it asked for emptied the kernel's queue of bytes: bytes that
    // come later are reported anew. An end that came with them stays known (mReady.ended).
    if (got < size) mReady.readable = false;
    if (got >= size / 2) mReceiveBlock = static_cast<size_t>(mReceiveChunk);
    else if (got < kSmallestReceiveBlock) mReceiveBlock = kSmallestReceiveBlock;
    mPendingDataAvailable = true;
    return true;
  }
  if (count == 0) {
    SetError(kSocketLostConnection);
    return false;
  }
  if (IsWouldBlock(errno) || errno == EINTR) {
    if (errno != EINTR) mReady.readable = false;
    return true;
  }
  SetError(errno);
  return false;
}

bool TCPSocket::SendBytes() {
  int32_t count = 0;
  const char* bytes = mSendBuffer.Front(&count);
  if (!bytes || count < 1) return true;
  // MSG_NOSIGNAL: a peer that went away must give an error, not end the program.
  ssize_t sent = socket_calls::Send(mDescriptor, bytes, static_cast<size_t>(count), MSG_NOSIGNAL);
  if (sent < 0) {
    if (IsWouldBlock(errno) || errno == EINTR) {
      if (errno != EINTR) mReady.writable = false;
      mWriteWanted = true;
      return true;
    }
    mSendFailure = errno;
    return false;
  }
  mSendBuffer.Consume(sent);
  mWriteWanted = sent != count;
  // A send the kernel cut short found its buffer full: room is reported when it frees.
  if (sent != count) mReady.writable = false;
  mPendingSendProgress = true;
  mBytesSent += static_cast<uint32_t>(sent);
  return true;
}

bool TCPSocket::Send() {
  if (SendBytes()) return true;
  SetError(std::exchange(mSendFailure, 0));
  return false;
}

bool TCPSocket::Accept() {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  int accepted = accept4(mDescriptor, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (accepted < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) mReady.readable = false;
    // The client may have given up between readiness and accept.
    if (IsWouldBlock(errno) || errno == ECONNABORTED || errno == EINTR) return true;
    SetError(errno);
    return false;
  }
  if (!mPool) {
    CloseDescriptor();
    mDescriptorListening = false;
    mListening = false;
    TakeConnection(accepted);
    return true;
  }
  mPool->Accept(this, accepted);
  return true;
}

void TCPSocket::FireEvents() {
  if (!HasEventWork()) return;
  RuntimeObject* owner = mOwner;
  if (owner) RuntimeLockObject(owner);
  FirePending();
  CloseAfterError();
  // Releasing may destroy the owner and with it this socket: nothing may follow.
  if (owner) RuntimeUnlockObject(owner);
}

void TCPSocket::FirePending() {
  // The owner's hooks are looked up only where the owner is told: most sockets the runtime
  // itself drives have a delegate.
  auto deliverable = [&]() { return mDelegate || CanDeliverToOwner(); };
  for (;;) {
    if (mPendingConnected && deliverable()) {
      mPendingConnected = false;
      mFiredEvents |= kSocketEventConnected;
      mConnected = true;
      if (mDelegate) mDelegate->Connected(this);
      else GetSocketOwnerHooks()->connected(mOwner);
    }
    if (mPendingDataAvailable && deliverable()) {
      mPendingDataAvailable = false;
      mFiredEvents |= kSocketEventDataAvailable;
      if (mDelegate) mDelegate->DataAvailable(this);
      else GetSocketOwnerHooks()->dataAvailable(mOwner);
    }
    if (mPendingSendComplete && deliverable()) {
      mPendingSendComplete = false;
      mFiredEvents |= kSocketEventSendComplete;
      bool aborted = mUserAborted;
      mUserAborted = false;
      if (mDelegate) mDelegate->SendComplete(this);
      else GetSocketOwnerHooks()->sendComplete(mOwner, aborted);
    }
    if (!mPendingPoolCheck) break;
    if (sPoolCheckRunning) return;
    sPoolCheckRunning = true;
    mFiredEvents |= kSocketEventPoolCheck;
    bool again = false;
    if (!mPool) {
      mPendingPoolCheck = false;  // the pool went with a close: nothing left to check
    } else if (!SocketEventsSuppressed()) {
      bool progressed = false;
      if (mPool->Check(&progressed)) mPendingPoolCheck = false;
      // A round that added nothing (no handler, or one answering nil) would never end.
      else if (progressed) again = true;
      else mPendingPoolCheck = false;
    }
    sPoolCheckRunning = false;
    if (!again) break;
  }
  if (mPendingSendProgress && deliverable()) {
    int32_t left = BytesLeftToSend();
    int32_t sent = static_cast<int32_t>(mBytesSent);
    mPendingSendProgress = false;
    mFiredEvents |= kSocketEventSendProgress;
    bool abort = false;
    if (mDelegate) mDelegate->SendProgress(this, sent, left);
    else abort = GetSocketOwnerHooks()->sendProgress(mOwner, sent, left);
    mBytesSent = 0;
    if (abort) mSendBuffer.Clear();
    if (abort || BytesLeftToSend() == 0) {
      mUserAborted = abort;
      mPendingSendComplete = true;
    }
  }
  if (mPendingError && (mDelegate || CanDeliverToOwner())) {
    mPendingError = false;
    mFiredEvents |= kSocketEventError;
    mConnected = false;
    if (mDelegate) mDelegate->Error(this, mLastError);
    else GetSocketOwnerHooks()->error(mOwner, mLastError);
  }
}

}  // namespace vorn
