// The datagram socket: binds one local port with broadcasting allowed, queues outgoing
// datagrams and sends one per poll, receives one waiting datagram per poll into a queue.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "net/socket_core.h"

namespace vorn {

class UDPSocket;

struct Datagram {
  std::string address;  // dotted IPv4 text (a host name when queued for sending)
  int32_t port = 0;     // host order
  std::string data;
};

class UDPSocketDelegate {
 public:
  virtual ~UDPSocketDelegate() = default;
  virtual void SendComplete(UDPSocket*) {}
  virtual void Error(UDPSocket*, int32_t /*code*/) {}
  virtual void DataAvailable(UDPSocket*) {}
};

class UDPSocket : public SocketCore {
 public:
  UDPSocket(RuntimeObject* owner, UDPSocketDelegate* delegate);
  ~UDPSocket() override;

  void Poll() override;
  void FireEvents() override;
  bool HasDataToSend() override { return !mSendQueue.empty(); }
  void Purge() override { ClearReceiveQueue(); }
  void ClearSendBuffer() override { mSendQueue.clear(); }
  int32_t GetPort() override;
  int32_t GetHandle() override { return mDescriptor; }
  void Close(bool final) override;
  void Reset(bool full) override;

  void Bind(int32_t port);
  void WriteDatagram(Datagram datagram);
  // The oldest received datagram; false when none waits.
  bool ReadDatagram(Datagram* out);
  bool JoinMulticastGroup(const std::string& group);
  bool LeaveMulticastGroup(const std::string& group);
  void SetLoopback(bool on);
  void SetRouterHops(int32_t hops);
  std::string GetBroadcast();
  int32_t PacketsAvailable() const { return static_cast<int32_t>(mReceiveQueue.size()); }
  int32_t PacketsLeftToSend() const { return static_cast<int32_t>(mSendQueue.size()); }
  bool IsBound() const { return mConnected; }
  bool SetError(int32_t raw);

  int32_t RouterHops() const { return mRouterHops; }
  bool SendToSelf() const { return mSendToSelf; }

 private:
  void SendOldest();
  bool ChangeMembership(const std::string& group, int option);
  bool Usable();
  // Stores an already translated code and fires Error.
  void Fail(int32_t code);

  int32_t mRouterHops = 0;
  bool mSendToSelf = true;
  void ClearReceiveQueue() {
    mReceiveQueue.clear();
    mReceiveQueueBytes = 0;
  }
  std::deque<Datagram> mReceiveQueue;
  // Payload bytes queued; past the stream bound the socket stops receiving and the kernel
  // drops what its own buffer cannot hold, as datagram sockets do.
  int64_t mReceiveQueueBytes = 0;
  std::deque<Datagram> mSendQueue;
  UDPSocketDelegate* mDelegate;
  int mDescriptor = -1;
};

}  // namespace vorn
