#include "files/data_file.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/background_task.h"
#include "files/descriptor_wait.h"
#include "strings/runtime_error.h"

namespace vorn {

static_assert(sizeof(off_t) == 8, "data files count their bytes in 64 bits");

namespace {

constexpr const char* kDataFileSource = "../Universal/DataFile";

void ReportDataFileAssertion(int32_t line, const char* condition, const char* message) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kDataFileSource, line, condition,
                     message);
}

// The user's temporary folder (TMPDIR when it names a folder), ending with "/".
std::string TemporaryFolderPath() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && folder[0] == '/' ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

int32_t KindError(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return 0;
  return S_ISDIR(info.st_mode) ? EISDIR : ESPIPE;
}

}  // namespace

int32_t RegularFileError(const char* path) {
  struct stat info;
  if (!path) return EINVAL;
  if (stat(path, &info) != 0) return errno;
  return KindError(info);
}

// --- the medium-less base ------------------------------------------------------------------

DataFile::~DataFile() {
  if (DataFileCleaner* cleaner = mCleaner) {
    mCleaner = nullptr;
    cleaner->mFile = nullptr;
    delete cleaner;
  }
}

bool DataFile::Read(void*, int32_t, int32_t* outCount) {
  if (outCount) *outCount = 0;
  return false;
}
bool DataFile::Write(const void*, int32_t) { return false; }
bool DataFile::Close() { return false; }
bool DataFile::SetPosition(int32_t) { return false; }
int32_t DataFile::GetLength() { return 0; }
bool DataFile::SetLength(int32_t) { return false; }
bool DataFile::Create(const char*) { return false; }
bool DataFile::Open(const char*, int32_t) { return false; }
bool DataFile::CreateTemporary(const char*) { return false; }
int32_t DataFile::CloseFile() { return 0; }
bool DataFile::Lock(bool) { return false; }
bool DataFile::OpenToAppend(const char*, bool) { return false; }

// --- over a C stream -----------------------------------------------------------------------

UnixDataFile::~UnixDataFile() {
  if (mFile) CloseFile();
}

void UnixDataFile::StoreErrno() { mLastError = errno; }

void UnixDataFile::StartOver() {
  if (mFile) CloseFile();
  mDirection = kIdle;
  mPositionLost = false;
  mSequential = false;
  mWriteOnly = false;
  mAtEnd = false;
  mWriterCame = false;
  mAheadAt = mAheadEnd = 0;
}

bool UnixDataFile::AdoptDescriptor(int descriptor, const char* mode) {
  mFile = fdopen(descriptor, mode);
  if (!mFile) {
    StoreErrno();
    close(descriptor);
    return false;
  }
  return true;
}

int UnixDataFile::OpenDescriptor(const char* path, int flags) {
  // Without O_NONBLOCK, opening a pipe waits until someone opens its other end; with it, a pipe
  // opened to be written fails at once (ENXIO) while nobody reads it.
  constexpr int kNeverWait = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  // Opened to read and write, a pipe would count this very file as its reader: what is written
  // would stay in it unread once the real reader has gone, and a write that fills it would wait
  // for ever. A pipe to be written is opened to be written only, as any program opens one.
  struct stat info;
  if ((flags & O_ACCMODE) == O_RDWR && stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) {
    flags = (flags & ~O_ACCMODE) | O_WRONLY;
  }
  const int descriptor = open(path, flags | kNeverWait, 0666);
  if (descriptor < 0) {
    StoreErrno();
    return -1;
  }
  if (fstat(descriptor, &info) != 0) {
    StoreErrno();
    close(descriptor);
    return -1;
  }
  mSequential = S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode);
  mWriteOnly = (flags & O_ACCMODE) == O_WRONLY;
  int32_t error = mSequential ? 0 : KindError(info);
  // A pipe put in the file's place between the look and the opening.
  if (S_ISFIFO(info.st_mode) && (flags & O_ACCMODE) == O_RDWR) error = EAGAIN;
  if (error != 0) {
    mLastError = error;
    close(descriptor);
    return -1;
  }
  // A pipe or a device stays without waiting: its reads and writes wait in the file layer's
  // wait, where a quit signal is carried out and other threads run (a read or write that waits
  // in the system would restart after the signal, holding the runtime all along).
  if (mSequential) return descriptor;
  int status = fcntl(descriptor, F_GETFL);
  if (status < 0 || fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK) != 0) {
    StoreErrno();
    close(descriptor);
    return -1;
  }
  return descriptor;
}

bool UnixDataFile::OpenFile(const char* path, int flags, const char* mode) {
  StartOver();
  if (!path) {
    mLastError = EINVAL;
    return false;
  }
  const int descriptor = OpenDescriptor(path, flags);
  // A stream must not ask to read what was opened to be written only.
  if (descriptor >= 0 && mWriteOnly) mode = (flags & O_APPEND) ? "a" : "w";
  if (descriptor < 0 || !AdoptDescriptor(descriptor, mode)) return false;
  // What is written to a pipe or a terminal reaches it at once, and a read gives what came.
  if (mSequential) setvbuf(mFile, nullptr, _IONBF, 0);
  return true;
}

bool UnixDataFile::Create(const char* path) { return OpenFile(path, O_RDWR | O_CREAT | O_TRUNC, "w+"); }

bool UnixDataFile::Open(const char* path, int32_t permission) {
  if (permission == kDataFileReadPermission) return OpenFile(path, O_RDONLY, "r");
  if (permission == kDataFileReadWritePermission) return OpenFile(path, O_RDWR, "r+");
  ReportDataFileAssertion(__LINE__, "false", "Invalid permissions passed in to UnixDataFile::Open");
  return false;
}

// Every write lands at the end of the file as it is then, whatever other programs appended or
// cut meanwhile; the stream's position follows it. A file made here is no exception: another
// stream or program may append to it from the moment it exists.
bool UnixDataFile::OpenToAppend(const char* path, bool create) {
  if (!OpenFile(path, O_RDWR | O_APPEND | (create ? O_CREAT : 0), "a+")) return false;
  // A pipe or a device has no end to move to: what is written goes after what was.
  if (mSequential || SetPosition64(GetLength64())) return true;
  const int32_t error = mLastError;
  CloseFile();
  mLastError = error;
  return false;
}

bool UnixDataFile::CreateTemporary(const char* name) {
  if (!name || !*name) {
    StartOver();
    mFile = std::tmpfile();
    if (!mFile) {
      StoreErrno();
      return false;
    }
    return true;
  }
  // The name must stay a name inside the temporary folder, and the file must be a new one of
  // this user's: an existing file or a link planted under a guessable name is refused, never
  // emptied or followed.
  std::string_view plain(name);
  if (plain == "." || plain == ".." || plain.find('/') != std::string_view::npos) {
    mLastError = EINVAL;
    return false;
  }
  StartOver();
  std::string path = TemporaryFolderPath();
  path += name;
  int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) {
    StoreErrno();
    return false;
  }
  return AdoptDescriptor(descriptor, "w+");
}

int32_t UnixDataFile::CloseFile() {
  if (!mFile) return 0;
  int result = std::fclose(mFile);
  mFile = nullptr;
  if (result != 0) {
    StoreErrno();
    return mLastError;
  }
  return 0;
}

bool UnixDataFile::Close() {
  if (DataFileCleaner* cleaner = mCleaner) {
    // The cleaner has nothing left to do once the file is closed here.
    mCleaner = nullptr;
    cleaner->mFile = nullptr;
    delete cleaner;
  }
  // The thread waiting in the file comes back to it; it closes the file then.
  if (mWaitedIn) {
    mCloseRequested = true;
    return true;
  }
  if (!mFile) return false;
  bool flushed = std::fflush(mFile) == 0;
  if (!flushed) StoreErrno();
  bool closed = CloseFile() == 0;
  return flushed && closed;
}

bool UnixDataFile::Read(void* buffer, int32_t count, int32_t* outCount) {
  if (outCount) *outCount = 0;
  if (count == 0) return true;
  if (!buffer) {
    ReportDataFileAssertion(__LINE__, "data", nullptr);
    return false;
  }
  if (!mFile || count < 0) return false;
  if (mSequential) return ReadInOrder(buffer, count, outCount);
  if (!PositionKnown()) return false;
  SwitchDirection(kReading);
  size_t got = std::fread(buffer, 1, static_cast<size_t>(count), mFile);
  if (outCount) *outCount = static_cast<int32_t>(got);
  if (std::ferror(mFile)) {
    StoreErrno();
    std::clearerr(mFile);
    return false;
  }
  if (got > 0) DescrambleInPlace(static_cast<uint8_t*>(buffer), static_cast<int32_t>(got));
  return got > 0;
}

bool UnixDataFile::Write(const void* buffer, int32_t count) {
  if (!mFile || count < 0 || (count > 0 && !buffer)) return false;
  if (count == 0) return true;
  if (!PositionKnown()) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  std::string scrambled;
  if (mScramble) {
    // The running key changes with every byte, so the caller's buffer stays untouched.
    scrambled.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    ScrambleInPlace(reinterpret_cast<uint8_t*>(scrambled.data()), count);
    bytes = reinterpret_cast<const uint8_t*>(scrambled.data());
  }
  if (mSequential) return WriteInOrder(bytes, count);
  SwitchDirection(kWriting);
  size_t put = std::fwrite(bytes, 1, static_cast<size_t>(count), mFile);
  if (put != static_cast<size_t>(count)) {
    StoreErrno();
    std::clearerr(mFile);
    return false;
  }
  return true;
}

bool UnixDataFile::AwaitDescriptor(short events, bool oneLook) {
  // The descriptor is taken while the runtime is held: meanwhile the file is not touched.
  const int descriptor = fileno(mFile);
  mWaitedIn = true;
  if (oneLook) {
    LookForDescriptor(descriptor, events, 0);
  } else {
    while (!mCloseRequested && !LookForDescriptor(descriptor, events)) {
    }
  }
  mWaitedIn = false;
  if (!mCloseRequested) return true;
  mCloseRequested = false;
  CloseFile();
  mAtEnd = true;
  mLastError = EBADF;
  return false;
}

bool UnixDataFile::ReadInOrder(void* buffer, int32_t count, int32_t* outCount) {
  // Nothing would ever wake the wait below.
  if (mWriteOnly) {
    mLastError = EBADF;
    return false;
  }
  // Another thread waits to read: what it reads must not go to this one.
  if (mWaitedIn) {
    mLastError = EBUSY;
    return false;
  }
  // A device that is always ready (/dev/zero) or a pipe that is never empty lets the other
  // threads run at every read all the same, as one that waits does.
  if (!AwaitDescriptor(POLLIN, true)) return false;
  // What came ahead is handed out first, without waiting for more.
  if (mAheadAt == mAheadEnd && count < kLargeRead) {
    if (mAhead.empty()) mAhead.resize(kReadAhead);
    const ssize_t got = ReadDescriptor(mAhead.data(), kReadAhead);
    if (got < 0) return false;
    mAheadAt = 0;
    mAheadEnd = static_cast<int32_t>(got);
  }
  if (mAheadAt < mAheadEnd) {
    int32_t taken = std::min(count, mAheadEnd - mAheadAt);
    std::memcpy(buffer, mAhead.data() + mAheadAt, static_cast<size_t>(taken));
    mAheadAt += taken;
    // With what else has come by now: the descriptor never waits, what has not come yet is the
    // next read's.
    if (taken < count && !mAtEnd) {
      const ssize_t more = read(fileno(mFile), static_cast<uint8_t*>(buffer) + taken, static_cast<size_t>(count - taken));
      if (more == 0) mAtEnd = true;
      if (more > 0) {
        DescrambleInPlace(static_cast<uint8_t*>(buffer) + taken, static_cast<int32_t>(more));
        taken += static_cast<int32_t>(more);
      }
    }
    if (outCount) *outCount = taken;
    return true;
  }
  if (mAtEnd && count < kLargeRead) return false;
  const ssize_t got = ReadDescriptor(static_cast<uint8_t*>(buffer), count);
  if (outCount) *outCount = static_cast<int32_t>(std::max<ssize_t>(got, 0));
  return got > 0;
}

ssize_t UnixDataFile::ReadDescriptor(uint8_t* buffer, int32_t count) {
  // A read of a pipe that no writer has opened yet would answer its end at once: this waits
  // for the first writer, as opening it to read would in any program. Once a writer has been
  // there, what has come is taken without a wait first (a system call saved on a busy pipe),
  // a quit signal carried out all the same; a pipe that has nothing waits, letting the other
  // threads run.
  ssize_t got = -1;
  bool tried = false;
  if (mWriterCame) {
    RunPendingWork();
    got = read(fileno(mFile), buffer, static_cast<size_t>(count));
    tried = true;
  }
  while (got < 0 && (!tried || errno == EINTR || errno == EAGAIN)) {
    if (!AwaitDescriptor(POLLIN)) return -1;
    got = read(fileno(mFile), buffer, static_cast<size_t>(count));
    tried = mWriterCame = true;
  }
  if (got < 0) {
    StoreErrno();
    return -1;
  }
  mAtEnd = got == 0;
  if (got > 0) DescrambleInPlace(buffer, static_cast<int32_t>(got));
  return got;
}

bool UnixDataFile::WriteInOrder(const uint8_t* bytes, int32_t count) {
  // Another thread waits to write: the two would mix their bytes.
  if (mWaitedIn) {
    mLastError = EBUSY;
    return false;
  }
  // A pipe whose reader has gone answers EPIPE here instead of ending the program.
  sigset_t brokenPipe, previous;
  sigemptyset(&brokenPipe);
  sigaddset(&brokenPipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);
  int32_t written = 0;
  while (written < count) {
    const ssize_t put = write(fileno(mFile), bytes + written, static_cast<size_t>(count - written));
    if (put > 0) {
      written += static_cast<int32_t>(put);
    } else if (put < 0 && errno == EAGAIN) {
      if (!AwaitDescriptor(POLLOUT)) break;
    } else if (put == 0 || errno != EINTR) {
      mLastError = put == 0 ? EIO : errno;
      break;
    }
  }
  if (written < count && mLastError == EPIPE && !sigismember(&previous, SIGPIPE)) {
    const struct timespec none = {0, 0};
    sigtimedwait(&brokenPipe, nullptr, &none);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return written == count;
}

bool UnixDataFile::Positioned() {
  if (!mSequential) return true;
  mLastError = ESPIPE;
  return false;
}

bool UnixDataFile::IsEOF() {
  if (!mFile) return true;
  if (mWriteOnly || mWaitedIn) return mAtEnd;
  if (mSequential) {
    if (mAheadAt < mAheadEnd || mAtEnd) return mAheadAt == mAheadEnd;
    // What the look reads is kept for the next read.
    uint8_t next = 0;
    int32_t got = 0;
    ReadInOrder(&next, 1, &got);
    if (got == 1) --mAheadAt;
    return got != 1;
  }
  // Nothing can be read until a seek succeeds.
  if (!PositionKnown()) return true;
  SwitchDirection(kReading);
  const int next = std::getc(mFile);
  if (next == EOF) {
    if (std::ferror(mFile)) StoreErrno();
    // Another program may still add to the file: the next read looks again.
    std::clearerr(mFile);
    return true;
  }
  std::ungetc(next, mFile);
  return false;
}

bool UnixDataFile::HandOn() {
  // A store read in order hands on in the wait of every read.
  return !mFile || mSequential || AwaitDescriptor(POLLIN);
}

bool UnixDataFile::SetPosition64(int64_t position) {
  if (!mFile || !Positioned()) return false;
  if (position < 0 || fseeko(mFile, static_cast<off_t>(position), SEEK_SET) != 0) {
    mLastError = position < 0 ? EINVAL : errno;
    mSeekError = mLastError;
    mPositionLost = true;
    return false;
  }
  mDirection = kIdle;
  mPositionLost = false;
  return true;
}

bool UnixDataFile::PositionKnown() {
  if (!mPositionLost) return true;
  mLastError = mSeekError;
  return false;
}

void UnixDataFile::SwitchDirection(Direction next) {
  // A C stream must be positioned between a write and a read that follows it, and back.
  if (mDirection != kIdle && mDirection != next) std::fseek(mFile, 0, SEEK_CUR);
  mDirection = next;
}

int64_t UnixDataFile::GetLength64() {
  if (!mFile || !Positioned()) return -1;
  struct stat info;
  if (fstat(fileno(mFile), &info) != 0) {
    StoreErrno();
    return -1;
  }
  int64_t length = info.st_size;
  // Bytes the stream still buffers end at its position; counting them needs no flush, which
  // would also throw away what a reader has buffered.
  if (mDirection == kWriting) {
    const off_t position = ftello(mFile);
    if (position > length) length = position;
  }
  return length;
}

int32_t UnixDataFile::GetLength() { return Answer32(GetLength64()); }

bool UnixDataFile::SetLength(int32_t length) {
  if (!mFile || length < 0 || !Positioned()) return false;
  // Buffered bytes must reach the file before its size changes under them.
  if (std::fflush(mFile) != 0 || ftruncate(fileno(mFile), length) != 0) {
    StoreErrno();
    return false;
  }
  // Nothing is buffered now, so the length is the file's own, whatever the position.
  mDirection = kIdle;
  return true;
}

int64_t UnixDataFile::GetPosition64() {
  if (!mFile) return 0;
  if (!PositionKnown() || !Positioned()) return -1;
  const off_t position = ftello(mFile);
  if (position < 0) {
    StoreErrno();
    return -1;
  }
  return static_cast<int64_t>(position);
}

int32_t UnixDataFile::GetPosition() { return Answer32(GetPosition64()); }

bool UnixDataFile::Lock(bool exclusive) {
  if (!mFile) return false;
  int result;
  do {
    result = flock(fileno(mFile), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    mLastError = errno == EWOULDBLOCK ? EBUSY : errno;
    return false;
  }
  return true;
}

void UnixDataFile::Flush() {
  if (mFile && std::fflush(mFile) != 0) StoreErrno();
}

DataFile* NewDataFile() { return new UnixDataFile; }

// --- the cleaner ---------------------------------------------------------------------------

DataFileCleaner::DataFileCleaner(DataFile* file) : mFile(file) {
  if (!file) return;
  if (DataFileCleaner* previous = file->mCleaner) {
    previous->mFile = nullptr;
    delete previous;
  }
  file->mCleaner = this;
}

DataFileCleaner::~DataFileCleaner() {
  if (DataFile* file = mFile) {
    mFile = nullptr;
    file->mCleaner = nullptr;
    file->Close();
  }
}

}  // namespace vorn
