// The standard streams over pipes: lines with every kind of end, reads of a count, the end of
// input, and writes that fail.
#include "core/console_streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "objects/runtime_object.h"
#include "objects/text_encoding_object.h"

namespace vorn {
namespace {

std::string Take(VornStringRecord* text) {
  string value = string::Share(text);
  std::string bytes(value.View());
  ReleaseStringRep(text);
  return bytes;
}

// Standard input fed from a pipe holding `bytes`, closed behind them.
class StandardInputPipe {
 public:
  explicit StandardInputPipe(const std::string& bytes) {
    EXPECT_EQ(pipe(mFds), 0);
    EXPECT_EQ(write(mFds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(mFds[1]);
    SetStandardInputDescriptor(mFds[0]);
  }
  ~StandardInputPipe() {
    SetStandardInputDescriptor(-1);
    close(mFds[0]);
  }

 private:
  int mFds[2] = {-1, -1};
};

TEST(ConsoleStreamsTest, ReadersShareOneBufferOfStandardInput) {
  StandardInputPipe input("one\r\ntwo\rthree\nfour\xC3\xA9" "five");
  RuntimeObject* in = RuntimeGetStdIn();
  EXPECT_EQ(Take(RuntimeConsoleInput()), "one");
  EXPECT_EQ(Take(RuntimeStdInputReadLine(in, nullptr)), "two");
  EXPECT_EQ(Take(RuntimeStdInputRead(in, 3, nullptr)), "thr");
  EXPECT_EQ(Take(RuntimeStdInputReadLine(in, nullptr)), "ee");
  VornStringRecord* read = RuntimeStdInputRead(in, 6, nullptr);
  EXPECT_EQ(string::Share(read).Encoding(), kEncodingUTF8);
  EXPECT_EQ(Take(read), "four\xC3\xA9");
  EXPECT_FALSE(RuntimeStdInputEof(in));
  EXPECT_EQ(Take(RuntimeStdInputReadLine(in, nullptr)), "five");  // the last line needs no end
  EXPECT_TRUE(RuntimeStdInputEof(in));
  EXPECT_EQ(RuntimeStdInputReadLine(in, nullptr), nullptr);
  EXPECT_EQ(RuntimeConsoleInput(), nullptr);
  EXPECT_FALSE(RuntimeStdInputError(in));
  // Bad counts and foreign objects read nothing.
  EXPECT_EQ(RuntimeStdInputRead(in, 0, nullptr), nullptr);
  EXPECT_EQ(RuntimeStdInputRead(in, -1, nullptr), nullptr);
  RuntimeObject* out = RuntimeGetStdOut();
  EXPECT_EQ(RuntimeStdInputReadLine(out, nullptr), nullptr);
  EXPECT_TRUE(RuntimeStdInputEof(nullptr));
  EXPECT_EQ(RuntimeGetStdIn(), in);  // one object, held once more per call
  RuntimeUnlockObject(in);
  RuntimeUnlockObject(in);
  RuntimeUnlockObject(out);
}

TEST(ConsoleStreamsTest, WritesGoOutInOrderAndAFailedOneIsReported) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  RuntimeObject* stream = CreateInstanceFromDefinition(GetStandardOutputStreamClassDefinition());
  auto* fields = reinterpret_cast<StandardOutputObject*>(stream);
  fields->descriptor = fds[1];
  RuntimeStdOutputStreamWrite(stream, string("a").Rep());
  RuntimeStdOutputStreamWriteLine(stream, string("b").Rep());
  RuntimeStdOutputStreamWriteLine(stream, nullptr);
  RuntimeStdOutFlush(stream);
  EXPECT_FALSE(RuntimeStdOutputError(stream));
  close(fds[1]);
  char bytes[16] = {};
  EXPECT_EQ(read(fds[0], bytes, sizeof bytes), 4);
  EXPECT_EQ(std::string(bytes), "ab\n\n");
  close(fds[0]);

  fields->descriptor = -1;
  RuntimeStdOutputStreamWrite(stream, string("lost").Rep());
  EXPECT_TRUE(RuntimeStdOutputError(stream));
  RuntimeStdOutputStreamWrite(nullptr, string("x").Rep());
  EXPECT_TRUE(RuntimeStdOutputError(stream)) << "a nil stream leaves others alone";
  EXPECT_FALSE(RuntimeStdOutputError(nullptr));
  RuntimeUnlockObject(stream);
}

}  // namespace
}  // namespace vorn
