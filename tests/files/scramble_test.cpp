#include <cstdint>
#include <string>
#include <vector>

#include "files/file_handle.h"
#include "files/file_ptr.h"
#include "files/support/store_test.h"

namespace vorn::testing {
namespace {

using ScrambleTest = StoreTest;

// The running-XOR rule written out independently: plain p is stored as p ^ k, then k ^= p.
std::vector<uint8_t> Scrambled(const std::string& plain, uint8_t key) {
  std::vector<uint8_t> out;
  for (char c : plain) {
    auto p = static_cast<uint8_t>(c);
    out.push_back(static_cast<uint8_t>(p ^ key));
    key ^= p;
  }
  return out;
}

std::vector<uint8_t> Stored(FileHandle& store) {
  auto* bytes = reinterpret_cast<uint8_t*>(*store.mHandle);
  return {bytes, bytes + store.GetLength()};
}

TEST_F(ScrambleTest, SwitchingReportsThePreviousSettingAndManagesTheKey) {
  FileHandle store;
  EXPECT_FALSE(store.mScrambleUsed);
  EXPECT_FALSE(store.SetScramble(true));
  EXPECT_TRUE(store.mScrambleUsed);
  EXPECT_EQ(store.mScrambleKey, 255u);
  ASSERT_TRUE(WriteText(store, "A"));
  EXPECT_EQ(store.mScrambleKey, 0xBEu);
  EXPECT_TRUE(store.SetScramble(true)) << "already on";
  EXPECT_EQ(store.mScrambleKey, 0xBEu) << "switching on again keeps the running key";
  EXPECT_TRUE(store.SetScramble(false));
  EXPECT_EQ(store.mScrambleKey, 0xBEu) << "switching off leaves the key";
  EXPECT_TRUE(store.mScrambleUsed) << "never cleared";
  EXPECT_FALSE(store.SetScramble(true));
  EXPECT_EQ(store.mScrambleKey, 255u) << "off then on restarts the key";
}

TEST_F(ScrambleTest, WrittenBytesAreStoredScrambledAndReadBackPlain) {
  FileHandle writer;
  writer.SetScramble(true);
  ASSERT_TRUE(WriteText(writer, "AB"));
  EXPECT_EQ(Stored(writer), (std::vector<uint8_t>{0xBE, 0xFC}));

  FileHandle reader;
  reader.AttachHandle(writer.mHandle);
  reader.SetScramble(true);
  EXPECT_EQ(ReadText(reader, 2), "AB");

  FileHandle plain;
  plain.AttachHandle(writer.mHandle);
  EXPECT_EQ(ReadText(plain, 2), "\xBE\xFC") << "without scrambling the stored bytes show";
}

TEST_F(ScrambleTest, TheKeyRunsOnAcrossCallsOfAnySize) {
  std::string text;
  for (int i = 0; i < 600; ++i) text.push_back(static_cast<char>((i * 37 + 11) & 0xFF));

  FileHandle writer;
  writer.SetScramble(true);
  for (size_t at = 0, step = 1; at < text.size(); at += step, step = step % 7 + 1)
    ASSERT_TRUE(WriteText(writer, text.substr(at, step)));
  EXPECT_EQ(Stored(writer), Scrambled(text, 255)) << "pieces scramble as one run";

  FilePtr reader;
  reader.SetData(*writer.mHandle, writer.GetLength());
  reader.SetScramble(true);
  std::string back;
  for (int32_t step = 5; !reader.IsEOF(); step = step % 13 + 1) back += ReadText(reader, step);
  EXPECT_EQ(back, text);
}

TEST_F(ScrambleTest, ReadsAndWritesShareTheOneRunningKey) {
  // Writing "AB" leaves the key where reading the stored "AB" would have left it, so a store
  // that writes and then reads on must be rewound along with its key.
  FileHandle store;
  store.SetScramble(true);
  ASSERT_TRUE(WriteText(store, "AB"));
  uint32_t keyAfterWrite = store.mScrambleKey;
  store.SetPosition(0);
  EXPECT_NE(ReadText(store, 2), "AB") << "the key was not rewound";
  store.SetPosition(0);
  store.SetScramble(false);
  store.SetScramble(true);
  EXPECT_EQ(ReadText(store, 2), "AB");
  EXPECT_EQ(store.mScrambleKey, keyAfterWrite);
}

TEST_F(ScrambleTest, AFailedReadLeavesTheKeyAlone) {
  FilePtr store;
  const char bytes[] = {'\x01'};
  store.SetData(bytes, 1);
  store.SetScramble(true);
  ASSERT_EQ(ReadText(store, 1).size(), 1u);
  uint32_t key = store.mScrambleKey;
  EXPECT_EQ(ReadText(store, 4), "<failed>");
  EXPECT_EQ(store.mScrambleKey, key);
}

}  // namespace
}  // namespace vorn::testing
