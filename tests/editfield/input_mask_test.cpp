#include "editfield/input_mask.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

const InputMaskSeparators kPlain;

InputMaskMatch Match(std::string_view text, std::string_view mask, const InputMaskSeparators& s = kPlain) {
  return MatchInputMask(text, mask, s);
}

TEST(InputMaskTest, APhoneMaskShowsItsLiteralsAsSoonAsTheyAreDue) {
  const char* mask = "(###) ###-####";
  InputMaskMatch empty = Match("", mask);
  EXPECT_EQ(empty.result, InputMaskResult::kAccepted);
  EXPECT_EQ(empty.tail, "(");
  InputMaskMatch area = Match("(555", mask);
  EXPECT_EQ(area.result, InputMaskResult::kAccepted);
  EXPECT_EQ(area.accepted, "(555");
  EXPECT_EQ(area.tail, ") ");
  InputMaskMatch full = Match("(555) 123-4567", mask);
  EXPECT_EQ(full.result, InputMaskResult::kAccepted);
  EXPECT_EQ(full.tail, "");
  InputMaskMatch longer = Match("(555) 123-45678", mask);
  EXPECT_EQ(longer.result, InputMaskResult::kRejected) << "no text beyond the mask without a case mode";
  EXPECT_EQ(longer.acceptedCharacters, 14);
}

TEST(InputMaskTest, ARejectedCharacterEndsTheAcceptedPrefix) {
  InputMaskMatch m = Match("(12x", "(###) ###-####");
  EXPECT_EQ(m.result, InputMaskResult::kRejected);
  EXPECT_EQ(m.accepted, "(12");
  EXPECT_EQ(m.acceptedCharacters, 3);
  EXPECT_EQ(m.tail, "") << "a failed match has no tail";
  EXPECT_EQ(Match("x", "?").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("1", "?").result, InputMaskResult::kRejected);
  EXPECT_EQ(Match("\xC3\xA4", "?").result, InputMaskResult::kRejected) << "letters are A-Z and a-z only";
  EXPECT_EQ(Match("b7", "AA").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("b-", "AA").result, InputMaskResult::kRejected);
}

TEST(InputMaskTest, OptionalPositionsAreSkippedByCharactersThatDoNotFit) {
  InputMaskMatch skipped = Match("-", "9-");
  EXPECT_EQ(skipped.result, InputMaskResult::kAccepted);
  EXPECT_EQ(skipped.accepted, "-");
  EXPECT_EQ(Match("4-", "9-").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("x1", "a#").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("-1", "a#").result, InputMaskResult::kRejected) << "skipped to # which refuses '-'";
  EXPECT_EQ(Match("x", "9").result, InputMaskResult::kRejected) << "skipping past the end rejects";
  InputMaskMatch control = Match("\t", "&C\t");
  EXPECT_EQ(control.result, InputMaskResult::kAccepted) << "a control character skips & and C";
  EXPECT_EQ(control.accepted, "\t");
  EXPECT_EQ(Match("\t", "&").result, InputMaskResult::kRejected);
  EXPECT_EQ(Match("x!", "&C!").tail, "!") << "C takes the '!' itself";
  EXPECT_EQ(Match("\xE2\x82\xAC", "&").accepted, "\xE2\x82\xAC") << "one character, three bytes";
}

TEST(InputMaskTest, CaseModesConvertAndOnlyTheyLetTextRunPastTheMask) {
  InputMaskMatch upper = Match("hello world \xC3\xA4", ">");
  EXPECT_EQ(upper.result, InputMaskResult::kAccepted);
  EXPECT_EQ(upper.accepted, "HELLO WORLD \xC3\x84");
  EXPECT_EQ(Match("ABc", "<?" "?>?").accepted, "abC");
  EXPECT_EQ(Match("a", ">x").result, InputMaskResult::kRejected)
      << "inside the mask a case mode does not relax a literal position";
  EXPECT_EQ(Match("x", ">#").result, InputMaskResult::kRejected);
  EXPECT_EQ(Match("x", ">X").result, InputMaskResult::kAccepted) << "the converted character is compared";
}

TEST(InputMaskTest, EscapesAndSeparatorsStandForTheirCharacters) {
  EXPECT_EQ(Match("#", "\\#").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("1", "\\#").result, InputMaskResult::kRejected);
  EXPECT_EQ(Match("a", "a\\").result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("ab", "a\\").result, InputMaskResult::kRejected) << "a final backslash refuses everything";
  EXPECT_EQ(Match("1", "#\\#\\9").tail, "#9");
  InputMaskSeparators german;
  german.thousands = ".";
  german.decimal = ",";
  EXPECT_EQ(Match("1.234,5", "#,###.#", german).result, InputMaskResult::kAccepted);
  EXPECT_EQ(Match("1,234", "#,###", german).result, InputMaskResult::kRejected);
  EXPECT_EQ(Match("12", "##/##", german).tail, "/");
  InputMaskSeparators wide;
  wide.thousands = "\xE2\x80\xAF";  // narrow no-break space
  EXPECT_EQ(Match("1", "#,###", wide).tail, "\xE2\x80\xAF");
  EXPECT_EQ(Match("1\xE2\x80\xAF" "2", "#,###", wide).result, InputMaskResult::kAccepted);
}

TEST(InputMaskTest, TheReservedTildeIsReportedOnlyWhenMatchingReachesIt) {
  EXPECT_EQ(Match("1", "#~").result, InputMaskResult::kAccepted) << "the tail stops before it";
  EXPECT_EQ(Match("12", "#~").result, InputMaskResult::kInvalidMask);
  EXPECT_EQ(Match("", "~").result, InputMaskResult::kAccepted);
}

TEST(InputMaskTest, BrokenUtf8BytesAreCharactersOfTheirOwn) {
  InputMaskMatch m = Match("\xFF" "1", "&#");
  EXPECT_EQ(m.result, InputMaskResult::kAccepted);
  EXPECT_EQ(m.accepted, "\xFF" "1");
  EXPECT_EQ(Match("\xC3", ">&").accepted, "\xC3") << "a cut-off sequence is kept as it was";
}

TEST(InputMaskTest, ProposedEditsDeleteThenInsertInCharacters) {
  MaskedEdit typed = ProposeMaskedEdit("\xC3\xA4" "bc", 1, 0, 1, "X", true);
  EXPECT_EQ(typed.proposed, "\xC3\xA4" "Xbc");
  EXPECT_EQ(typed.insertAt, 1);
  MaskedEdit replaced = ProposeMaskedEdit("abcd", 1, 2, 1, "X", false);
  EXPECT_EQ(replaced.proposed, "aXd");
  MaskedEdit backspace = ProposeMaskedEdit("abc", 2, 1, 9, "", true);
  EXPECT_EQ(backspace.proposed, "ab");
  EXPECT_EQ(backspace.insertAt, 2) << "with nothing selected the insertion point is the deletion start";
  MaskedEdit atStart = ProposeMaskedEdit("abc", -1, 1, -1, "", true);
  EXPECT_EQ(atStart.proposed, "abc") << "Backspace at the start deletes nothing";
  EXPECT_EQ(atStart.insertAt, 0) << "and the insertion point stays at the start, not the end";
  MaskedEdit pastEnd = ProposeMaskedEdit("abc", 3, 1, 3, "", true);
  EXPECT_EQ(pastEnd.proposed, "abc");
  EXPECT_EQ(pastEnd.insertAt, 3);
}

}  // namespace
}  // namespace vorn
