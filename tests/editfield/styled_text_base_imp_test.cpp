// The detached style-run store: splitting runs where an attribute changes, merging equal
// neighbours before every read, the queries with their mixed flag, runs going in and out, and
// ranges that reach past the text.
#include <gtest/gtest.h>

#include <string>

#include "editfield/styled_text_base_imp.h"

namespace vorn {
namespace {

StyleRunData NewRun(const char* text, bool bold = false, uint32_t size = 12) {
  StyleRunData run;
  run.text = string(std::string_view(text), kEncodingUTF8);
  run.bold = bold;
  run.size = size;
  run.font = string("Serif");
  return run;
}

// "text/start/length[b]" for every entry, without merging.
std::string Describe(const StyledTextBaseImp& store) {
  std::string out;
  for (const StyleRunEntry& e : store.Entries()) {
    if (!out.empty()) out += " ";
    out += std::string(e.run.text.View()) + "/" + std::to_string(e.start) + "/" + std::to_string(e.length);
    if (e.run.bold) out += "b";
  }
  return out;
}

TEST(StyledTextBaseImp, ANewStoreHasOneEmptyRunThatAnAppendedRunReplaces) {
  StyledTextBaseImp store;
  EXPECT_EQ(store.RunCount(), 1);
  EXPECT_EQ(store.TextLength(), 0);
  store.AppendRunData(NewRun("abc"));
  EXPECT_EQ(store.RunCount(), 1) << "merging drops the empty first run";
  StyleRunData got;
  ASSERT_TRUE(store.GetRunData(0, &got));
  EXPECT_EQ(got.text.View(), "abc");
  EXPECT_FALSE(store.GetRunData(1, &got));
  EXPECT_FALSE(store.GetRunData(-1, &got));
}

TEST(StyledTextBaseImp, SettingBoldInsideARunSplitsItInThreeAndSettingItAgainChangesNothing) {
  StyledTextBaseImp store;
  store.AppendRunData(NewRun("abcdef"));
  store.RunCount();
  store.SetBold(2, 2, true);
  EXPECT_EQ(Describe(store), "ab/0/2 cd/2/2b ef/4/2");
  store.SetBold(2, 2, true);
  EXPECT_EQ(Describe(store), "ab/0/2 cd/2/2b ef/4/2");
  bool mixed = true;
  EXPECT_TRUE(store.GetBold(2, 2, &mixed));
  EXPECT_FALSE(mixed);
  EXPECT_TRUE(store.GetBold(1, 3, &mixed)) << "plain and bold: true, and mixed";
  EXPECT_TRUE(mixed);
  EXPECT_FALSE(store.GetBold(0, 2, &mixed));
  EXPECT_FALSE(mixed);
  // Off again: three plain runs until the next read merges them.
  store.SetBold(2, 2, false);
  EXPECT_EQ(Describe(store), "ab/0/2 cd/2/2 ef/4/2");
  EXPECT_EQ(store.RunCount(), 1);
  EXPECT_EQ(Describe(store), "abcdef/0/6");
}

TEST(StyledTextBaseImp, RangesAtRunEdgesAndAcrossSeveralRuns) {
  StyledTextBaseImp store;
  store.AppendRunData(NewRun("ab"));
  store.AppendRunData(NewRun("cd", true, 14));
  store.AppendRunData(NewRun("ef"));
  EXPECT_EQ(store.RunCount(), 3);
  bool mixed = false;
  EXPECT_FALSE(store.GetBold(2, 0, &mixed)) << "a zero-length range on a boundary reads the earlier run";
  EXPECT_TRUE(store.GetBold(2, 2, &mixed)) << "a range starting on a boundary begins in the later run";
  EXPECT_FALSE(mixed);
  EXPECT_EQ(store.GetSize(0, 6, &mixed), static_cast<int32_t>(kMixedStyleValue));
  EXPECT_TRUE(mixed);
  EXPECT_EQ(store.GetSize(2, 2, &mixed), 14);
  EXPECT_EQ(store.GetFont(0, 6, &mixed).View(), "Serif");
  EXPECT_FALSE(mixed);
  // Italic over "bcde" touches all three runs, splitting the outer two.
  store.SetItalic(1, 4, true);
  EXPECT_EQ(Describe(store), "a/0/1 b/1/1 cd/2/2b e/4/1 f/5/1");
  EXPECT_TRUE(store.GetItalic(1, 4, &mixed));
  EXPECT_FALSE(mixed);
  EXPECT_FALSE(store.GetItalic(0, 1, &mixed));
  store.SetFont(0, 6, string("sans"));
  store.SetFont(0, 3, string("SANS"));
  EXPECT_EQ(store.GetFont(0, 6, &mixed).View(), "sans") << "font names ignore letter case";
  EXPECT_FALSE(mixed);
  store.SetColor(5, 1, 0xFF0000);
  EXPECT_EQ(store.GetColor(0, 6, &mixed), kMixedStyleValue);
  EXPECT_EQ(store.GetColor(5, 1, &mixed), 0xFF0000u);
}

TEST(StyledTextBaseImp, RangesReachingPastTheTextAreClipped) {
  StyledTextBaseImp store;
  store.AppendRunData(NewRun("abc"));
  store.RunCount();
  store.SetBold(1, 50, true);
  EXPECT_EQ(store.TextLength(), 3) << "no run of characters that do not exist";
  EXPECT_EQ(Describe(store), "a/0/1 bc/1/2b");
  store.SetBold(7, 2, true);
  store.SetBold(-1, 2, true);
  store.SetUnderline(0, 0, true);
  EXPECT_EQ(Describe(store), "a/0/1 bc/1/2b");
  bool mixed = true;
  EXPECT_FALSE(store.GetBold(-1, 2, &mixed));
  EXPECT_FALSE(mixed);
  EXPECT_TRUE(store.GetBold(2, 40, &mixed));
  store.SetSize(2, 1, 30);
  store.SetAlignment(2, 1, 2);
  // Past the text is as at its end: the last character's run.
  for (const int32_t start : {3, 4, 9}) {
    EXPECT_EQ(store.GetSize(start, 1, &mixed), 30) << start;
    EXPECT_FALSE(mixed) << start;
    EXPECT_TRUE(store.GetBold(start, 0, nullptr)) << start;
    EXPECT_EQ(store.GetAlignment(start, 5), 2) << start;
  }
  EXPECT_EQ(store.GetSize(1, 1, nullptr), 12) << "inside the text nothing moved";
}

TEST(StyledTextBaseImp, RunsGoInAtAnIndexAndOutAgainWithTheirStartsKeptInOrder) {
  StyledTextBaseImp store;
  store.AppendRunData(NewRun("\xC3\xA4\xC3\xB6"));
  store.InsertRunData(NewRun("xy", true), 0);
  store.AppendRunData(NewRun("z", true));
  EXPECT_EQ(store.RunCount(), 3);
  EXPECT_EQ(Describe(store), "xy/0/2b \xC3\xA4\xC3\xB6/2/2 z/4/1b") << "lengths are characters";
  int32_t start = 0, length = 0;
  ASSERT_TRUE(store.GetRunRangeData(2, &start, &length));
  EXPECT_EQ(start, 4);
  EXPECT_EQ(length, 1);
  EXPECT_FALSE(store.GetRunRangeData(3, &start, &length));
  store.SetBold(2, 1, true);  // splits the two-byte characters cleanly
  EXPECT_EQ(Describe(store), "xy/0/2b \xC3\xA4/2/1b \xC3\xB6/3/1 z/4/1b");
  EXPECT_EQ(store.RunCount(), 3);
  store.RemoveRun(0);
  EXPECT_EQ(Describe(store), "\xC3\xB6/0/1 z/1/1b");
  store.RemoveRun(7);
  store.RemoveRun(-1);
  store.InsertRunData(NewRun("end"), 99);
  EXPECT_EQ(Describe(store), "\xC3\xB6/0/1 z/1/1b end/2/3");
}

TEST(StyledTextBaseImp, AlignmentBelongsToTheRunsOfARange) {
  StyledTextBaseImp store;
  store.AppendRunData(NewRun("para one\n"));
  store.AppendRunData(NewRun("two", true));
  EXPECT_EQ(store.GetAlignment(0, 1), 0);
  store.SetAlignment(9, 2, 2);
  EXPECT_EQ(store.GetAlignment(10, 0), 2);
  EXPECT_EQ(store.GetAlignment(0, 3), 0);
  store.SetAlignment(0, 12, 3);
  EXPECT_EQ(store.GetAlignment(0, 1), 3);
  EXPECT_EQ(store.GetAlignment(11, 0), 3);
  // A style set inside a centred run leaves all three pieces centred.
  store.SetAlignment(0, 12, 2);
  store.SetBold(2, 3, true);
  EXPECT_EQ(store.RunCount(), 4);
  for (int32_t at : {0, 3, 6, 10}) EXPECT_EQ(store.GetAlignment(at, 1), 2) << at;
  store.RemoveRun(0);
  store.RemoveRun(0);
  store.RemoveRun(0);
  store.RemoveRun(0);
  EXPECT_EQ(store.RunCount(), 0);
  EXPECT_EQ(store.GetAlignment(0, 0), 0) << "an empty store";
  EXPECT_FALSE(store.GetBold(0, 0, nullptr));
}

}  // namespace
}  // namespace vorn
