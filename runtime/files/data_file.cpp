#include "files/data_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "strings/runtime_error.h"

namespace vorn {

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

}  // namespace

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

// --- over a C stream -----------------------------------------------------------------------

UnixDataFile::~UnixDataFile() {
  if (mFile) CloseFile();
}

void UnixDataFile::StoreErrno() { mLastError = errno; }

bool UnixDataFile::OpenWithMode(const char* path, const char* mode) {
  if (mFile) CloseFile();
  if (!path) {
    mLastError = EINVAL;
    return false;
  }
  mDirection = kIdle;
  mFile = std::fopen(path, mode);
  if (!mFile) {
    StoreErrno();
    return false;
  }
  return true;
}

bool UnixDataFile::Create(const char* path) { return OpenWithMode(path, "w+"); }

bool UnixDataFile::Open(const char* path, int32_t permission) {
  if (permission == kDataFileReadPermission) return OpenWithMode(path, "r");
  if (permission == kDataFileReadWritePermission) return OpenWithMode(path, "r+");
  ReportDataFileAssertion(__LINE__, "false", "Invalid permissions passed in to UnixDataFile::Open");
  return false;
}

bool UnixDataFile::CreateTemporary(const char* name) {
  if (!name || !*name) {
    if (mFile) CloseFile();
    mDirection = kIdle;
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
  if (mFile) CloseFile();
  mDirection = kIdle;
  std::string path = TemporaryFolderPath();
  path += name;
  int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) {
    StoreErrno();
    return false;
  }
  mFile = fdopen(descriptor, "w+");
  if (!mFile) {
    StoreErrno();
    close(descriptor);
    return false;
  }
  return true;
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
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  std::string scrambled;
  if (mScramble) {
    // The running key changes with every byte, so the caller's buffer stays untouched.
    scrambled.assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
    ScrambleInPlace(reinterpret_cast<uint8_t*>(scrambled.data()), count);
    bytes = reinterpret_cast<const uint8_t*>(scrambled.data());
  }
  SwitchDirection(kWriting);
  size_t put = std::fwrite(bytes, 1, static_cast<size_t>(count), mFile);
  if (put != static_cast<size_t>(count)) {
    StoreErrno();
    std::clearerr(mFile);
    return false;
  }
  return true;
}

bool UnixDataFile::SetPosition(int32_t position) {
  if (!mFile) return false;
  if (std::fseek(mFile, position, SEEK_SET) != 0) {
    StoreErrno();
    return false;
  }
  mDirection = kIdle;
  return true;
}

void UnixDataFile::SwitchDirection(Direction next) {
  // A C stream must be positioned between a write and a read that follows it, and back.
  if (mDirection != kIdle && mDirection != next) std::fseek(mFile, 0, SEEK_CUR);
  mDirection = next;
}

int32_t UnixDataFile::GetLength() {
  if (!mFile) return -1;
  long position = std::ftell(mFile);
  if (position < 0 || std::fseek(mFile, 0, SEEK_END) != 0) {
    StoreErrno();
    return -1;
  }
  long length = std::ftell(mFile);
  if (length < 0 || std::fseek(mFile, position, SEEK_SET) != 0) {
    StoreErrno();
    return -1;
  }
  mDirection = kIdle;
  if (length > INT32_MAX) {
    mLastError = EOVERFLOW;
    return -1;
  }
  return static_cast<int32_t>(length);
}

bool UnixDataFile::SetLength(int32_t length) {
  if (!mFile || length < 0) return false;
  // Buffered bytes must reach the file before its size changes under them.
  if (std::fflush(mFile) != 0 || ftruncate(fileno(mFile), length) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

int32_t UnixDataFile::GetPosition() {
  if (!mFile) return 0;
  long position = std::ftell(mFile);
  if (position < 0) {
    StoreErrno();
    return 0;
  }
  if (position > INT32_MAX) {
    mLastError = EOVERFLOW;
    return 0;
  }
  return static_cast<int32_t>(position);
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
