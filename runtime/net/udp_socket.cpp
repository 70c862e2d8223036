#include "net/udp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "net/network_utilities.h"
#include "net/socket_address.h"
#include "net/socket_errors.h"

namespace vorn {

UDPSocket::UDPSocket(RuntimeObject* owner, UDPSocketDelegate* delegate) : SocketCore(owner), mDelegate(delegate) {
  UDPSocket::Reset(true);
}

UDPSocket::~UDPSocket() { UDPSocket::Close(true); }

void UDPSocket::Reset(bool full) {
  if (mDescriptor >= 0) close(mDescriptor);
  mDescriptor = -1;
  SocketCore::Reset(full);
  mRouterHops = 0;
  mSendToSelf = true;
  if (full) ClearReceiveQueue();
  mSendQueue.clear();
}

void UDPSocket::Close(bool final) {
  if (mDescriptor >= 0) close(mDescriptor);
  mDescriptor = -1;
  SocketCore::Close(final);
}

int32_t UDPSocket::GetPort() {
  if (mDescriptor < 0) return -1;
  sockaddr_in here{};
  socklen_t length = sizeof here;
  if (getsockname(mDescriptor, reinterpret_cast<sockaddr*>(&here), &length) != 0) return -1;
  return ntohs(here.sin_port);
}

bool UDPSocket::SetError(int32_t raw) {
  if (raw == 0) return false;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->setLastErrorCode(mOwner, raw);
  mLastError = TranslateUDPError(raw);
  mFiredEvents |= kSocketEventError;
  FireEvents();
  return true;
}

void UDPSocket::Fail(int32_t code) {
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->setLastErrorCode(mOwner, code);
  mLastError = code;
  mFiredEvents |= kSocketEventError;
  FireEvents();
}

void UDPSocket::Bind(int32_t port) {
  Reset(true);
  Register(port, false);
  if (InitSocketLayer() != 0) {
    Fail(kSocketOpenDriverError);
    return;
  }
  if (!IsValidPort(port)) {
    Fail(kSocketInvalidPortError);
    return;
  }
  // Non-blocking, unlike a blocking socket read only after FIONREAD: an empty datagram
  // reports 0 there and must not stop the ones behind it.
  mDescriptor = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (mDescriptor < 0) {
    SetError(errno);
    return;
  }
  sockaddr_in here{};
  here.sin_family = AF_INET;
  here.sin_port = htons(static_cast<uint16_t>(port));
  here.sin_addr.s_addr = htonl(INADDR_ANY);
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->interfaceAddress(mOwner, &here.sin_addr.s_addr);
  if (bind(mDescriptor, reinterpret_cast<sockaddr*>(&here), sizeof here) != 0) {
    SetError(errno);
    return;
  }
  int on = 1;
  if (setsockopt(mDescriptor, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    SetError(errno);
    return;
  }
  mConnected = true;
}

void UDPSocket::WriteDatagram(Datagram datagram) {
  if (!mConnected) {
    Fail(kSocketInvalidStateError);
    return;
  }
  mSendQueue.push_back(std::move(datagram));
  SendOldest();
}

bool UDPSocket::ReadDatagram(Datagram* out) {
  if (mReceiveQueue.empty()) return false;
  *out = std::move(mReceiveQueue.front());
  mReceiveQueue.pop_front();
  mReceiveQueueBytes -= static_cast<int64_t>(out->data.size());
  return true;
}

void UDPSocket::SendOldest() {
  if (mDescriptor < 0 || mSendQueue.empty() || !mConnected) return;
  Datagram datagram = std::move(mSendQueue.front());
  mSendQueue.pop_front();
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  // A malformed address must not turn into the all-ones broadcast address.
  if (!IsValidPort(datagram.port) || !ResolveIPv4(datagram.address, &peer.sin_addr.s_addr)) {
    Fail(IsValidPort(datagram.port) ? kSocketNameResolutionError : kSocketInvalidPortError);
    return;
  }
  peer.sin_port = htons(static_cast<uint16_t>(datagram.port));
  if (sendto(mDescriptor, datagram.data.data(), datagram.data.size(), MSG_NOSIGNAL,
             reinterpret_cast<sockaddr*>(&peer), sizeof peer) < 0) {
    if (IsWouldBlock(errno) || errno == EINTR) {
      mSendQueue.push_front(std::move(datagram));  // the system's queue is full: try again later
      return;
    }
    SetError(errno);
    return;
  }
  mFiredEvents |= kSocketEventSendComplete;
}

void UDPSocket::Poll() {
  if (mDescriptor < 0 || !mConnected) return;
  if (mReceiveQueueBytes >= StreamReceiveBound()) {
    if (HasDataToSend()) SendOldest();
    FireEvents();
    return;
  }
  int size = 0;
  if (ioctl(mDescriptor, FIONREAD, &size) != 0) size = 0;
  std::vector<char> buffer(static_cast<size_t>(size) + 1);
  sockaddr_in source{};
  socklen_t length = sizeof source;
  ssize_t count = recvfrom(mDescriptor, buffer.data(), buffer.size(), MSG_DONTWAIT,
                           reinterpret_cast<sockaddr*>(&source), &length);
  if (count < 0 && !IsWouldBlock(errno) && errno != EINTR && errno != ECONNREFUSED) {
    SetError(errno);
    return;
  }
  if (count > 0) {
    Datagram datagram;
    datagram.data.assign(buffer.data(), static_cast<size_t>(count));
    datagram.port = ntohs(source.sin_port);
    datagram.address = DottedText(source.sin_addr.s_addr);
    mReceiveQueueBytes += count;
    mReceiveQueue.push_back(std::move(datagram));
    mFiredEvents |= kSocketEventDataAvailable;
  }
  if (HasDataToSend()) SendOldest();
  FireEvents();
}

void UDPSocket::FireEvents() {
  RuntimeObject* owner = mOwner;
  RuntimeLockObject(owner);
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  bool toOwner = CanDeliverToOwner();
  if (mFiredEvents & kSocketEventDataAvailable) {
    if (mDelegate) {
      mFiredEvents &= ~kSocketEventDataAvailable;
      mDelegate->DataAvailable(this);
    } else if (toOwner) {
      mFiredEvents &= ~kSocketEventDataAvailable;
      hooks->dataAvailable(mOwner);
    }
  } else if (mFiredEvents & kSocketEventError) {
    if (mDelegate || toOwner) {
      mFiredEvents &= ~kSocketEventError;
      mConnected = false;
      mPendingError = true;  // closes the socket below
      if (mDelegate) mDelegate->Error(this, mLastError);
      else hooks->error(mOwner, mLastError);
    }
  } else if (mFiredEvents & kSocketEventSendComplete) {
    if (mDelegate || toOwner) {
      mFiredEvents &= ~kSocketEventSendComplete;
      if (mDelegate) mDelegate->SendComplete(this);
      else hooks->sendComplete(mOwner, false);
    }
  }
  CloseAfterError();
  mPendingError = false;
  RuntimeUnlockObject(owner);
}

bool UDPSocket::Usable() {
  if (mDescriptor >= 0 && mConnected) return true;
  Fail(kSocketInvalidStateError);
  return false;
}

bool UDPSocket::ChangeMembership(const std::string& group, int option) {
  if (!Usable()) return false;
  ip_mreq request{};
  if (!ParseDottedIPv4(group, &request.imr_multiaddr.s_addr)) {
    Fail(kSocketNameResolutionError);
    return false;
  }
  request.imr_interface.s_addr = 0;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->interfaceAddress(mOwner, &request.imr_interface.s_addr);
  if (setsockopt(mDescriptor, IPPROTO_IP, option, &request, sizeof request) == 0) return true;
  SetError(errno);
  return false;
}

bool UDPSocket::JoinMulticastGroup(const std::string& group) { return ChangeMembership(group, IP_ADD_MEMBERSHIP); }
bool UDPSocket::LeaveMulticastGroup(const std::string& group) { return ChangeMembership(group, IP_DROP_MEMBERSHIP); }

void UDPSocket::SetLoopback(bool on) {
  if (!Usable()) return;
  mSendToSelf = on;
  unsigned char value = on ? 1 : 0;
  if (setsockopt(mDescriptor, IPPROTO_IP, IP_MULTICAST_LOOP, &value, sizeof value) != 0 && errno != ENOPROTOOPT)
    SetError(errno);
}

void UDPSocket::SetRouterHops(int32_t hops) {
  if (!Usable()) return;
  mRouterHops = hops;
  int value = hops;
  setsockopt(mDescriptor, IPPROTO_IP, IP_TTL, &value, sizeof value);
  if (setsockopt(mDescriptor, IPPROTO_IP, IP_MULTICAST_TTL, &value, sizeof value) != 0 && errno != ENOPROTOOPT)
    SetError(errno);
}

std::string UDPSocket::GetBroadcast() {
  int32_t index = -1;
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  if (mOwner && hooks) hooks->interfaceIndex(mOwner, &index);
  return DottedText(GetNetworkInterfaceBroadcast(index));
}

}  // namespace vorn
