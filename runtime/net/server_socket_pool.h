// The sockets a ServerSocket's listening socket hands its connections to: language TCPSocket
// objects that the application supplies through the AddSocket event.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/runtime_object.h"

namespace vorn {

class TCPSocket;

class ServerSocketPool {
 public:
  explicit ServerSocketPool(RuntimeObject* server);

  void SetMinimum(int32_t minimum) { mMinimum = minimum; }
  // Fills the pool on first use, then tops it up by ten when it runs short. Answers whether
  // enough sockets are available; progressed tells whether this round added any.
  bool Check(bool* progressed);
  // Hands the accepted descriptor to an available socket, or closes it when none is free.
  void Accept(TCPSocket* listener, int descriptor);
  void Release(TCPSocket* child);
  // A socket that waits in the available list and that the program closes or resets leaves
  // the list before its reference goes: the pool never hands a client to, nor touches, a
  // socket it no longer holds.
  void Withdraw(TCPSocket* waiting);
  // The listening socket is closing: its children forget it, and unless final the available
  // sockets are closed (which releases them).
  void Detach(TCPSocket* listener, bool final);

  const std::vector<RuntimeObject*>& Available() const { return mAvailable; }
  const std::vector<RuntimeObject*>& Active() const { return mActive; }
  int32_t FreeConnections() const { return mFreeConnections; }

 private:
  int32_t AddSockets(int32_t count);

  std::vector<RuntimeObject*> mAvailable;
  std::vector<RuntimeObject*> mActive;
  int32_t mMinimum = 0;
  int32_t mFreeConnections = 0;
  RuntimeObject* mServer;
  bool mFilled = false;
};

}  // namespace vorn
