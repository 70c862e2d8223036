#include <gtest/gtest.h>

#include "vorn/window_api.h"
#include "windows/gtk_helper.h"

namespace vorn {
namespace {

class HeldKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearHeldKeys(); }
  void TearDown() override { ClearHeldKeys(); }
};

// Hardware codes as an X server with a PC keyboard reports them.
constexpr uint32_t kHwA = 38, kHwEscape = 9, kHwShift = 50, kHwF1 = 67;

TEST_F(HeldKeysTest, PressAndReleaseLeaveTheSetAsItWas) {
  NoteKeyPressed(kHwEscape, 0xFF1B);
  EXPECT_TRUE(IsMacKeyDown(53));
  EXPECT_TRUE(IsMacKeyDown(0xFF1B));
  EXPECT_EQ(keyboardAsyncKeyDown(nullptr, 53), 1);
  NoteKeyReleased(kHwEscape);
  EXPECT_FALSE(IsMacKeyDown(53));
  EXPECT_EQ(keyboardAsyncKeyDown(nullptr, 53), 0);
  EXPECT_EQ(HeldKeyCount(), 0);
}

TEST_F(HeldKeysTest, AutoRepeatAddsNothing) {
  for (int i = 0; i < 5; ++i) NoteKeyPressed(kHwF1, 0xFFBE);
  EXPECT_EQ(HeldKeyCount(), 1);
  EXPECT_TRUE(IsMacKeyDown(122));
  NoteKeyReleased(kHwF1);
  EXPECT_EQ(HeldKeyCount(), 0);
}

TEST_F(HeldKeysTest, ReleaseAfterShiftChangedStillFindsTheKey) {
  NoteKeyPressed(kHwA, 'a');
  NoteKeyPressed(kHwShift, 0xFFE1);
  NoteKeyReleased(kHwA);  // GDK would report 'A' now; the hardware code is the same
  EXPECT_FALSE(IsMacKeyDown(0));
  EXPECT_TRUE(IsMacKeyDown(56));
  NoteKeyReleased(kHwShift);
  EXPECT_EQ(HeldKeyCount(), 0);
}

TEST_F(HeldKeysTest, LettersAreHeldWhateverTheirCase) {
  NoteKeyPressed(kHwA, 'a');
  EXPECT_TRUE(IsMacKeyDown(0));
  EXPECT_TRUE(IsKeyValueHeld('A'));
  EXPECT_FALSE(IsMacKeyDown(1));
}

TEST_F(HeldKeysTest, ClearingForgetsEveryKey) {
  NoteKeyPressed(kHwA, 'a');
  NoteKeyPressed(kHwEscape, 0xFF1B);
  ClearHeldKeys();
  EXPECT_FALSE(IsMacKeyDown(53));
  EXPECT_EQ(HeldKeyCount(), 0);
  NoteKeyReleased(kHwA);  // a late release is harmless
  EXPECT_EQ(HeldKeyCount(), 0);
}

TEST_F(HeldKeysTest, ReleasingOneOfSeveralKeepsTheOthersInOrder) {
  for (uint32_t i = 0; i < 40; ++i) NoteKeyPressed(100 + i, 0x30 + i);
  for (uint32_t i = 0; i < 39; ++i) NoteKeyReleased(100 + i);
  EXPECT_EQ(HeldKeyCount(), 1);
  EXPECT_TRUE(IsKeyValueHeld(0x30 + 39));
}

TEST(KeyTablesTest, MacKeyCodesGiveTheirKeyValues) {
  EXPECT_EQ(MacKeyCodeToKeyValue(0), uint32_t('A'));
  EXPECT_EQ(MacKeyCodeToKeyValue(46), uint32_t('M'));
  EXPECT_EQ(MacKeyCodeToKeyValue(22), uint32_t('6'));
  EXPECT_EQ(MacKeyCodeToKeyValue(23), uint32_t('5'));
  EXPECT_EQ(MacKeyCodeToKeyValue(24), 187u);
  EXPECT_EQ(MacKeyCodeToKeyValue(27), 189u);
  EXPECT_EQ(MacKeyCodeToKeyValue(50), uint32_t('`'));
  EXPECT_EQ(MacKeyCodeToKeyValue(36), 0xFF0Du);
  EXPECT_EQ(MacKeyCodeToKeyValue(53), 0xFF1Bu);
  EXPECT_EQ(MacKeyCodeToKeyValue(62), 0xFFE4u);
  EXPECT_EQ(MacKeyCodeToKeyValue(89), 0xFFB7u);
  EXPECT_EQ(MacKeyCodeToKeyValue(92), 0xFFB9u);
  // F1 to F12 in their scattered codes.
  const int fkeys[12] = {122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(MacKeyCodeToKeyValue(fkeys[i]), 0xFFBEu + i) << i;
  EXPECT_EQ(MacKeyCodeToKeyValue(117), 0xFFFFu);
  EXPECT_EQ(MacKeyCodeToKeyValue(126), 0xFF52u);
  // Codes without a key test nothing, even with keys held.
  for (int code : {10, 52, 54, 63, 90, 127}) EXPECT_EQ(MacKeyCodeToKeyValue(code), 0u) << code;
  EXPECT_EQ(MacKeyCodeToKeyValue(-1), 0u);
  EXPECT_EQ(MacKeyCodeToKeyValue(128), 0u);
  EXPECT_FALSE(IsMacKeyDown(10));
}

TEST(KeyTablesTest, KeyValuesBecomeCharacterCodes) {
  EXPECT_EQ(KeyValueToCharCode(0xFF0D), 13);
  EXPECT_EQ(KeyValueToCharCode(0xFF8D), 3);
  EXPECT_EQ(KeyValueToCharCode(0xFE20), 9);
  EXPECT_EQ(KeyValueToCharCode(0xFF09), 9);
  EXPECT_EQ(KeyValueToCharCode(0xFF1B), 27);
  EXPECT_EQ(KeyValueToCharCode(0xFF58), 1);
  EXPECT_EQ(KeyValueToCharCode(0xFF9C), 4);
  EXPECT_EQ(KeyValueToCharCode(0xFF9A), 11);
  EXPECT_EQ(KeyValueToCharCode(0xFF56), 12);
  EXPECT_EQ(KeyValueToCharCode(0xFF96), 28);
  EXPECT_EQ(KeyValueToCharCode(0xFF53), 29);
  EXPECT_EQ(KeyValueToCharCode(0xFF97), 30);
  EXPECT_EQ(KeyValueToCharCode(0xFF54), 31);
  EXPECT_EQ(KeyValueToCharCode(0xFF9F), 127);
  EXPECT_EQ(KeyValueToCharCode(0xFFAA), '*');
  EXPECT_EQ(KeyValueToCharCode(0xFFBD), '=');
  EXPECT_EQ(KeyValueToCharCode('q'), 'q');
  EXPECT_EQ(KeyValueToCharCode(0xE9), 0xE9);
}

}  // namespace
}  // namespace vorn
