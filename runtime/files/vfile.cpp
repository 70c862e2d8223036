#include "files/vfile.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "files/vfs_volume.h"
#include "files/vhfs_volume.h"
#include "vorn/object_abi.h"

namespace vorn {

namespace {

// The holds on items, by volume and idnum: -1 for one exclusive holder, else the number of
// shared ones. A volume lives while any file of it is open, so its address names it meanwhile.
using ItemKey = std::pair<const VFSVolume*, uint32_t>;
std::mutex sHoldsGuard;
std::map<ItemKey, int32_t>& Holds() {
  static auto* holds = new std::map<ItemKey, int32_t>;
  return *holds;
}

}  // namespace

VFile::VFile(VFSVolume* volume, uint32_t idnum, int16_t handle, int32_t length)
    : mVolume(volume), mIdnum(idnum), mHandle(handle), mLength(length), mStoredLength(length) {}

VFile::~VFile() {
  if (IsOpen()) Close();
  SetOwner(nullptr);
}

void VFile::SetOwner(RuntimeObject* owner) {
  if (owner) RuntimeLockObject(owner);
  RuntimeObject* previous = mOwner;
  mOwner = owner;
  if (previous) RuntimeUnlockObject(previous);
}

bool VFile::PositionItem() {
  if (!mNeedsSeek) return true;
  if (!mVolume->Seek(mHandle, kItemHeaderSize + mPosition)) return false;
  mNeedsSeek = 0;
  return true;
}

bool VFile::Read(void* buffer, int32_t count, int32_t* outCount) {
  if (outCount) *outCount = 0;
  if (!IsOpen()) return false;
  if (count <= 0 || mPosition >= mLength) return true;
  if (!buffer) return false;
  int64_t wanted = std::min(count, mLength - mPosition);
  if (!PositionItem()) return false;
  int64_t got = wanted;
  bool ok = mVolume->Read(mHandle, &got, buffer);
  DescrambleInPlace(static_cast<uint8_t*>(buffer), static_cast<int32_t>(got));
  mPosition += static_cast<int32_t>(got);
  if (!ok) mNeedsSeek = 1;
  if (outCount) *outCount = static_cast<int32_t>(got);
  return ok;
}

bool VFile::FillZeros(int32_t from, int32_t to) {
  if (!mVolume->Seek(mHandle, kItemHeaderSize + from)) return false;
  std::vector<uint8_t> zeros(static_cast<size_t>(std::min(to - from, 65536)), 0);
  for (int32_t at = from; at < to;) {
    int32_t part = std::min(to - at, static_cast<int32_t>(zeros.size()));
    if (!mVolume->Write(mHandle, zeros.data(), part)) return false;
    at += part;
  }
  return true;
}

bool VFile::Write(const void* buffer, int32_t count) {
  if (!IsOpen() || count < 0 || (count > 0 && !buffer)) return false;
  if (int64_t{mPosition} + count > INT32_MAX) return false;
  if (mPosition > mLength) {
    // Whatever the blocks hold past the length is no part of the file.
    mNeedsSeek = 1;
    if (!FillZeros(mLength, mPosition)) return false;
    mLength = mPosition;
  }
  if (!PositionItem()) return false;
  bool ok;
  if (mScramble) {
    std::vector<uint8_t> scrambled(static_cast<const uint8_t*>(buffer), static_cast<const uint8_t*>(buffer) + count);
    ScrambleInPlace(scrambled.data(), count);
    ok = mVolume->Write(mHandle, scrambled.data(), count);
  } else {
    ok = mVolume->Write(mHandle, buffer, count);
  }
  if (!ok) {
    mNeedsSeek = 1;
    return false;
  }
  mPosition += count;
  mLength = std::max(mLength, mPosition);
  return true;
}

bool VFile::SetPosition(int32_t position) {
  if (!IsOpen() || position < 0) return false;
  if (!mVolume->Seek(mHandle, kItemHeaderSize + position)) return false;
  mPosition = position;
  mNeedsSeek = 0;
  return true;
}

bool VFile::SetLength(int32_t length) {
  if (!IsOpen() || length < 0) return false;
  if (length > mLength) {
    mNeedsSeek = 1;
    if (!FillZeros(mLength, length)) return false;
  }
  mLength = length;
  return true;
}

bool VFile::StoreLength() {
  if (mLength == mStoredLength) return true;
  mNeedsSeek = 1;
  if (!mVolume->Seek(mHandle, 0) || !mVolume->WriteDouble(mHandle, static_cast<double>(mLength))) return false;
  mStoredLength = mLength;
  return true;
}

bool VFile::Lock(bool exclusive) {
  if (!IsOpen()) return false;
  LetHoldGo();
  std::lock_guard<std::mutex> guard(sHoldsGuard);
  int32_t& holders = Holds()[{mVolume, mIdnum}];
  if (holders < 0 || (exclusive && holders > 0)) {
    mLastError = EBUSY;
    return false;
  }
  holders = exclusive ? -1 : holders + 1;
  mHold = exclusive ? -1 : 1;
  return true;
}

void VFile::LetHoldGo() {
  if (mHold == 0) return;
  std::lock_guard<std::mutex> guard(sHoldsGuard);
  auto found = Holds().find({mVolume, mIdnum});
  if (found != Holds().end() && (mHold < 0 || --found->second <= 0)) Holds().erase(found);
  mHold = 0;
}

bool VFile::Close() {
  if (!IsOpen()) return false;
  bool stored = StoreLength();
  LetHoldGo();
  mVolume->CloseItem(mHandle);
  mHandle = -1;
  mVolume = nullptr;
  // Last: letting the owner go may close the volume itself.
  SetOwner(nullptr);
  return stored;
}

void VFile::Flush() {
  if (!IsOpen()) return;
  if (!StoreLength() || !mVolume->Flush()) mLastError = EIO;
}

}  // namespace vorn
