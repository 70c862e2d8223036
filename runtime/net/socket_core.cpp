#include "net/socket_core.h"

#include <algorithm>

#include "base/background_task.h"
#include "core/pollable.h"
#include "core/run_loop.h"
#include "net/serial_control.h"
#include "net/socket_errors.h"
#include "net/socket_readiness.h"

namespace vorn {
namespace {

bool sInitialised = false;
int32_t sSuppression = 0;
const SocketOwnerHooks* sOwnerHooks = nullptr;

// Never destroyed: sockets may close from static destructors. A plain pointer rather than a
// function-local static, whose guard every pass would test.
std::vector<SocketCore*>* sSockets = nullptr;

std::vector<SocketCore*>& Sockets() {
  if (!sSockets) sSockets = new std::vector<SocketCore*>();
  return *sSockets;
}

constexpr int32_t kPollingPeriod = 5;
constexpr int32_t kNeverDue = 0x7FFFFFFF;

// Keeps sockets moving while compiled code holds the thread in its own loops.
class PollingTask : public BackgroundTask {
 public:
  PollingTask() : BackgroundTask(kPollingPeriod) {}
  void Run() override {
    PollAllPollables();
    PollAllSockets(false);
    PollSerialControls();
  }
  void Acquire() {
    ++mUsers;
    SetPeriod(kPollingPeriod);
  }
  void Release() {
    if (--mUsers < 1) SetPeriod(kNeverDue);
  }

 private:
  int32_t mUsers = 0;
};

PollingTask* sPollingTask = nullptr;

// Serial ports share the hook so that they are polled before the sockets on every pass.
bool PollSocketsHook(void*) {
  PollSerialControls();
  PollAllSockets(false);
  return false;
}

}  // namespace

namespace detail {
int64_t gStreamReceiveBound = int64_t{64} << 20;
}  // namespace detail

void SetStreamReceiveBound(int64_t bytes) { detail::gStreamReceiveBound = bytes < 1 ? 1 : bytes; }

void SetSocketOwnerHooks(const SocketOwnerHooks* hooks) { sOwnerHooks = hooks; }
const SocketOwnerHooks* GetSocketOwnerHooks() { return sOwnerHooks; }

int32_t InitSocketLayer() {
  if (!sInitialised) {
    sInitialised = true;
    AddRunLoopHook(RunLoopStage::kAfterPollables, &PollSocketsHook, nullptr);
  }
  return kSocketNoError;
}

int32_t ShutdownSocketLayer() { return 0; }
bool SocketLayerInitialised() { return sInitialised; }

const std::vector<SocketCore*>& SocketList() { return Sockets(); }

void SuppressSocketEvents() { ++sSuppression; }
void ResumeSocketEvents() { --sSuppression; }
bool SocketEventsSuppressed() { return sSuppression > 0; }

int32_t SocketPollingTaskPeriod() { return sPollingTask ? sPollingTask->Period() : 0; }

SocketCore::SocketCore(RuntimeObject* owner) : mOwner(owner) {
  InitSocketLayer();
  SocketCore::Reset(true);
  if (!sPollingTask) sPollingTask = new PollingTask();
  sPollingTask->Acquire();
}

SocketCore::~SocketCore() {
  SocketCore::Unregister(true);
  sPollingTask->Release();
}

bool SocketCore::IsRegistered() const {
  const auto& list = Sockets();
  return std::find(list.begin(), list.end(), this) != list.end();
}

void SocketCore::Register(int32_t port, bool lockAnyOwner) {
  bool lock = mOwner && (lockAnyOwner || (sOwnerHooks && sOwnerHooks->isTCPSocket(mOwner)));
  if (lock && !mOwnerLocked) {
    RuntimeLockObject(mOwner);
    mOwnerLocked = true;
  }
  if (!IsRegistered()) Sockets().push_back(this);
  mPort = port;
}

void SocketCore::Unregister(bool final) {
  auto& list = Sockets();
  auto found = std::find(list.rbegin(), list.rend(), this);
  if (found != list.rend()) list.erase(std::next(found).base());
  if (!final && mOwnerLocked) {
    mOwnerLocked = false;
    RuntimeUnlockObject(mOwner);
  }
}

void SocketCore::Listen(int32_t port) { Register(port, false); }

void SocketCore::Close(bool final) { Unregister(final); }

void SocketCore::Reset(bool full) {
  mBytesSent = 0;
  mPort = 0;
  mPendingConnected = mPendingSendComplete = mPendingError = false;
  mPendingPoolCheck = mPendingSendProgress = false;
  if (full) mPendingDataAvailable = false;
  mLastError = 0;
  mFiredEvents = 0;
  mConnected = false;
  // A held owner reference is released by Close; a reset only forgets the socket state.
  if (!mOwnerLocked) return;
  mOwnerLocked = false;
  RuntimeUnlockObject(mOwner);
}

uint32_t SocketCore::GetEvents() {
  uint32_t events = mFiredEvents;
  mFiredEvents = 0;
  return events;
}

bool SocketCore::CanDeliverToOwner() const { return mOwner && sOwnerHooks && !SocketEventsSuppressed(); }

void SocketCore::FireEvents() { CloseAfterError(); }

void SocketCore::CloseForError() {
  Close(false);
  if (mOwner && mOwner->refCount >= 2) Reset(false);
}

}  // namespace vorn
