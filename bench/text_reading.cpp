// Reading a file and a pipe through the runtime's streams beside plain read(2) doing the same
// in the same run: 1 GiB of 64-byte lines by TextInputStream.ReadLine (beside read(2) and memchr
// finding each line feed), by TextInputStream.ReadAll and by BinaryStream.Read in 1 MiB pieces
// (beside read(2) into one 1 MiB buffer, and ReadAll also beside read(2) into one new buffer,
// of the file's size or doubled as a pipe fills it). The pipe's writer is the same thread for both.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "files/binary_stream.h"
#include "files/data_file.h"
#include "files/stream_objects.h"
#include "files/text_input_stream.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace {

constexpr int64_t kVolume = int64_t{1} << 30;
constexpr int kLine = 64;
constexpr size_t kPiece = 1 << 20;

// 1 MiB of 64-byte lines, 63 letters and a line feed each.
const std::string& Lines() {
  static const std::string piece = [] {
    std::string text;
    for (size_t i = 0; text.size() < kPiece; ++i) text += std::string(kLine - 1, static_cast<char>('a' + i % 26)) + "\n";
    return text;
  }();
  return piece;
}

std::string Scratch(const char* name) {
  static const std::string folder = [] {
    static std::string path = "/tmp/vorn-bench-XXXXXX";
    if (!mkdtemp(path.data())) std::abort();
    std::atexit([] { std::filesystem::remove_all(path); });
    return path;
  }();
  return folder + "/" + name;
}

const std::string& LinesFile() {
  static const std::string path = [] {
    const std::string name = Scratch("lines");
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (int64_t put = 0; put < kVolume; put += static_cast<int64_t>(kPiece)) {
      if (write(fd, Lines().data(), kPiece) != static_cast<ssize_t>(kPiece)) std::abort();
    }
    close(fd);
    return name;
  }();
  return path;
}

// A named pipe that a thread fills with kVolume bytes of lines once a reader has opened it.
class FilledPipe {
 public:
  FilledPipe() : mPath(Scratch("pipe")) {
    unlink(mPath.c_str());
    if (mkfifo(mPath.c_str(), 0600) != 0) std::abort();
    mWriter = std::thread([path = mPath] {
      const int fd = open(path.c_str(), O_WRONLY);
      for (int64_t put = 0; put < kVolume;) {
        const ssize_t n = write(fd, Lines().data(), kPiece);
        if (n <= 0) break;
        put += n;
      }
      close(fd);
    });
  }
  ~FilledPipe() { mWriter.join(); }
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
  std::thread mWriter;
};

vorn::RuntimeObject* OpenStream(const std::string& path, vorn::RuntimeObject* (*make)(vorn::RandomAccessMechanism*)) {
  auto* store = new vorn::UnixDataFile();
  if (!store->Open(path.c_str(), vorn::kDataFileReadPermission)) std::abort();
  return make(store);
}

// As compiled code lets a line go.
void Release(vorn::StringRep* text) { RuntimeUnlockString(text); }

int64_t OursByLines(const std::string& path) {
  vorn::RuntimeObject* in = OpenStream(path, vorn::NewTextInputStreamObject);
  int64_t lines = 0;
  while (!TextInputStreamEOF(in)) {
    Release(TextInputStreamReadLine(in, nullptr));
    ++lines;
  }
  vorn::ReleaseObject(in);
  return lines;
}

int64_t PlainByLines(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  static char block[65536];
  int64_t lines = 0;
  for (ssize_t got; (got = read(fd, block, sizeof block)) > 0;) {
    for (const char* at = block; (at = static_cast<const char*>(std::memchr(at, '\n', block + got - at))); ++at) ++lines;
  }
  close(fd);
  return lines;
}

int64_t OursAll(const std::string& path) {
  vorn::RuntimeObject* in = OpenStream(path, vorn::NewTextInputStreamObject);
  vorn::string all = vorn::string::Adopt(TextInputStreamReadAll(in, nullptr));
  vorn::ReleaseObject(in);
  return all.Length();
}

// Everything into one new buffer, as a program that reads a whole file does: of the file's size,
// or for a pipe one that doubles whenever it is full.
int64_t PlainAll(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  struct stat info;
  fstat(fd, &info);
  size_t room = S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : kPiece;
  char* all = static_cast<char*>(std::malloc(room));
  size_t bytes = 0;
  for (ssize_t got; (got = read(fd, all + bytes, room - bytes)) > 0;) {
    bytes += static_cast<size_t>(got);
    if (bytes == room && !S_ISREG(info.st_mode)) all = static_cast<char*>(std::realloc(all, room *= 2));
  }
  benchmark::DoNotOptimize(all);
  std::free(all);
  close(fd);
  return static_cast<int64_t>(bytes);
}

int64_t OursByPieces(const std::string& path) {
  vorn::RuntimeObject* in = OpenStream(path, vorn::NewBinaryStreamObject);
  int64_t bytes = 0;
  while (!BinaryStreamEOF(in)) bytes += vorn::string::Adopt(BinaryStreamRead(in, kPiece, nullptr)).Length();
  vorn::ReleaseObject(in);
  return bytes;
}

int64_t PlainByPieces(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  static char block[kPiece];
  int64_t bytes = 0;
  for (ssize_t got; (got = read(fd, block, sizeof block)) > 0;) bytes += got;
  close(fd);
  return bytes;
}

template <int64_t (*kRead)(const std::string&)>
void BM_File(benchmark::State& state) {
  const std::string& path = LinesFile();
  for (auto _ : state) benchmark::DoNotOptimize(kRead(path));
  state.SetBytesProcessed(state.iterations() * kVolume);
}

template <int64_t (*kRead)(const std::string&)>
void BM_Pipe(benchmark::State& state) {
  for (auto _ : state) {
    FilledPipe pipe;
    benchmark::DoNotOptimize(kRead(pipe.Path()));
  }
  state.SetBytesProcessed(state.iterations() * kVolume);
}

#define VOLUME_BENCHMARK(kind, read) \
  BENCHMARK_TEMPLATE(kind, read)->Name(#kind "/" #read)->Unit(benchmark::kMillisecond)->Iterations(2)

VOLUME_BENCHMARK(BM_File, PlainByLines);
VOLUME_BENCHMARK(BM_File, OursByLines);
VOLUME_BENCHMARK(BM_Pipe, PlainByLines);
VOLUME_BENCHMARK(BM_Pipe, OursByLines);
VOLUME_BENCHMARK(BM_File, PlainByPieces);
VOLUME_BENCHMARK(BM_File, PlainAll);
VOLUME_BENCHMARK(BM_File, OursAll);
VOLUME_BENCHMARK(BM_File, OursByPieces);
VOLUME_BENCHMARK(BM_Pipe, PlainByPieces);
VOLUME_BENCHMARK(BM_Pipe, PlainAll);
VOLUME_BENCHMARK(BM_Pipe, OursAll);
VOLUME_BENCHMARK(BM_Pipe, OursByPieces);

}  // namespace
BENCHMARK_MAIN();
