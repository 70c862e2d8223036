#include "net/server_socket_pool.h"

#include <unistd.h>

#include <algorithm>

#include "base/core_assert.h"
#include "net/tcp_socket.h"

namespace vorn {

ServerSocketPool::ServerSocketPool(RuntimeObject* server) : mServer(server) {
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  mMinimum = hooks->minimumSockets(server);
  mFreeConnections = hooks->maximumSockets(server);
}

int32_t ServerSocketPool::AddSockets(int32_t count) {
  if (!mServer) {
    ReportCoreAssertion("../Common/New Socket Code/TCPSocket", 0, "ss->mServerSocketControl");
    return 0;
  }
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  int32_t added = 0;
  for (int32_t i = 0; i < count; ++i) {
    RuntimeLockObject(mServer);
    RuntimeObject* socket = hooks->addSocket(mServer);
    RuntimeUnlockObject(mServer);
    TCPSocket* native = socket ? hooks->nativeOf(socket) : nullptr;
    // A socket some pool lists already (a handler answering the same object every time) would
    // be listed twice on one reference: a second client would close the first one's
    // connection and a later accept would use a socket already freed.
    if (!native || native->mListedInPool) {
      RuntimeUnlockObject(socket);
      continue;
    }
    // The reference AddSocket handed over is the one the registered socket holds.
    native->Close(false);
    native->Reset(true);
    native->mOwnerLocked = true;
    native->mListedInPool = true;
    native->mWaitingIn = this;
    native->Register(0, false);
    mAvailable.push_back(socket);
    ++added;
  }
  return added;
}

bool ServerSocketPool::Check(bool* progressed) {
  *progressed = false;
  if (!mFilled) {
    *progressed = AddSockets(mMinimum + 10) > 0;
    mFilled = true;
    return true;
  }
  if (static_cast<int32_t>(mAvailable.size()) >= mMinimum) return true;
  *progressed = AddSockets(10) > 0;
  return static_cast<int32_t>(mAvailable.size()) >= mMinimum;
}

void ServerSocketPool::Accept(TCPSocket* listener, int descriptor) {
  if (mAvailable.empty() || mFreeConnections <= 0) {
    close(descriptor);
    return;
  }
  RuntimeObject* socket = mAvailable.back();
  mAvailable.pop_back();
  mActive.push_back(socket);
  TCPSocket* native = GetSocketOwnerHooks()->nativeOf(socket);
  native->mWaitingIn = nullptr;
  --mFreeConnections;
  listener->mPendingPoolCheck = true;
  native->AdoptConnection(listener, descriptor);
  native->FireEvents();
}

void ServerSocketPool::Release(TCPSocket* child) {
  ++mFreeConnections;
  auto found = std::find(mActive.begin(), mActive.end(), child->Owner());
  if (found == mActive.end()) return;
  mActive.erase(found);
  child->mListedInPool = false;
}

void ServerSocketPool::Withdraw(TCPSocket* waiting) {
  waiting->mWaitingIn = nullptr;
  waiting->mListedInPool = false;
  auto found = std::find(mAvailable.begin(), mAvailable.end(), waiting->Owner());
  if (found != mAvailable.end()) mAvailable.erase(found);
}

void ServerSocketPool::Detach(TCPSocket* listener, bool final) {
  for (SocketCore* listed : SocketList()) {
    auto* socket = dynamic_cast<TCPSocket*>(listed);
    if (socket && socket->mParent == listener) socket->mParent = nullptr;
  }
  const SocketOwnerHooks* hooks = GetSocketOwnerHooks();
  for (RuntimeObject* active : mActive)
    if (TCPSocket* native = hooks->nativeOf(active)) native->mListedInPool = false;
  mActive.clear();
  while (!mAvailable.empty()) {
    RuntimeObject* socket = mAvailable.back();
    mAvailable.pop_back();
    TCPSocket* native = hooks->nativeOf(socket);
    if (!native) continue;
    native->mWaitingIn = nullptr;
    native->mListedInPool = false;
    if (!final) native->Close(false);
  }
}

}  // namespace vorn
