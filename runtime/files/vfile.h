// The byte store over one file inside a volume, so the stream classes work on it exactly as
// on a file on disk. The file's bytes start after its 256-byte item header; its length lives
// in that header and is written back at Close and Flush.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "objects/runtime_class.h"

namespace vorn {

class VFSVolume;

class VFile : public RandomAccessMechanism {
 public:
  // Takes over the open item `idnum`. Its first access positions the item at the file's position.
  VFile(VFSVolume* volume, uint32_t idnum, int16_t handle, int32_t length);
  // Closes a file still open and lets its owner go.
  ~VFile() override;

  // A negative count reads nothing and succeeds; at or past the length too, with 0 bytes.
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  // Bytes between the length and a position beyond it read as zeros once written past.
  bool Write(const void* buffer, int32_t count) override;
  // False when already closed or when the length could not be stored.
  bool Close() override;
  bool IsEOF() override { return mLength <= mPosition; }
  // Any position the item's blocks reach, even past the length.
  bool SetPosition(int32_t position) override;
  int32_t GetLength() override { return mLength; }
  // Growing fills the new bytes with zeros; blocks are never given back.
  bool SetLength(int32_t length) override;
  int32_t GetPosition() override { return mPosition; }
  void Flush() override;
  // Held against the other files over the same item of the same volume, until Close. The
  // volume's own file is held by its opening, so no other process reaches the item.
  bool Lock(bool exclusive) override;

  // Holds a counted reference to the object that keeps the volume alive (the VirtualVolume),
  // letting the previous one go.
  void SetOwner(RuntimeObject* owner);
  bool IsOpen() const { return mHandle >= 0; }

 private:
  bool PositionItem();
  bool StoreLength();
  bool FillZeros(int32_t from, int32_t to);
  void LetHoldGo();

  VFSVolume* mVolume;
  uint32_t mIdnum;
  int8_t mHold = 0;  // 0 none, 1 shared, -1 exclusive
  RuntimeObject* mOwner = nullptr;
  int16_t mHandle;
  int32_t mPosition = 0;
  uint8_t mNeedsSeek = 1;
  int32_t mLength;
  int32_t mStoredLength;
};

}  // namespace vorn
