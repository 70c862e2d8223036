#include "net/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "net/server_socket_pool.h"
#include "net/socket_address.h"
#include "net/socket_errors.h"

namespace vorn {
namespace {

constexpr int32_t kBufferRequest = 0x100000;
constexpr int kBacklog = 5;


// Fills a local-socket address; false when the path does not fit.
bool FillUnixAddress(const std::string& path, sockaddr_un* address, socklen_t* length) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address->sun_path) || path.find('\0') != std::string::npos)
    return false;
  std::memcpy(address->sun_path, path.data(), path.size());
  *length = static_cast<socklen_t>(path.size() + 2);
  return true;
}

// A server killed without closing leaves its socket file behind, and binding the path fails
// until someone removes it. Removed here only when it is a socket of this user on which nobody
// accepts: a live listener's path and anything that is not a socket are left alone.
// The probe never waits: a live server whose backlog is full answers EAGAIN at once, where a
// blocking connect would wait until that server accepts or dies.
bool RemoveStaleSocketFile(const std::string& path, const sockaddr_un& address, socklen_t length) {
  struct stat before{};
  if (lstat(path.c_str(), &before) != 0 || !S_ISSOCK(before.st_mode) || before.st_uid != geteuid()) return false;
  int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  bool refused = connect(probe, reinterpret_cast<const sockaddr*>(&address), length) != 0 && errno == ECONNREFUSED;
  close(probe);
  struct stat after{};
  if (!refused || lstat(path.c_str(), &after) != 0 || after.st_dev != before.st_dev || after.st_ino != before.st_ino)
    return false;
  return unlink(path.c_str()) == 0;
}

}  // namespace

TCPSocket::TCPSocket(RuntimeObject* owner, TCPSocketDelegate* delegate)
    : SocketCore(owner),
      mDelegate(delegate) {
  mStream = true;
  TCPSocket::Reset(true);
}

TCPSocket::~TCPSocket() { TCPSocket::Close(true); }

void TCPSocket::MakePoolIfServer() {
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks && hooks->isServerSocket(mOwner)) mPool = std::make_unique<ServerSocketPool>(mOwner);
}

void TCPSocket::Reset(bool full) {
  if (mWaitingIn) mWaitingIn->Withdraw(this);
  SocketCore::Reset(full);
  mAddress.clear();
  mParent = nullptr;
  if (mPool) {
    std::unique_ptr<ServerSocketPool> pool = std::move(mPool);
    pool->Detach(this, false);
  }
  MakePoolIfServer();
  mServerListening = false;
  mListening = false;
  mUserAborted = false;
  mDescriptorListening = false;
  mWriteWanted = false;
  // A reset never leaves a descriptor open behind the socket's back.
  RemoveBoundPath();
  CloseDescriptor();
  if (full) {
    mReceiveBuffer.Clear();
    mSendBuffer.Clear();
  }
}

void TCPSocket::SetIPCPath(const std::string& path) {
  mIPCMode = true;
  mPath = path;
}

bool TCPSocket::CheckPort(int32_t port) {
  if (IsValidPort(port)) return true;
  Fail(kSocketInvalidPortError);
  return false;
}

void TCPSocket::Fail(int32_t code) {
  mLastError = code;
  mPendingError = true;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->setLastErrorCode(mOwner, mLastError);
  FireEvents();
}

bool TCPSocket::CreateDescriptor() {
  mDescriptor = socket(mIPCMode ? AF_UNIX : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (mDescriptor < 0) {
    SetError(errno);
    return false;
  }
  SetBufferSizes(kBufferRequest);
  // Writes already wait for the next poll and leave together; holding a short segment back
  // until the last one is acknowledged as well only adds a peer's delayed acknowledgement.
  int on = 1;
  if (!mIPCMode) setsockopt(mDescriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  int flags = fcntl(mDescriptor, F_GETFL);
  fcntl(mDescriptor, F_SETFL, flags | O_NONBLOCK);
  return true;
}

void TCPSocket::SetBufferSizes(int32_t size) {
  while (size > 8192) {
    if (setsockopt(mDescriptor, SOL_SOCKET, SO_SNDBUF, &size, sizeof size) == 0) {
      setsockopt(mDescriptor, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
      mReceiveChunk = size;
      return;
    }
    size = static_cast<int32_t>(std::lround(size * 0.75));
  }
}

void TCPSocket::Connect(const std::string& address, int32_t port) {
  Reset(true);
  Register(port, true);
  mListening = false;
  mAddress = address;
  if (!mIPCMode && !CheckPort(port)) return;
  sockaddr_in inet{};
  sockaddr_un local{};
  socklen_t length = sizeof inet;
  sockaddr* peer = reinterpret_cast<sockaddr*>(&inet);
  if (mIPCMode) {
    if (!FillUnixAddress(mPath, &local, &length)) {
      Fail(kSocketNameResolutionError);
      return;
    }
    peer = reinterpret_cast<sockaddr*>(&local);
  } else {
    inet.sin_family = AF_INET;
    inet.sin_port = htons(static_cast<uint16_t>(port));
    if (!ResolveIPv4(address, &inet.sin_addr.s_addr)) {
      Fail(kSocketNameResolutionError);
      return;
    }
  }
  if (!CreateDescriptor()) return;
  uint32_t local4 = 0;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (!mIPCMode && mOwner && hooks && hooks->interfaceAddress(mOwner, &local4)) {
    sockaddr_in here{};
    here.sin_family = AF_INET;
    here.sin_addr.s_addr = local4;
    if (bind(mDescriptor, reinterpret_cast<sockaddr*>(&here), sizeof here) != 0) {
      SetError(errno);
      return;
    }
  }
  if (connect(mDescriptor, peer, length) == 0) {
    TakeConnection(mDescriptor);
    FireEvents();
    return;
  }
  // A local connect either completes at once or fails: EAGAIN there is a listener whose
  // backlog is full turning the client away, not a connection in progress.
  if (mIPCMode && errno == EAGAIN) SetError(ECONNREFUSED);
  else if (!IsWouldBlock(errno)) SetError(errno);
  else WatchDescriptor();
}

void TCPSocket::Listen(int32_t port) {
  Reset(true);
  Register(port, false);
  mListening = true;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mPool) {
    mPool->SetMinimum(hooks->minimumSockets(mOwner));
    mPendingPoolCheck = true;
  }
  if (!mIPCMode && !CheckPort(port)) return;
  if (!CreateDescriptor()) return;
  int on = 1;
  setsockopt(mDescriptor, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  // The errno of the bind that counts: the stale-file probe makes calls of its own.
  auto bindFailure = [this](const sockaddr* address, socklen_t length) {
    return bind(mDescriptor, address, length) == 0 ? 0 : errno;
  };
  int failure;
  if (mIPCMode) {
    sockaddr_un local{};
    socklen_t length = 0;
    if (!FillUnixAddress(mPath, &local, &length)) {
      Fail(kSocketNameResolutionError);
      return;
    }
    const auto* address = reinterpret_cast<const sockaddr*>(&local);
    failure = bindFailure(address, length);
    if (failure == EADDRINUSE && RemoveStaleSocketFile(mPath, local, length)) failure = bindFailure(address, length);
  } else {
    sockaddr_in here{};
    here.sin_family = AF_INET;
    here.sin_port = htons(static_cast<uint16_t>(port));
    uint32_t local4 = htonl(INADDR_ANY);
    if (mOwner && hooks) hooks->interfaceAddress(mOwner, &local4);
    here.sin_addr.s_addr = local4;
    failure = bindFailure(reinterpret_cast<const sockaddr*>(&here), sizeof here);
  }
  if (failure != 0) {
    SetError(failure);
    return;
  }
  struct stat bound{};
  mBoundPath = mIPCMode && stat(mPath.c_str(), &bound) == 0;
  mBoundDevice = bound.st_dev;
  mBoundInode = bound.st_ino;
  mDescriptorListening = true;
  if (listen(mDescriptor, kBacklog) != 0) {
    SetError(errno);
    return;
  }
  WatchDescriptor();
  if (mPool) mServerListening = true;
}

bool TCPSocket::HasIncomingData() {
  // What the readiness set last said, instead of asking the kernel again on every pass; bytes
  // the socket refuses to take until the program reads are no work for the run loop.
  return mDescriptor >= 0 && mConnected && mReady.ReadAnswers() && ReceiveRoomLeft();
}

void TCPSocket::ClearSendBuffer() {
  // The bytes handed to Write stay queued; only the generic send text would be dropped, and
  // this socket keeps none.
}

int32_t TCPSocket::GetPort() {
  if (mDescriptor < 0 || mIPCMode) return -1;
  sockaddr_in here{};
  socklen_t length = sizeof here;
  if (getsockname(mDescriptor, reinterpret_cast<sockaddr*>(&here), &length) != 0) return -1;
  return ntohs(here.sin_port);
}

void TCPSocket::Write(const void* bytes, int32_t count) {
  if (!bytes || count < 1) return;
  mSendBuffer.Append(bytes, count);
  mWriteWanted = true;
}

void TCPSocket::Write(const string& bytes) {
  if (bytes.IsEmpty()) return;
  mSendBuffer.Append(bytes);
  mWriteWanted = true;
}

std::string TCPSocket::Lookahead() { return mReceiveBuffer.Peek(); }

std::string TCPSocket::GetRemoteAddress() {
  if (mDescriptor < 0) return {};
  if (mIPCMode) return mPath;
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  if (getpeername(mDescriptor, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
    if (!(mFiredEvents & kSocketEventError) && errno != ENOTCONN) SetError(errno);
    return {};
  }
  return DottedText(peer.sin_addr.s_addr);
}

bool TCPSocket::SetError(int32_t code) {
  if (code == 0) return false;
  mLastError = TranslateTCPError(code);
  mPendingError = true;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->setLastErrorCode(mOwner, mLastError);
  FireEvents();
  return true;
}

void TCPSocket::ReleaseConnection(TCPSocket* child) {
  if (mPool) {
    mPool->Release(child);
    mPendingPoolCheck = true;
  }
}

void TCPSocket::AdoptConnection(TCPSocket* parent, int descriptor) {
  CloseDescriptor();
  mParent = parent;
  TakeConnection(descriptor);
}

void TCPSocket::TakeConnection(int descriptor) {
  mDescriptor = descriptor;
  WatchDescriptor();
  mReady.writable = true;
  mConnected = true;
  mPendingConnected = true;
}

void TCPSocket::WatchDescriptor() {
  mReady = {};
  mWatched = WatchReadiness(mDescriptor, this);
}

void TCPSocket::CloseDescriptor() {
  if (mDescriptor >= 0) {
    if (mWatched) UnwatchReadiness(mDescriptor);
    close(mDescriptor);
  }
  mDescriptor = -1;
  mWatched = false;
  mReady = {};
  mSentAhead = false;
  mSendFailure = 0;
}

void TCPSocket::RemoveBoundPath() {
  // Only the socket that bound the path removes it: a closing client must not take the
  // server's address away from the clients that come after it. A listener that became its
  // accepted connection still owns the path.
  // The file is checked to be still the one bound: another listener may have taken the path.
  struct stat now{};
  if (mBoundPath && !mPath.empty() && stat(mPath.c_str(), &now) == 0 && now.st_dev == mBoundDevice &&
      now.st_ino == mBoundInode)
    unlink(mPath.c_str());
  mBoundPath = false;
}

void TCPSocket::Close(bool final) {
  if (mWaitingIn) mWaitingIn->Withdraw(this);
  RemoveBoundPath();
  CloseDescriptor();
  mDescriptorListening = false;
  if (mIPCMode) mPath.clear();
  if (final) {
    mReceiveBuffer.Clear();
    mSendBuffer.Clear();
  }
  if (!mPool && mParent) {
    TCPSocket* parent = mParent;
    mParent = nullptr;
    parent->ReleaseConnection(this);
  }
  if (mPool) {
    std::unique_ptr<ServerSocketPool> pool = std::move(mPool);
    pool->Detach(this, final);
  }
  SocketCore::Close(final);
}

}  // namespace vorn
