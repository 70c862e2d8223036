// The stream socket: a client connection, a listening socket that becomes the accepted
// connection, a listening socket that hands connections to a server pool, or (IPC mode) a
// local stream socket at a file-system path. All I/O is non-blocking and advances in Poll.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "net/receive_queue.h"
#include "net/send_queue.h"
#include "net/socket_core.h"
#include "net/socket_readiness.h"

namespace vorn {

class ServerSocketPool;

// Receives a socket's events in place of a language object.
class TCPSocketDelegate {
 public:
  virtual ~TCPSocketDelegate() = default;
  virtual void Connected(TCPSocket*) {}
  virtual void DataAvailable(TCPSocket*) {}
  virtual void SendComplete(TCPSocket*) {}
  virtual void Error(TCPSocket*, int32_t /*code*/) {}
  virtual void SendProgress(TCPSocket*, int32_t /*bytesSent*/, int32_t /*bytesLeft*/) {}
};

class TCPSocket final : public SocketCore {
 public:
  TCPSocket(RuntimeObject* owner, TCPSocketDelegate* delegate);
  ~TCPSocket() override;

  // SocketCore
  void Listen(int32_t port) override;
  // Learns the news of every stream socket (one call), then takes this socket's step.
  void Poll() override;
  void FireEvents() override;
  bool HasDataToSend() override { return mSendBuffer.Count() > 0; }
  bool HasIncomingData() override;
  void Purge() override { mReceiveBuffer.Clear(); }
  void ClearSendBuffer() override;
  int32_t GetPort() override;
  int32_t GetHandle() override { return mDescriptor; }
  void Close(bool final) override;
  void Reset(bool full) override;

  void Connect(const std::string& address, int32_t port);
  void Write(const void* bytes, int32_t count);
  // A long string is sent from where it is, held by a reference; a short one is copied.
  void Write(const string& bytes);
  // At most count bytes, removed from the receive buffer: the received block itself when the
  // count is exactly the oldest one, so reading what arrived copies nothing.
  string ReadString(int32_t count, EncodingCode encoding = kEncodingUnknown) {
    return mReceiveBuffer.TakeString(count, encoding);
  }
  string ReadAllString(EncodingCode encoding = kEncodingUnknown) { return ReadString(BytesAvailable(), encoding); }
  // The same as a copy, for callers that want the standard string.
  std::string Read(int32_t count) { return mReceiveBuffer.Take(count); }
  std::string ReadAll() { return Read(BytesAvailable()); }
  // The whole receive buffer, left in place.
  std::string Lookahead();
  std::string GetRemoteAddress();
  // Translates and stores the code, makes Error pending and fires at once; true when not 0.
  bool SetError(int32_t code);
  void ReleaseConnection(TCPSocket* child);
  // The language's Integer is 32 bits: larger counts answer its largest value.
  int32_t BytesAvailable() const { return ClampedCount(mReceiveBuffer.Count()); }
  int32_t BytesLeftToSend() const { return ClampedCount(mSendBuffer.Count()); }
  int64_t HeldReceivedBytes() const { return mReceiveBuffer.Count(); }
  static int32_t ClampedCount(int64_t count) { return count > INT32_MAX ? INT32_MAX : static_cast<int32_t>(count); }

  void SetIPCPath(const std::string& path);
  bool IsListening() const { return mListening; }
  bool IsServerListening() const { return mServerListening; }
  ServerSocketPool* Pool() const { return mPool.get(); }
  TCPSocketDelegate* Delegate() const { return mDelegate; }
  void SetDelegate(TCPSocketDelegate* delegate) { mDelegate = delegate; }
  const std::string& Address() const { return mAddress; }

  // A report of the readiness set on this socket's descriptor. Urgent bytes stay news until
  // the step reports them.
  void NoteReadiness(const Readiness& state) {
    bool urgent = mReady.urgent || state.urgent;
    mReady = state;
    mReady.urgent = urgent;
  }

 private:
  friend class ServerSocketPool;

  bool CreateDescriptor();
  // The descriptor joins the readiness set once it connects, listens or was accepted: a
  // fresh descriptor reports itself hung up before connect is called.
  void WatchDescriptor();
  void CloseDescriptor();
  // Asks the kernel for this descriptor alone, when the readiness set would not take it.
  void AskReadiness();
  void SetBufferSizes(int32_t size);
  [[gnu::noinline]] bool Accept();
  // The pass's two parts for a stream socket, inlined into it with the receive and the send
  // so that their system calls are made from the pass's own frame (tcp_socket_poll.cpp).
  friend void PollAllSockets(bool onlyUnowned);
  [[gnu::always_inline]] inline void SendAheadStep();
  [[gnu::always_inline]] inline void Step();
  [[gnu::always_inline]] inline bool Receive();
  // Confirms a connect the kernel reports done; false when it failed (Error has fired).
  [[gnu::noinline]] bool FinishConnect();
  bool ReceiveRoomLeft() const { return mReceiveBuffer.Count() < StreamReceiveBound(); }
  void RemoveBoundPath();
  // false when the send failed; the failure is in mSendFailure.
  [[gnu::always_inline]] inline bool SendBytes();
  bool Send();
  bool CheckPort(int32_t port);
  // Stores a runtime code as it is (the errno table would turn 103 into 102) and fires Error.
  void Fail(int32_t code);
  void AdoptConnection(TCPSocket* parent, int descriptor);
  // A connected descriptor (accepted, or a connect that completed at once) becomes this socket's
  // connection.
  void TakeConnection(int descriptor);
  void FirePending();
  // Whether FireEvents has anything to do: an event waits, or an error awaits its close.
  bool HasEventWork() const {
    return mPendingConnected || mPendingDataAvailable || mPendingSendComplete || mPendingError || mPendingPoolCheck ||
           mPendingSendProgress || (mFiredEvents & kSocketEventError) != 0;
  }
  void MakePoolIfServer();

  // What every pass reads comes first, so that a pass touches few cache lines of a socket;
  // the kernel's work between two passes has pushed most of them out.
  TCPSocketDelegate* mDelegate;
  int mDescriptor = -1;
  Readiness mReady;
  bool mWatched = false;
  // This pass already sent; its step does not send again.
  bool mSentAhead = false;
  bool mDescriptorListening = false;
  bool mWriteWanted = false;
  // A send that failed where no event may fire yet, for the step to report.
  int mSendFailure = 0;
  int32_t mReceiveChunk = 8192;
  static constexpr size_t kSmallestReceiveBlock = 4096;
  size_t mReceiveBlock = kSmallestReceiveBlock;
  ReceiveQueue mReceiveBuffer;
  SendQueue mSendBuffer;

  std::string mAddress;
  bool mServerListening = false;
  bool mListening = false;
  std::unique_ptr<ServerSocketPool> mPool;
  TCPSocket* mParent = nullptr;
  // Listed by a server pool (available or active); a pool lists a socket once.
  bool mListedInPool = false;
  // The pool whose available list holds this socket, sharing the reference its registration
  // holds: a close or reset takes it out of the list before that reference goes.
  ServerSocketPool* mWaitingIn = nullptr;
  bool mUserAborted = false;
  bool mIPCMode = false;
  std::string mPath;
  // Set once this socket bound its path: it removes the file whatever the descriptor became.
  bool mBoundPath = false;
  uint64_t mBoundDevice = 0;
  uint64_t mBoundInode = 0;
};

}  // namespace vorn
