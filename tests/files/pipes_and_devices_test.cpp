// Pipes, devices and folders where a file is expected: every call answers at once, never
// waiting for a writer or a reader that does not come. Each call runs in a child process, so
// that one that would wait makes its row fail instead of hanging the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/background_task.h"
#include "files/binary_stream.h"
#include "files/folder_item_class.h"
#include "files/line_buffer.h"
#include "files/program_runner.h"
#include "files/support/child_run.h"
#include "files/support/temp_folder.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "objects/text_encoding_object.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {
namespace {

using SpecialFileTest = TempFolderTest;

// Pipes and devices open to be read and written in order, at once; only what needs a whole
// file, a length or a position is refused.
TEST_F(SpecialFileTest, PipesAndDevicesOpenAtOnceAndRefuseOnlyWhatNeedsAFile) {
  for (const char* name : {"pipe", "pipe.wav", "pipe.png"}) ASSERT_EQ(mkfifo(PathOf(name).c_str(), 0600), 0);
  MakeFolder("folder");
  WriteFile("plain", "words");
  WriteFile("letters", "0123456789ABCDEF");
  // "stream" for a stream, else "nil" and the item's LastErrorCode.
  auto opens = [](RuntimeObject* (*open)(RuntimeObject*)) {
    return [open](RuntimeObject* item, FolderItemImpUnix*) {
      return open(item) ? "stream" : "nil " + std::to_string(FolderItemGetLastError(item, 0));
    };
  };
  auto binary = [](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 0); };
  // CopyFileTo from the item to `to`: whether it copied, its error, and whether `to` became a file.
  auto copies = [this](std::string to) {
    return [this, to](RuntimeObject*, FolderItemImpUnix* imp) {
      const bool copied = imp->CopyFileTo(Item(PathOf(to)).get());
      return std::to_string(copied) + " " + std::to_string(imp->mLastError) +
             (std::filesystem::is_regular_file(PathOf(to)) ? " made" : "");
    };
  };
  // A line written through the stream `open` makes, its error at closing, and what came out of
  // the standard error, a pipe here.
  auto logs = [](RuntimeObject* (*open)(RuntimeObject*)) {
    return [open](RuntimeObject* item, FolderItemImpUnix*) {
      int ends[2];
      if (pipe(ends) != 0 || dup2(ends[1], STDERR_FILENO) < 0) return std::string("no pipe");
      close(ends[1]);
      RuntimeObject* out = open(item);
      if (!out) return "nil " + std::to_string(FolderItemGetLastError(item, 0));
      TextOutputStreamWriteLine(out, string("logged").Rep());
      TextOutputStreamClose(out);
      close(STDERR_FILENO);
      char got[16] = {};
      return std::to_string(TextOutputStreamLastErrorGetter(out)) + " " + std::string(got, std::max<ssize_t>(read(ends[0], got, 16), 0));
    };
  };
  // A writer that comes after the reader opened the pipe, writes two lines and goes.
  auto readsLines = [this](RuntimeObject* item, FolderItemImpUnix*) {
    RuntimeObject* in = FolderItemOpenTextFile(item);
    if (!in) return std::string("nil");
    if (fork() == 0) {
      usleep(100 * 1000);
      std::ofstream(PathOf("pipe")) << "one\r\ntwo\n";
      _exit(0);
    }
    std::string lines;
    for (int i = 0; i < 3; ++i) lines += Text(string::Adopt(TextInputStreamReadLine(in, nullptr))) + "|";
    return lines + std::to_string(TextInputStreamEOF(in));
  };
  // What a stream reads of input that comes in parts, a pause before each, from a writer that
  // goes (a pipe, a started program) or typed on a terminal and ended by Ctrl-D.
  struct Input {
    std::string path;
    int end = -1;  // where this test writes, if anywhere
    std::vector<std::string> parts = {"one\n", "two\n"};
    bool closes = true;  // the test's end closes once the writer has it
    bool byByte = false;  // a byte at a time, each once the reader took the one before
  };
  auto reads = [](std::function<Input()> make, RuntimeObject* (*open)(RuntimeObject*),
                  std::function<std::string(RuntimeObject* stream)> read) {
    return [make, open, read](RuntimeObject*, FolderItemImpUnix*) {
      const Input input = make();
      RuntimeObject* in = open(NewFolderItemWithImp(nullptr, Item(input.path).release()));
      if (!in) return std::string("nil");
      if (input.end >= 0 && fork() == 0) {
        for (const std::string& part : input.parts) {
          if (!input.byByte) usleep(50 * 1000);
          if (write(input.end, part.data(), part.size()) < 0) _exit(1);
          for (int left = 1; input.byByte && ioctl(input.end, FIONREAD, &left) == 0 && left > 0;) usleep(1000);
        }
        _exit(0);
      }
      if (input.closes) close(input.end);
      return read(in);
    };
  };
  // Everything, then whether the stream is at its end; text tagged other than with the stream's
  // encoding (UTF-8) says so.
  auto readsAll = [&reads](std::function<Input()> make) {
    return reads(make, FolderItemOpenTextFile, [](RuntimeObject* in) {
      const string all = string::Adopt(TextInputStreamReadAll(in, nullptr));
      const std::string tag = all.IsEmpty() || all.Encoding() == kEncodingUTF8 ? "" : "|tagged " + std::to_string(all.Encoding());
      return Text(all) + "|" + std::to_string(TextInputStreamEOF(in)) + tag;
    });
  };
  // Every line of a While Not EOF loop (at most 100), each ended by a line feed.
  auto loops = [&reads](std::function<Input()> make) {
    return reads(make, FolderItemOpenTextFile, [](RuntimeObject* in) {
      std::string lines;
      for (int i = 0; i < 100 && !TextInputStreamEOF(in); ++i) lines += Text(string::Adopt(TextInputStreamReadLine(in, nullptr))) + "\n";
      return lines;
    });
  };
  // Every line read in UTF-16, its units shown as bytes, until EOF (at most 10).
  auto loopsInUTF16 = [&reads](std::function<Input()> make) {
    return reads(make, FolderItemOpenTextFile, [](RuntimeObject* in) {
      RuntimeObject* encoding = GetTEObjectFromEncoding(kEncodingUTF16);
      std::string lines;
      for (int i = 0; i < 10 && !TextInputStreamEOF(in); ++i) {
        std::string line = Text(string::Adopt(TextInputStreamReadLine(in, encoding)));
        line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());
        lines += line + "|";
      }
      return lines;
    });
  };
  // ReadAll while the longest text is `longest` bytes, its error, then what a Read of 5 finds.
  auto readsPast = [&reads](int32_t longest, std::function<Input()> make) {
    return reads(make, FolderItemOpenTextFile, [longest](RuntimeObject* in) {
      SetLongestReadableTextForTests(longest);
      const std::string all = Text(string::Adopt(TextInputStreamReadAll(in, nullptr)));
      const std::string error = std::to_string(TextInputStreamLastErrorGetter(in));
      return all + "|" + error + "|" + Text(string::Adopt(TextInputStreamRead(in, 5, nullptr)));
    });
  };
  // ReadAll of a 3 MiB file that `change` changes once the first piece of it is read: the size
  // of what it answered, its last four bytes and the error.
  static std::function<void()> sChange;
  auto readsAllWhile = [this](std::function<void(const std::string&)> change) {
    return [this, change](RuntimeObject*, FolderItemImpUnix*) {
      WriteFile("changing", std::string(3 << 20, 'x'));
      RuntimeObject* in = FolderItemOpenTextFile(NewFolderItemWithImp(nullptr, Item(PathOf("changing")).release()));
      sChange = [path = PathOf("changing"), change] { change(path); };
      SetBackgroundTaskPendingWorkHook([] { if (sChange) std::exchange(sChange, nullptr)(); });
      const std::string all = Text(string::Adopt(TextInputStreamReadAll(in, nullptr)));
      return std::to_string(all.size()) + "|" + all.substr(all.size() - 4) + "|" + std::to_string(TextInputStreamLastErrorGetter(in));
    };
  };
  auto file = [this](std::string name) { return [this, name] { return Input{name[0] == '/' ? name : PathOf(name)}; }; };
  // A file that tells length 0, as every one in /proc does, and holds one line.
  const std::string comm = [] { std::string line; std::getline(std::ifstream("/proc/self/comm"), line); return line + "\n"; }();
  auto fifo = [this](std::vector<std::string> parts) {
    return [this, parts] { return Input{PathOf("pipe"), ::open(PathOf("pipe").c_str(), O_RDWR), parts}; };
  };
  auto fifoByBytes = [this](const std::string& bytes) {
    std::vector<std::string> parts;
    for (const char byte : bytes) parts.emplace_back(1, byte);
    return [this, parts] { return Input{PathOf("pipe"), ::open(PathOf("pipe").c_str(), O_RDWR), parts, true, true}; };
  };
  auto program = [] {
    int ends[2];
    if (pipe(ends) != 0 || fork() == 0) _exit(dup2(ends[1], 1) < 0 || execlp("sh", "sh", "-c", "echo one; sleep 0.1; echo two", nullptr));
    close(ends[1]);
    return Input{"/proc/self/fd/" + std::to_string(ends[0])};
  };
  auto terminal = [] {
    const int typist = posix_openpt(O_RDWR | O_NOCTTY);
    return Input{grantpt(typist) || unlockpt(typist) ? "" : ptsname(typist), typist, {"one\n", "two\n", "\x04"}, false};
  };
  // What a reader took of a first write, then the error of a write after it has gone.
  auto writesAfterTheReaderGoes = [this](bool binary) {
    return [this, binary](RuntimeObject* item, FolderItemImpUnix*) {
      const int reader = ::open(PathOf("pipe").c_str(), O_RDONLY | O_NONBLOCK);
      RuntimeObject* out = binary ? FolderItemOpenBinaryFile(item, 1) : FolderItemAppendTextFile(item);
      if (!out) return "nil " + std::to_string(FolderItemGetLastError(item, 0));
      const auto write = binary ? BinaryStreamWrite : TextOutputStreamWrite;
      write(out, string("taken").Rep());
      char got[16] = {};
      const std::string taken(got, static_cast<size_t>(std::max<ssize_t>(read(reader, got, sizeof got), 0)));
      close(reader);
      write(out, string("lost").Rep());
      return taken + std::to_string((binary ? BinaryStreamLastErrorGetter : TextOutputStreamLastErrorGetter)(out));
    };
  };
  // A quit signal (here: an exit with 7) ends a write to a pipe whose reader never reads.
  auto quitsWhileWriting = [this](RuntimeObject* item, FolderItemImpUnix*) {
    const int reader = ::open(PathOf("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    RuntimeObject* out = FolderItemCreateTextFile(item);
    if (reader < 0 || !out) return std::string("no pipe");
    static volatile sig_atomic_t asked = 0;
    signal(SIGTERM, [](int) { asked = 1; });
    SetBackgroundTaskPendingWorkHook([] { if (asked) _exit(7); });
    std::thread([] { usleep(100 * 1000), kill(getpid(), SIGTERM); }).detach();
    TextOutputStreamWrite(out, string(std::string(1 << 20, 'x'), kEncodingASCII).Rep());
    return "written, error " + std::to_string(TextOutputStreamLastErrorGetter(out));
  };
  // Once the exit has begun nothing is started or made, not even for a moment: the error, and
  // whether anything came into the test's folder meanwhile.
  auto afterTheExitBegan = [this](std::function<int()> call) {
    return [this, call](RuntimeObject*, FolderItemImpUnix*) {
      const int watch = inotify_init1(IN_NONBLOCK);
      inotify_add_watch(watch, Root().c_str(), IN_CREATE);
      EndListedForExit();
      const int error = call();
      char events[4096];
      return std::to_string(error) + (read(watch, events, sizeof events) > 0 ? " made" : "");
    };
  };
  // What a device gives, its Length and Position, and their error.
  auto readsBytes = [](RuntimeObject* item, FolderItemImpUnix*) {
    RuntimeObject* stream = FolderItemOpenBinaryFile(item, 0);
    if (!stream) return std::string("nil");
    std::string answer = std::to_string(Text(string::Adopt(BinaryStreamRead(stream, 4, nullptr))).size()) + " bytes ";
    answer += std::to_string(BinaryStreamGetLength(stream)) + " " + std::to_string(BinaryStreamGetPosition(stream));
    return answer + " " + std::to_string(BinaryStreamLastErrorGetter(stream));
  };
  const struct {
    const char* name;
    const char* path;  // inside the test's folder, or absolute
    std::function<std::string(RuntimeObject* item, FolderItemImpUnix* imp)> run;
    std::string answer;
  } cases[] = {
      {"OpenAsTextFile without a writer, then reads what one sends", "pipe", readsLines, "one|two||1"},
      {"ReadAll on a pipe, to its writer's end", "plain", readsAll(fifo({"one\n", "two\n"})), "one\ntwo\n|1"},
      {"ReadAll on a started program's output", "plain", readsAll(program), "one\ntwo\n|1"},
      {"ReadAll on a terminal, to Ctrl-D", "plain", readsAll(terminal), "one\ntwo\n|1"},
      {"ReadAll on a file", "plain", readsAll(file("plain")), "words|1"},
      {"While Not EOF over a pipe", "plain", loops(fifo({"one\n", "two\n", "three\n"})), "one\ntwo\nthree\n"},
      {"UTF-16 lines over a pipe written a byte at a time", "plain",
       loopsInUTF16(fifoByBytes(std::string("a\0\r\0\n\0b\0\r\0\n\0", 12))), "a|b|"},
      {"... the store ending at a CR", "plain", loopsInUTF16(fifoByBytes(std::string("a\0\r\0\n\0b\0\r\0", 10))), "a|b|"},
      {"... a lone CR, then a half unit", "plain", loopsInUTF16(fifoByBytes(std::string("a\0\r\0b", 5))), "a|b|"},
      {"ReadAll of a file that grows while it is read", "plain",
       readsAllWhile([](const std::string& path) { std::ofstream(path, std::ios::app) << "tail"; }), "3145732|tail|0"},
      {"ReadAll of a file cut short while it is read", "plain",
       readsAllWhile([](const std::string& path) { std::filesystem::resize_file(path, 3 << 19); }), "1572864|xxxx|0"},
      {"ReadAll on a file that tells length 0", "plain", readsAll(file("/proc/self/comm")), comm + "|1"},
      {"While Not EOF over it", "plain", loops(file("/proc/self/comm")), comm},
      {"ReadAll of the longest text from a pipe", "plain", readsPast(16, fifo({"0123456789", "ABCDEF"})), "0123456789ABCDEF|0|"},
      {"ReadAll past the longest text from a pipe, which it reads one byte past", "plain",
       readsPast(10, fifo({"0123456789", "ABCDEF"})), "|75|BCDEF"},
      {"ReadAll of a file longer than the longest text reads nothing", "plain", readsPast(10, file("letters")), "|75|01234"},
      {"BinaryStream.ReadLong and ReadPString, split between writes", "plain",
       reads(fifo({"\1\2", "\3\4\2a", "b"}), binary, [](RuntimeObject* in) {
         const int32_t value = BinaryStreamReadLong(in);
         return std::to_string(value) + Text(string::Adopt(BinaryStreamReadPString(in, nullptr)));
       }),
       "16909060ab"},
      {"OpenAsBinaryFile to write, nobody reading", "pipe", opens([](RuntimeObject* item) { return FolderItemOpenBinaryFile(item, 1); }), "nil 6"},
      {"AppendToTextFile, nobody reading", "pipe", opens(FolderItemAppendTextFile), "nil 6"},
      {"CreateTextFile, nobody reading", "pipe", opens(FolderItemCreateTextFile), "nil 6"},
      {"AppendToTextFile, the reader gone", "pipe", writesAfterTheReaderGoes(false), "taken32"},
      {"OpenAsBinaryFile to write, the reader gone", "pipe", writesAfterTheReaderGoes(true), "taken32"},
      {"a write waiting for a reader that never reads, then a quit signal", "pipe", quitsWhileWriting, "<exit 7>"},
      {"AppendToTextFile on /dev/null", "/dev/null", logs(FolderItemAppendTextFile), "0 "},
      {"CreateTextFile on /dev/null", "/dev/null", logs(FolderItemCreateTextFile), "0 "},
      {"AppendToTextFile on /dev/stderr", "/dev/stderr", logs(FolderItemAppendTextFile), "0 logged\n"},
      {"BinaryStream on /dev/zero: bytes, no length, no position", "/dev/zero", readsBytes, "4 bytes -1 -1 29"},
      {"OpenAsBinaryFile on a folder", "folder", opens(binary), "nil 21"},
      {"OpenAsSound", "pipe.wav", opens(FolderItemOpenSound), "nil 29"},
      {"OpenAsPicture", "pipe.png", opens(FolderItemOpenImage), "nil 29"},
      {"CopyFileTo from a pipe", "pipe", copies("copy"), "0 29"},
      {"CopyFileTo onto a pipe", "plain", copies("pipe"), "0 29"},
      {"a program started once the exit has begun", "plain",
       afterTheExitBegan([this] { return RunProgramAndWait({"touch", PathOf("ran")}).error; }), "125"},
      {"a scratch folder made once the exit has begun", "plain",
       afterTheExitBegan([this] { return ScratchFolder(PathOf("scratch-")).Error(); }), "125"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.path[0] == '/' ? c.path : PathOf(c.path);
    EXPECT_EQ(RunInChild([&] {
                FolderItemImpUnix* imp = Item(path).release();
                return c.run(NewFolderItemWithImp(nullptr, imp), imp);
              }),
              c.answer);
  }
  EXPECT_EQ(ReadFile("plain"), "words");
}

// A program the file layer waits for (cp, the picture converter) ends with the program that
// waits, with what it started and the converter's folder, however that one ends. A handler and
// a pending-work hook that exits stand in for the application room's quit signals.
// The start hook holds the exit where the program may run but is not yet known to have started.
volatile sig_atomic_t sQuitSignal = 0;

TEST_F(SpecialFileTest, AProgramTheFileLayerWaitsForEndsWithTheProgramThatWaits) {
  const std::string pids = PathOf("pids");  // pids and the converter's folder, once all are there
  const std::string notes = " > " + pids + ".part && mv " + pids + ".part " + pids;
  WriteFile("convert", "#!/bin/sh\nsleep 60 & out=${2#BMP3:}; echo $! $$ ${out%/*}" + notes + "; wait\n");
  chmod(PathOf("convert").c_str(), 0755);
  WriteFile("in.pict", "a picture");
  const struct {
    const char* name;
    int signal;                 // sent to the program that waits once all is noted; 0: none
    std::function<void()> run;  // in the program that waits
  } cases[] = {
      {"killed outright", SIGKILL, [&] { RunProgramAndWait({"sh", "-c", "echo $$" + notes + "; exec sleep 60"}); }},
      {"exit on another thread", 0,
       [&] {
         std::thread([&] { RunProgramAndWait({"sh", "-c", "sleep 60 & echo $! $$" + notes + "; wait"}); }).detach();
         while (!std::filesystem::exists(pids)) usleep(10000);
         std::exit(0);
       }},
      {"quit signal while the converter runs", SIGTERM,
       [&] {
         setenv("PATH", (Root() + ":" + getenv("PATH")).c_str(), 1);
         FolderItemOpenImage(NewFolderItemWithImp(nullptr, Item(PathOf("in.pict")).release()));
       }},
  };
  auto within = [](const std::function<bool()>& condition) {  // a minute at most
    for (int i = 0; i < 6000 && !condition(); ++i) usleep(10000);
    return condition();
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(pids.c_str());
    const pid_t waiter = fork();
    ASSERT_GE(waiter, 0);
    if (waiter == 0) {
      signal(SIGTERM, [](int) { sQuitSignal = 1; });
      SetBackgroundTaskPendingWorkHook([] { if (sQuitSignal) std::exit(0); });
      SetProgramStartHookForTests([](pid_t) { for (;; usleep(1000)) RunPendingWork(); });
      c.run();
      _exit(0);
    }
    std::vector<std::string> noted;
    ASSERT_TRUE(within([&] {
      std::ifstream in(pids);
      noted.assign(std::istream_iterator<std::string>(in), {});
      return !noted.empty();
    }));
    if (c.signal) kill(waiter, c.signal);
    if (!within([&] { return waitpid(waiter, nullptr, WNOHANG) != 0; }))
      ADD_FAILURE() << "the program that waits did not end", kill(waiter, SIGKILL), waitpid(waiter, nullptr, 0);
    for (const std::string& note : noted) {
      EXPECT_TRUE(note[0] == '/' ? !std::filesystem::exists(note) : within([&] { return !ProcessRuns(note); })) << note << " is left";
      if (note[0] != '/' && ProcessRuns(note)) kill(std::stoi(note), SIGKILL);
    }
  }
}

}  // namespace
}  // namespace vorn::testing
