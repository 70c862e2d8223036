// The byte store over a file on disk. A new data file is closed; Create, Open or
// CreateTemporary opens it. Every failure of the C library keeps its errno in mLastError.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/shutdown_task.h"
#include "files/random_access_mechanism.h"

namespace vorn {

class DataFileCleaner;

// Permission codes of DataFile::Open.
constexpr int32_t kDataFileReadPermission = 1;
constexpr int32_t kDataFileReadWritePermission = 3;

class DataFile : public RandomAccessMechanism {
 public:
  DataFile() = default;
  // Ends an attached cleaner without letting it reach back into this file.
  ~DataFile() override;

  // Without a medium of its own a data file reads and writes nothing.
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  bool Write(const void* buffer, int32_t count) override;
  bool Close() override;
  bool IsEOF() override { return GetPosition64() >= GetLength64(); }
  bool SetPosition(int32_t position) override;
  int32_t GetLength() override;
  bool SetLength(int32_t length) override;
  int32_t GetPosition() override { return -1; }

  // Creates or empties the file, open for reading and writing.
  virtual bool Create(const char* path);
  // kDataFileReadPermission or kDataFileReadWritePermission; any other code is reported as a
  // failed assertion and leaves the file closed.
  virtual bool Open(const char* path, int32_t permission);
  // The empty name (or null) makes an anonymous file the system removes when it is closed;
  // any other name creates a new file of that name in the user's temporary folder (TMPDIR, or
  // /tmp), readable by this user alone. A name that exists already (a link included), holds a
  // "/" or is "." or ".." is refused.
  virtual bool CreateTemporary(const char* name);
  // Closes the medium; 0 or the errno of the failure.
  virtual int32_t CloseFile();
  virtual void Reserved17() {}
  virtual void Sync() {}
  // The file is held in this process and in every other one; without a medium, never.
  bool Lock(bool exclusive) override;
  // Opens to read and write, every write going to the file's end as it is at that moment, so
  // that programs appending to one file keep each other's bytes; the position starts at the end.
  // With `create` a file that is not there is made; nothing is ever emptied.
  virtual bool OpenToAppend(const char* path, bool create);

  DataFileCleaner* mCleaner = nullptr;
};

// A data file over a C stream. Opening never waits. A pipe (FIFO) or a character device (a
// terminal, /dev/null) opens to be read and written in order (written unbuffered, read ahead in
// blocks), its reads and writes waiting, when nothing has come or nothing fits, through the file
// layer's wait (files/descriptor_wait.h), which lets the other runtime threads run: it has no length and no position, so those fail with ESPIPE. A file on disk
// tells its length only as a hint (/proc files tell 0): IsEOF looks at the next byte. A pipe to be
// written is opened write-only, refused with ENXIO while nobody reads it, and a write after its
// reader has gone fails with EPIPE. A folder is refused with EISDIR, a block device with ESPIPE.
//
// Lengths and positions are 64-bit; the 32-bit answers fail (-1, EOVERFLOW) when the value does
// not fit. A seek that fails leaves the position unknown: reads and writes then fail until a
// seek succeeds, so that nothing is ever written where the caller did not ask.
class UnixDataFile : public DataFile {
 public:
  UnixDataFile() = default;
  // Closes a file that is still open.
  ~UnixDataFile() override;

  // A count of 0 succeeds at once; otherwise true only when at least one byte was read.
  bool Read(void* buffer, int32_t count, int32_t* outCount = nullptr) override;
  bool Write(const void* buffer, int32_t count) override;
  // With a cleaner attached, ends the cleaner first. False when already closed.
  bool Close() override;
  bool SetPosition(int32_t position) override { return SetPosition64(position); }
  // Does not move the position; -1 when a seek fails or the length does not fit (errno 75).
  int32_t GetLength() override;
  // Truncates or extends; the position stays.
  bool SetLength(int32_t length) override;
  // -1 when the position is unknown or does not fit (errno 75).
  int32_t GetPosition() override;
  int64_t GetLength64() override;
  int64_t GetPosition64() override;
  bool SetPosition64(int64_t position) override;
  void Flush() override;
  // Whether a read would find nothing: a file looks at its next byte; a pipe or a terminal
  // waits for its next byte, kept for the next read, or its end. A pipe opened to be written,
  // or one another thread waits in, answers whether a read met its end.
  bool IsEOF() override;
  bool IsSequential() override { return mSequential; }
  bool LengthIsHint() override { return !mSequential; }
  bool HandOn() override;

  bool Create(const char* path) override;
  bool Open(const char* path, int32_t permission) override;
  bool CreateTemporary(const char* name) override;
  int32_t CloseFile() override;
  void Sync() override { Flush(); }
  bool Lock(bool exclusive) override;
  bool OpenToAppend(const char* path, bool create) override;

  bool IsOpen() const { return mFile != nullptr; }

  FILE* mFile = nullptr;

 private:
  enum Direction : uint8_t { kIdle, kReading, kWriting };

  // Opens a file with open(2) flags; `mode` is the matching C stream mode.
  bool OpenFile(const char* path, int flags, const char* mode);
  // Opens without waiting and keeps what may be read or written as a file; -1 with the error
  // kept otherwise.
  int OpenDescriptor(const char* path, int flags);
  // What a pipe or a device reads and writes: straight to the descriptor.
  bool ReadInOrder(void* buffer, int32_t count, int32_t* outCount);
  // Reads the descriptor, waiting for a first writer or for what has not come; the count read
  // (0 at the end), or -1 with the error kept.
  ssize_t ReadDescriptor(uint8_t* buffer, int32_t count);
  bool WriteInOrder(const uint8_t* bytes, int32_t count);
  // Waits until the descriptor may be read or written; false when another thread closed the
  // file meanwhile, which is closed now, with EBADF kept.
  // With `oneLook`, only lets the other threads run, whether or not the descriptor is ready.
  bool AwaitDescriptor(short events, bool oneLook = false);
  // False, with ESPIPE kept, for a store read in order.
  bool Positioned();
  // Takes an open descriptor as the file's stream; closes it on failure.
  bool AdoptDescriptor(int descriptor, const char* mode);
  void StoreErrno();
  // Closes what the file has open and forgets its stream's state, before it opens anew.
  void StartOver();
  void SwitchDirection(Direction next);
  // False, with the error of the failed seek kept, while the position is unknown.
  bool PositionKnown();

  Direction mDirection = kIdle;
  bool mPositionLost = false;
  bool mSequential = false;
  bool mWriteOnly = false;  // a pipe opened to be written
  bool mAtEnd = false;  // a read in order met the end
  bool mWriterCame = false;  // a read in order has found a writer there
  // A pipe or a device is read ahead in blocks: reading a line a few bytes at a time would
  // otherwise cost a system call each. What came ahead (descrambled already) is
  // mAhead[mAheadAt, mAheadEnd); IsEOF's look reads into it too.
  static constexpr int32_t kReadAhead = 64 * 1024;
  // A read of this much or more goes straight to the descriptor once what came ahead is taken:
  // a copy through the read-ahead would only cost.
  static constexpr int32_t kLargeRead = kReadAhead / 2;
  std::vector<uint8_t> mAhead;
  int32_t mAheadAt = 0;
  int32_t mAheadEnd = 0;
  bool mCloseRequested = false;  // by another thread, meanwhile
  int32_t mSeekError = 0;
};

// 0 when the path (links followed) is a regular file; else the errno of the look-up, EISDIR for
// a folder, or ESPIPE for anything else (a pipe, a device, a socket): what a reader that opens
// the file itself and wants all of it (an image or a sound decoder, cp) could wait on for ever.
int32_t RegularFileError(const char* path);

// A new, closed data file of this platform; the caller owns it.
DataFile* NewDataFile();

// Closes its data file when the program ends, unless the file was closed or destroyed first.
class DataFileCleaner : public runShutdownTask {
 public:
  static constexpr const char* kTaskName = "DataFileCleaner";
  // Attaches itself to the file (replacing a cleaner the file had).
  explicit DataFileCleaner(DataFile* file);
  ~DataFileCleaner() override;

  DataFile* mFile;
};

}  // namespace vorn
