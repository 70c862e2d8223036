// What every native socket shares: the list of live sockets that the run loop polls, the
// pending-event flags and the rule by which events reach a delegate or the language object.
// Nothing here blocks and no thread of its own exists; sockets advance only when polled.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/runtime_object.h"

namespace vorn {

class SocketCore;
class TCPSocket;

// Fired-events bits (TCP); UDP sockets keep their pending events in the same word.
enum SocketEventBit : uint32_t {
  kSocketEventConnected = 1,
  kSocketEventError = 2,
  kSocketEventDataAvailable = 4,
  kSocketEventSendComplete = 8,
  kSocketEventPoolCheck = 16,
  kSocketEventSendProgress = 32,
};

// How native sockets reach the language objects that own them. The language classes install
// it; without it, owned sockets keep their events pending.
struct SocketOwnerHooks {
  void (*connected)(RuntimeObject* owner);
  void (*dataAvailable)(RuntimeObject* owner);
  void (*sendComplete)(RuntimeObject* owner, bool userAborted);
  bool (*sendProgress)(RuntimeObject* owner, int32_t bytesSent, int32_t bytesLeft);
  // Fires Error on the owner (a ServerSocket gets the code as its parameter).
  void (*error)(RuntimeObject* owner, int32_t code);
  void (*setLastErrorCode)(RuntimeObject* owner, int32_t code);
  bool (*isTCPSocket)(RuntimeObject* object);
  bool (*isServerSocket)(RuntimeObject* object);
  // The IPv4 address (network order) of the owner's NetworkInterface; false without one.
  bool (*interfaceAddress)(RuntimeObject* owner, uint32_t* address);
  // The index of the owner's NetworkInterface; false (index untouched) without one.
  bool (*interfaceIndex)(RuntimeObject* owner, int32_t* index);
  // Server pools.
  RuntimeObject* (*addSocket)(RuntimeObject* server);
  TCPSocket* (*nativeOf)(RuntimeObject* tcpSocketObject);
  int32_t (*minimumSockets)(RuntimeObject* server);
  int32_t (*maximumSockets)(RuntimeObject* server);
};
void SetSocketOwnerHooks(const SocketOwnerHooks* hooks);
const SocketOwnerHooks* GetSocketOwnerHooks();

class SocketCore {
 public:
  explicit SocketCore(RuntimeObject* owner);
  virtual ~SocketCore();
  SocketCore(const SocketCore&) = delete;
  SocketCore& operator=(const SocketCore&) = delete;

  virtual void Listen(int32_t port);
  virtual void Poll() {}
  virtual void FireEvents();
  virtual bool HasDataToSend() { return false; }
  virtual bool HasIncomingData() { return false; }
  virtual void Purge() {}
  virtual void ClearSendBuffer() {}
  virtual int32_t GetPort() { return -1; }
  virtual int32_t GetHandle() { return 0; }
  virtual void Close(bool final);
  virtual void Reset(bool full);

  // Answers the fired-events mask and clears it.
  uint32_t GetEvents();

  RuntimeObject* Owner() const { return mOwner; }
  int32_t LastError() const { return mLastError; }
  bool IsConnected() const { return mConnected; }
  // A TCPSocket: the pass takes its step inline.
  bool IsStream() const { return mStream; }
  uint32_t FiredEvents() const { return mFiredEvents; }
  bool IsRegistered() const;

 protected:
  // Appends to the socket list; with lockAnyOwner the owner is held whatever its class.
  void Register(int32_t port, bool lockAnyOwner);
  void Unregister(bool final);
  // The close-after-error step that ends every FireEvents.
  void CloseAfterError() {
    if ((mFiredEvents & kSocketEventError) || mPendingError) CloseForError();
  }
  void CloseForError();
  // Delivery goes to language objects only when events are not suppressed.
  bool CanDeliverToOwner() const;

  RuntimeObject* mOwner;
  uint32_t mBytesSent = 0;
  int32_t mPort = 0;
  bool mPendingConnected = false;
  bool mPendingDataAvailable = false;
  bool mPendingSendComplete = false;
  bool mPendingError = false;
  bool mPendingPoolCheck = false;
  bool mPendingSendProgress = false;
  int32_t mLastError = 0;
  uint32_t mFiredEvents = 0;
  bool mConnected = false;
  bool mOwnerLocked = false;
  bool mStream = false;
};

// 0 when the layer is ready; kSocketOpenDriverError when it cannot be.
int32_t InitSocketLayer();
int32_t ShutdownSocketLayer();
bool SocketLayerInitialised();
// Polls every listed socket (with onlyUnowned, only those without an owner), last first.
void PollAllSockets(bool onlyUnowned);
// Whether any listed socket (with onlyUnowned, any without an owner) has bytes to send or
// bytes it could receive: a loop that services sockets alone sleeps when none has.
bool AnySocketBusy(bool onlyUnowned);
const std::vector<SocketCore*>& SocketList();

void SuppressSocketEvents();
void ResumeSocketEvents();
bool SocketEventsSuppressed();

// The most unread received bytes a socket holds; past it the socket stops reading and the
// kernel holds the peer back (a stream's window) or drops (datagrams) until the program reads.
namespace detail {
extern int64_t gStreamReceiveBound;
}  // namespace detail
inline int64_t StreamReceiveBound() { return detail::gStreamReceiveBound; }
void SetStreamReceiveBound(int64_t bytes);

// The period of the socket polling task in ticks; 0 when it has not been made.
int32_t SocketPollingTaskPeriod();

}  // namespace vorn
