// One step of a stream socket's state machine, and the delivery of its events.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "net/server_socket_pool.h"
#include "net/socket_errors.h"
#include "net/tcp_socket.h"

namespace vorn {
namespace {

// One flag for all sockets: filling a pool fires AddSocket, whose handler may poll.
bool sPoolCheckRunning = false;

}  // namespace

void TCPSocket::Poll() {
  if (mDescriptor < 0) return;
  bool wantRead = mDescriptorListening || (mConnected && ReceiveRoomLeft());
  bool wantWrite = !mConnected || mWriteWanted || HasDataToSend();
  mIncomingLeft = false;
  if (!wantRead && !wantWrite) return;
  // poll() rather than select(): descriptors beyond FD_SETSIZE must not corrupt the stack.
  pollfd entry{mDescriptor, static_cast<short>((wantRead ? POLLIN : 0) | (wantWrite ? POLLOUT : 0) | POLLPRI), 0};
  int ready = poll(&entry, 1, 0);
  if (ready < 0) {
    if (errno != EINTR) SetError(errno);
    return;
  }
  if (ready > 0) {
    // A hang-up or pending error shows the way select() shows it: readable and writable.
    bool broken = (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    bool readable = wantRead && ((entry.revents & POLLIN) || broken);
    bool writable = wantWrite && ((entry.revents & POLLOUT) || broken);
    if (readable) {
      if (mDescriptorListening) {
        if (!Accept()) return;
      } else if (mConnected) {
        if (!Receive()) return;
      }
    }
    if (!mConnected && !mDescriptorListening && (readable || writable) && !(mFiredEvents & kSocketEventError)) {
      // A finished connect is confirmed before Connected is reported: a refused one shows up
      // as readable and writable too.
      int pending = 0;
      socklen_t size = sizeof pending;
      if (getsockopt(mDescriptor, SOL_SOCKET, SO_ERROR, &pending, &size) == 0 && pending != 0) {
        SetError(pending);
        return;
      }
      if (!mIPCMode) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (getpeername(mDescriptor, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
          SetError(errno);
          return;
        }
      }
      mConnected = true;
      mPendingConnected = true;
    } else if (writable && mConnected) {
      mWriteWanted = false;
      if (!Send()) return;
    }
    if ((entry.revents & POLLPRI) && !(mFiredEvents & kSocketEventError)) {
      SetError(mConnected ? kSocketLostConnection : kSocketNameResolutionError);
      return;
    }
  }
  FireEvents();
}

bool TCPSocket::Receive() {
  int64_t room = StreamReceiveBound() - mReceiveBuffer.Count();
  if (room < 1) return true;
  // Short messages get a small block and a read that fills half its block a full one: a
  // stream of short messages must not cost a megabyte's allocation each, nor a bulk transfer
  // many small reads.
  size_t size = std::min(static_cast<size_t>(std::min<int64_t>(room, mReceiveChunk)), mReceiveBlock);
  ssize_t count = mReceiveBuffer.Fill(size, [this](char* into, size_t n) { return recv(mDescriptor, into, n, 0); });
  if (count > 0) {
    size_t got = static_cast<size_t>(count);
    mIncomingLeft = got == size;
    if (got >= size / 2) mReceiveBlock = static_cast<size_t>(mReceiveChunk);
    else if (got < kSmallestReceiveBlock) mReceiveBlock = kSmallestReceiveBlock;
    mPendingDataAvailable = true;
    return true;
  }
  if (count == 0) {
    SetError(kSocketLostConnection);
    return false;
  }
  if (IsWouldBlock(errno) || errno == EINTR) return true;
  SetError(errno);
  return false;
}

bool TCPSocket::Send() {
  int32_t count = 0;
  const uint8_t* bytes = mSendBuffer->GetReadPointer(&count);
  if (!bytes || count < 1) return true;
  // MSG_NOSIGNAL: a peer that went away must give an error, not end the program.
  ssize_t sent = send(mDescriptor, bytes, static_cast<size_t>(count), MSG_NOSIGNAL);
  if (sent < 0) {
    if (IsWouldBlock(errno) || errno == EINTR) {
      mWriteWanted = true;
      return true;
    }
    SetError(errno);
    return false;
  }
  mSendBuffer->Consume(sent);
  mWriteWanted = sent != count;
  mPendingSendProgress = true;
  mBytesSent += static_cast<uint32_t>(sent);
  return true;
}

bool TCPSocket::Accept() {
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  int accepted = accept4(mDescriptor, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (accepted < 0) {
    // The client may have given up between readiness and accept.
    if (IsWouldBlock(errno) || errno == ECONNABORTED || errno == EINTR) return true;
    SetError(errno);
    return false;
  }
  if (!mPool) {
    close(mDescriptor);
    mDescriptor = accepted;
    mDescriptorListening = false;
    mListening = false;
    mConnected = true;
    mPendingConnected = true;
    return true;
  }
  mPool->Accept(this, accepted);
  return true;
}

void TCPSocket::FireEvents() {
  RuntimeObject* owner = mOwner;
  RuntimeLockObject(owner);
  FirePending();
  CloseAfterError();
  // Releasing may destroy the owner and with it this socket: nothing may follow.
  RuntimeUnlockObject(owner);
}

void TCPSocket::FirePending() {
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  auto deliverable = [&]() { return mDelegate || CanDeliverToOwner(); };
  for (;;) {
    if (mPendingConnected && deliverable()) {
      mPendingConnected = false;
      mFiredEvents |= kSocketEventConnected;
      mConnected = true;
      if (mDelegate) mDelegate->Connected(this);
      else hooks->connected(mOwner);
    }
    if (mPendingDataAvailable && deliverable()) {
      mPendingDataAvailable = false;
      mFiredEvents |= kSocketEventDataAvailable;
      if (mDelegate) mDelegate->DataAvailable(this);
      else hooks->dataAvailable(mOwner);
    }
    if (mPendingSendComplete && deliverable()) {
      mPendingSendComplete = false;
      mFiredEvents |= kSocketEventSendComplete;
      bool aborted = mUserAborted;
      mUserAborted = false;
      if (mDelegate) mDelegate->SendComplete(this);
      else hooks->sendComplete(mOwner, aborted);
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
    else abort = hooks->sendProgress(mOwner, sent, left);
    mBytesSent = 0;
    if (abort) mSendBuffer->Clear();
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
    else hooks->error(mOwner, mLastError);
  }
}

}  // namespace vorn
