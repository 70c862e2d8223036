// The runtime string beside std::string doing the same work: building a text by appending
// and by joining, searching a 1 MB text, and taking a field of it; numbers written as Str and
// Format write them. Then the same work in other encodings beside UTF-8: comparing and sorting
// names, counting fields, replacing, comparing bytes, and loops that step through a 1 or 4 MB text
// by InStr and Mid, which must cost one walk of it, and loops that read it backwards, from its
// end or in step with other texts, or read an image literal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "strings/format_number.h"
#include "strings/number_text.h"
#include "strings/string_entry_points.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/text_search.h"
#include "strings/vstring.h"

namespace {

constexpr int kPieces = 10000;
const char kPiece[] = "star ";

// About 1 MB of words; the needle sits at the very end.
const std::string& MegabyteText() {
  static const std::string text = [] {
    static const char* words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "telescope",
                                  "aperture", "magnitude", "limiting", "sky"};
    std::string t;
    for (size_t i = 0; t.size() < (1u << 20); ++i) {
      t += words[(i * 7) % 10];
      t += ',';
    }
    t += "Needle";
    return t;
  }();
  return text;
}

vorn::string RuntimeText() { return vorn::string(MegabyteText(), vorn::kEncodingUTF8); }

void BM_AppendRuntime(benchmark::State& state) {
  vorn::string piece(kPiece);
  for (auto _ : state) {
    vorn::string s;
    for (int i = 0; i < kPieces; ++i) s.Append(piece);
    benchmark::DoNotOptimize(s.Rep());
  }
}
BENCHMARK(BM_AppendRuntime);

void BM_AppendStd(benchmark::State& state) {
  std::string piece(kPiece);
  for (auto _ : state) {
    std::string s;
    for (int i = 0; i < kPieces; ++i) s.append(piece);
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(BM_AppendStd);

// s = s + piece makes a new text each time in both (quadratic on purpose: it is what the
// language's "s = s + x" does).
void BM_PlusRuntime(benchmark::State& state) {
  vorn::string piece(kPiece);
  for (auto _ : state) {
    vorn::string s;
    for (int i = 0; i < kPieces / 10; ++i) s = s + piece;
    benchmark::DoNotOptimize(s.Rep());
  }
}
BENCHMARK(BM_PlusRuntime);

void BM_PlusStd(benchmark::State& state) {
  std::string piece(kPiece);
  for (auto _ : state) {
    std::string s;
    for (int i = 0; i < kPieces / 10; ++i) s = s + piece;
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(BM_PlusStd);

// InStr ignores case: the standard library's way to do that is std::search with a folding
// predicate.
void BM_InStrRuntime(benchmark::State& state) {
  vorn::string text = RuntimeText();
  vorn::string needle("needle");
  for (auto _ : state) benchmark::DoNotOptimize(vorn::StringInStr(1, text, needle));
}
BENCHMARK(BM_InStrRuntime);

void BM_InStrStd(benchmark::State& state) {
  const std::string& text = MegabyteText();
  std::string needle("needle");
  auto same = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  };
  for (auto _ : state) {
    auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(), same);
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_InStrStd);

// InStrB compares bytes, as std::string::find does.
void BM_InStrBRuntime(benchmark::State& state) {
  vorn::string text = RuntimeText();
  vorn::string needle("Needle");
  for (auto _ : state) benchmark::DoNotOptimize(vorn::StringInStrB(1, text, needle));
}
BENCHMARK(BM_InStrBRuntime);

void BM_InStrBStd(benchmark::State& state) {
  const std::string& text = MegabyteText();
  std::string needle("Needle");
  for (auto _ : state) benchmark::DoNotOptimize(text.find(needle));
}
BENCHMARK(BM_InStrBStd);

// Comparing without regard to case: two texts differing only in the case of their last letter
// (so every byte is read), both UTF-8, and the same with one side tagged ASCII (a literal of the
// runtime against a program's text).
vorn::string LastLetterChanged(vorn::EncodingCode encoding) {
  std::string text = MegabyteText();
  text.back() = 'E';
  return vorn::string(text, encoding);
}

void BM_CompareRuntime(benchmark::State& state) {
  vorn::string a = RuntimeText(), b = LastLetterChanged(vorn::kEncodingUTF8);
  for (auto _ : state) benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(BM_CompareRuntime);

void BM_CompareASCIIRuntime(benchmark::State& state) {
  vorn::string a = RuntimeText(), b = LastLetterChanged(vorn::kEncodingASCII);
  for (auto _ : state) benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(BM_CompareASCIIRuntime);

void BM_CompareStd(benchmark::State& state) {
  const std::string& a = MegabyteText();
  std::string b = a;
  b.back() = 'E';
  auto less = [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less));
  }
}
BENCHMARK(BM_CompareStd);

// The field in the middle of the text: every delimiter before it is found one by one.
void BM_NthFieldRuntime(benchmark::State& state) {
  vorn::string text = RuntimeText();
  vorn::string comma(",");
  int32_t n = vorn::CountFields(text, comma) / 2;
  for (auto _ : state) {
    vorn::string field = vorn::NthField(text, comma, n);
    benchmark::DoNotOptimize(field.Rep());
  }
}
BENCHMARK(BM_NthFieldRuntime);

void BM_NthFieldStd(benchmark::State& state) {
  const std::string& text = MegabyteText();
  int n = static_cast<int>(std::count(text.begin(), text.end(), ',') + 1) / 2;
  for (auto _ : state) {
    size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find(',', begin) + 1;
    size_t end = text.find(',', begin);
    std::string field = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    benchmark::DoNotOptimize(field.data());
  }
}
BENCHMARK(BM_NthFieldStd);

// Whole, fractional, negative, tiny and huge numbers, one after another.
constexpr double kNumbers[] = {150, 13.81, -0.001, 2.5e-9, 6.02e23, 0.70, -1234567.891, 7.8};

void BM_StrRuntime(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) {
    vorn::string text = vorn::DoubleToString(kNumbers[i++ % std::size(kNumbers)], vorn::kDoubleAutomatic, 7);
    benchmark::DoNotOptimize(text.Rep());
  }
}
BENCHMARK(BM_StrRuntime);

void BM_FormatRuntime(benchmark::State& state) {
  const vorn::string format("#,##0.00");
  size_t i = 0;
  for (auto _ : state) {
    vorn::string text = vorn::StringFormat(kNumbers[i++ % std::size(kNumbers)], format);
    benchmark::DoNotOptimize(text.Rep());
  }
}
BENCHMARK(BM_FormatRuntime);

// --- other encodings ------------------------------------------------------------------------
// Each row's argument is the encoding; its UTF-8 row is the yardstick.

constexpr vorn::EncodingCode kWindows1252 = 0x0500, kShiftJIS = 0x0A01;

vorn::string In(const std::string& utf8, vorn::EncodingCode encoding) {
  return vorn::ConvertTextEncoding(vorn::string(utf8, vorn::kEncodingUTF8), encoding);
}

// Names of Latin letters (é, ü among them) for the 8-bit encodings, with kana and kanji for
// Shift_JIS; the same characters in UTF-8 and UTF-16.
std::vector<std::string> NamesInUTF8(vorn::EncodingCode encoding, int count) {
  static const char* latin[] = {"an", "be", "ch\xC3\xA9", "d\xC3\xBC", "el", "fa", "go", "h\xC3\xA9", "ir", "jo"};
  static const char* japanese[] = {"ka", "yo", "\xE3\x81\x82", "\xE3\x81\x8B", "\xE6\xBC\xA2", "mi",
                                   "\xE5\xB1\xB1", "\xE7\x94\xB0", "ri", "to"};
  const char** syllables = encoding == kShiftJIS ? japanese : latin;
  std::mt19937 random(3);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::string name;
    for (int k = 0; k < 5; ++k) name += syllables[random() % 10];
    names.push_back(name);
  }
  return names;
}

// The yardstick of a row: UTF-8 text of the characters the encoding under test holds.
vorn::EncodingCode CharactersOf(const benchmark::State& state) { return static_cast<vorn::EncodingCode>(state.range(1)); }

void EncodingArgs(benchmark::internal::Benchmark* bench) {
  for (vorn::EncodingCode e : {kWindows1252, vorn::kEncodingMacRoman, vorn::kEncodingUTF16, kShiftJIS}) {
    bench->Args({vorn::kEncodingUTF8, e});
    bench->Args({e, e});
  }
}

// Two ten-character names that differ in case only.
void BM_CompareNameCase(benchmark::State& state) {
  const auto encoding = static_cast<vorn::EncodingCode>(state.range(0));
  const std::string name = NamesInUTF8(CharactersOf(state), 1)[0];
  const vorn::string a = In(name, encoding);
  const vorn::string b = In(std::string(vorn::StringUCase(vorn::string(name, vorn::kEncodingUTF8)).View()), encoding);
  for (auto _ : state) benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(BM_CompareNameCase)->Apply(EncodingArgs);

void BM_SortNames(benchmark::State& state) {
  const auto encoding = static_cast<vorn::EncodingCode>(state.range(0));
  std::vector<vorn::string> names;
  for (const std::string& name : NamesInUTF8(CharactersOf(state), 20000)) names.push_back(In(name, encoding));
  for (auto _ : state) {
    std::vector<vorn::string> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const vorn::string& x, const vorn::string& y) { return x.Compare(y) < 0; });
    benchmark::DoNotOptimize(sorted.data());
  }
}
BENCHMARK(BM_SortNames)->Apply(EncodingArgs)->Unit(benchmark::kMillisecond);

// About `megabytes` MB of comma-separated words, kanji among them.
const std::string& MixedText(int64_t megabytes) {
  static std::map<int64_t, std::string> texts;
  std::string& t = texts[megabytes];
  static const char* words[] = {"lorem", "\xE6\x9C\x9B\xE9\x81\xA0\xE9\x8F\xA1", "sky",
                                "\xE7\xAD\x89\xE7\xB4\x9A", "aperture", "\xE9\x99\x90\xE7\x95\x8C"};
  for (size_t i = 0; t.size() < (static_cast<size_t>(megabytes) << 20); ++i) {
    t += words[(i * 7) % 6];
    t += ',';
  }
  return t;
}

constexpr vorn::EncodingCode kEUCJP = 0x0920, kISO2022JP = 0x0820, kLatin1 = 0x0201;

// Each row: the encoding, then the text's size in MB.
void MixedTextArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e : {vorn::kEncodingUTF8, vorn::kEncodingUTF16, kShiftJIS, kEUCJP, kISO2022JP}) {
      bench->Args({e, megabytes});
    }
  }
}

vorn::string MixedIn(const benchmark::State& state) {
  return In(MixedText(state.range(1)), static_cast<vorn::EncodingCode>(state.range(0)));
}

void BM_CountFieldsMixed(benchmark::State& state) {
  const vorn::string text = MixedIn(state), comma = In(",", text.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::CountFields(text, comma));
}
BENCHMARK(BM_CountFieldsMixed)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllMixed(benchmark::State& state) {
  const vorn::string text = MixedIn(state), comma = In(",", text.Encoding()), semicolon = In(";", text.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::ReplaceAll(text, comma, semicolon).Rep());
}
BENCHMARK(BM_ReplaceAllMixed)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// Fields of a search by a kanji, which no byte scan finds alone.
void BM_CountFieldsKanji(benchmark::State& state) {
  const vorn::string text = MixedIn(state), kanji = In("\xE7\xAD\x89", text.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::CountFields(text, kanji));
}
BENCHMARK(BM_CountFieldsKanji)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// Two texts that differ in their last character, without regard to case.
void BM_CompareMixed(benchmark::State& state) {
  const vorn::string a = MixedIn(state);
  const vorn::string b = In(MixedText(state.range(1)) + "x", a.Encoding()), c = In(MixedText(state.range(1)) + "y", a.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(b.Compare(c));
}
BENCHMARK(BM_CompareMixed)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

void BM_CompareMixedFresh(benchmark::State& state) {
  const vorn::string a = MixedIn(state);
  const vorn::string b = In(MixedText(state.range(1)) + "x", a.Encoding());
  const vorn::string c = In(MixedText(state.range(1)) + "y", a.Encoding());
  for (auto _ : state) {
    const vorn::string x(b.CString(), b.Length(), b.Encoding()), y(c.CString(), c.Length(), c.Encoding());
    benchmark::DoNotOptimize(x.Compare(y));
  }
}
BENCHMARK(BM_CompareMixedFresh)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// A find-all loop, pos = InStr(pos + 1, text, x), as the language runs it.
// The pattern is brought to the text's encoding, or with `asGiven` left in UTF-8.
void FindAll(benchmark::State& state, const vorn::string& text, const char* utf8, bool asGiven = false) {
  const vorn::string x = asGiven ? vorn::string(utf8, vorn::kEncodingUTF8) : In(utf8, text.Encoding());
  for (auto _ : state) {
    int32_t found = 0;
    for (int32_t pos = 0; (pos = StringInStr(pos + 1, text.Rep(), x.Rep())) > 0;) ++found;
    benchmark::DoNotOptimize(found);
  }
}

void BM_InStrLoop(benchmark::State& state) { FindAll(state, MixedIn(state), "\xE7\xAD\x89"); }
BENCHMARK(BM_InStrLoop)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// A find-all of a word whose capital the text lacks.
void BM_InStrLoopAbsentCapital(benchmark::State& state) { FindAll(state, MixedIn(state), "sky"); }
BENCHMARK(BM_InStrLoopAbsentCapital)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// A tokenizer's two searches in turn: a = InStr(pos, t, ","): b = InStr(pos, t, "lens"):
// pos = a + 1, where "lens" never comes and its capital L nowhere.
void BM_TwoPatternsInTurn(benchmark::State& state) {
  const vorn::string text = MixedIn(state);
  const vorn::string comma = In(",", text.Encoding()), lens = In("lens", text.Encoding());
  for (auto _ : state) {
    int32_t absent = 0;
    for (int32_t pos = 1; (pos = StringInStr(pos, text.Rep(), comma.Rep())) > 0; ++pos) {
      absent += StringInStr(pos, text.Rep(), lens.Rep()) == 0;
    }
    benchmark::DoNotOptimize(absent);
  }
}
BENCHMARK(BM_TwoPatternsInTurn)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// For i = 1 To CountFields(t, ","): x = NthField(t, ",", i)
void BM_NthFieldLoop(benchmark::State& state) {
  const vorn::string text = MixedIn(state), comma = In(",", text.Encoding());
  for (auto _ : state) {
    const int32_t count = StringCountFields(text.Rep(), comma.Rep());
    for (int32_t i = 1; i <= count; ++i) vorn::ReleaseStringRep(StringNthField(text.Rep(), comma.Rep(), i));
  }
}
BENCHMARK(BM_NthFieldLoop)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// Mid with a position walking forward through the text, every 64th character.
void BM_MidLoop(benchmark::State& state) {
  const vorn::string text = MixedIn(state);
  const int32_t length = StringLen(text.Rep());
  for (auto _ : state) {
    for (int32_t pos = 1; pos <= length; pos += 64) vorn::ReleaseStringRep(StringMid3(text.Rep(), pos, 4));
  }
}
BENCHMARK(BM_MidLoop)->Apply(MixedTextArgs)->Unit(benchmark::kMillisecond);

// Loops that read a text by character in other orders than forwards, beside BM_MidRising over
// the same text in UTF-8; each must stay linear in the text's size. Each row: the encoding,
// then the size in MB, then (in step) how many texts share that size.
void EveryEncodingArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e :
         {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32, kShiftJIS, kEUCJP, kISO2022JP}) {
      bench->Args({e, megabytes});
    }
  }
}

// The text laid out as a loaded image's string literal: a record and its buffer in memory
// registered as static, kept for good.
vorn::string LiteralOf(const vorn::string& text) {
  const auto length = static_cast<size_t>(text.Length());
  auto* rep = static_cast<VornStringRecord*>(std::malloc(sizeof(VornStringRecord) + length + 2));
  rep->refCount = 1;
  rep->buffer = reinterpret_cast<char*>(rep + 1);
  rep->bufferSize = text.Length() + 2;
  rep->length = text.Length();
  rep->encoding = text.Encoding();
  rep->buffer[0] = static_cast<char>(length >= 255 ? 255 : length);
  std::memcpy(rep->buffer + 1, text.CString(), length + 1);
  vorn::RegisterStaticStringRange(rep, rep->buffer + length + 2);
  return vorn::string::Adopt(rep);
}

// Mid(t, i, 1) for every i, rising and falling.
void MidEvery(benchmark::State& state, bool rising, bool literal = false) {
  static std::map<std::pair<int64_t, int64_t>, vorn::string> literals;
  vorn::string& kept = literals[{state.range(0), state.range(1)}];
  if (literal && kept.IsEmpty()) kept = LiteralOf(MixedIn(state));
  const vorn::string text = literal ? kept : MixedIn(state);
  const int32_t length = StringLen(text.Rep());
  for (auto _ : state) {
    for (int32_t k = 1; k <= length; ++k) vorn::ReleaseStringRep(StringMid3(text.Rep(), rising ? k : length + 1 - k, 1));
  }
  state.SetItemsProcessed(state.iterations() * length);
}
void BM_MidRising(benchmark::State& state) { MidEvery(state, true); }
void BM_MidFalling(benchmark::State& state) { MidEvery(state, false); }
BENCHMARK(BM_MidRising)->Apply(EveryEncodingArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidFalling)->Apply(EveryEncodingArgs)->Unit(benchmark::kMillisecond);

// The same over an image literal, made once per row and kept for good, as literals are.
void LiteralArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e : {vorn::kEncodingUTF8, kShiftJIS}) bench->Args({e, megabytes});
  }
}
void BM_MidRisingLiteral(benchmark::State& state) { MidEvery(state, true, true); }
void BM_MidFallingLiteral(benchmark::State& state) { MidEvery(state, false, true); }
BENCHMARK(BM_MidRisingLiteral)->Apply(LiteralArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidFallingLiteral)->Apply(LiteralArgs)->Unit(benchmark::kMillisecond);

// Right(t, n) and, to set beside it, Left(t, n), for n = 1 to 4096: the pieces copied are the
// same, and only the walk to the piece's start differs.
void EndPieces(benchmark::State& state, VornStringRecord* (*cut)(VornStringRecord*, int32_t)) {
  const vorn::string text = MixedIn(state);
  for (auto _ : state) {
    for (int32_t n = 1; n <= 4096; ++n) vorn::ReleaseStringRep(cut(text.Rep(), n));
  }
  state.SetItemsProcessed(state.iterations() * 4096);
}
void BM_LeftRising(benchmark::State& state) { EndPieces(state, StringLeft); }
void BM_RightRising(benchmark::State& state) { EndPieces(state, StringRight); }
BENCHMARK(BM_LeftRising)->Apply(EveryEncodingArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RightRising)->Apply(EveryEncodingArgs)->Unit(benchmark::kMillisecond);

// K texts that share the size, read column by column: Mid(t_k, i, 1) for every i and k.
void InStepArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e :
         {vorn::kEncodingUTF8, vorn::kEncodingUTF16, vorn::kEncodingUTF32, kShiftJIS, kEUCJP, kISO2022JP}) {
      for (int64_t texts : {1, 5, 20, 100}) bench->Args({e, megabytes, texts});
    }
  }
}

void BM_MidInStep(benchmark::State& state) {
  const vorn::string whole = MixedIn(state);
  const auto k = static_cast<int32_t>(state.range(2));
  std::vector<vorn::string> texts;
  for (int32_t i = 0; i < k; ++i) {
    const int32_t piece = StringLen(whole.Rep()) / k;
    texts.push_back(vorn::string::Adopt(StringMid3(whole.Rep(), 1 + i * piece, piece)));
  }
  const int32_t length = StringLen(texts[0].Rep());
  for (auto _ : state) {
    for (int32_t pos = 1; pos <= length; ++pos) {
      for (const vorn::string& t : texts) vorn::ReleaseStringRep(StringMid3(t.Rep(), pos, 1));
    }
  }
  state.SetItemsProcessed(state.iterations() * length * k);
}
BENCHMARK(BM_MidInStep)->Apply(InStepArgs)->Unit(benchmark::kMillisecond);

// Words separated by "é" in 8-bit encodings that hold "É" too, which the text never has.
void PartnerArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e : {vorn::kEncodingUTF8, kLatin1, kWindows1252, vorn::kEncodingMacRoman}) {
      bench->Args({e, megabytes});
    }
  }
}

vorn::string AccentedIn(const benchmark::State& state) {
  static std::map<int64_t, std::string> texts;
  std::string& t = texts[state.range(1)];
  static const char* words[] = {"lorem", "ipsum", "sky", "aperture", "magnitude"};
  for (size_t i = 0; t.size() < (static_cast<size_t>(state.range(1)) << 20); ++i) {
    t += words[(i * 3) % 5];
    t += "\xC3\xA9";
  }
  return In(t, static_cast<vorn::EncodingCode>(state.range(0)));
}

void BM_CountFieldsAbsentPartner(benchmark::State& state) {
  const vorn::string text = AccentedIn(state), accent = In("\xC3\xA9", text.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::CountFields(text, accent));
}
BENCHMARK(BM_CountFieldsAbsentPartner)->Apply(PartnerArgs)->Unit(benchmark::kMillisecond);

void BM_ReplaceAllAbsentPartner(benchmark::State& state) {
  const vorn::string text = AccentedIn(state), accent = In("\xC3\xA9", text.Encoding());
  for (auto _ : state) benchmark::DoNotOptimize(vorn::ReplaceAll(text, accent, vorn::string(",")).Rep());
}
BENCHMARK(BM_ReplaceAllAbsentPartner)->Apply(PartnerArgs)->Unit(benchmark::kMillisecond);

void BM_InStrLoopAbsentPartner(benchmark::State& state) { FindAll(state, AccentedIn(state), "\xC3\xA9"); }
BENCHMARK(BM_InStrLoopAbsentPartner)->Apply(PartnerArgs)->Unit(benchmark::kMillisecond);

// A find-all of a capital the 8-bit encoding lacks (Ÿ, or Greek Mu) in words separated by the
// small letter it has (ÿ, or the micro sign), beside the same in UTF-8.
vorn::string SeparatedIn(const benchmark::State& state, const char* separator) {
  std::string t;
  static const char* words[] = {"lorem", "ipsum", "sky", "aperture", "magnitude"};
  for (size_t i = 0; t.size() < (static_cast<size_t>(state.range(1)) << 20); ++i) {
    t += words[(i * 3) % 5];
    t += separator;
  }
  return In(t, static_cast<vorn::EncodingCode>(state.range(0)));
}

void FoldedArgs(benchmark::internal::Benchmark* bench) {
  for (int64_t megabytes : {1, 4}) {
    for (vorn::EncodingCode e : {vorn::kEncodingUTF8, kLatin1, kWindows1252}) bench->Args({e, megabytes});
  }
}

void BM_InStrLoopFoldedY(benchmark::State& state) { FindAll(state, SeparatedIn(state, "\xC3\xBF"), "\xC5\xB8", true); }
void BM_InStrLoopFoldedMu(benchmark::State& state) { FindAll(state, SeparatedIn(state, "\xC2\xB5"), "\xCE\x9C", true); }
BENCHMARK(BM_InStrLoopFoldedY)->Apply(FoldedArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InStrLoopFoldedMu)->Apply(FoldedArgs)->Unit(benchmark::kMillisecond);

// Two 1 MB texts that differ in their last letter, byte for byte.
void BM_CompareBinaryMegabyte(benchmark::State& state) {
  const auto encoding = static_cast<vorn::EncodingCode>(state.range(0));
  const vorn::string a = In(MegabyteText(), encoding);
  const vorn::string b = In(std::string(LastLetterChanged(vorn::kEncodingUTF8).View()), encoding);
  for (auto _ : state) benchmark::DoNotOptimize(a.CompareBinary(b));
}
BENCHMARK(BM_CompareBinaryMegabyte)->Arg(vorn::kEncodingUTF8)->Arg(vorn::kEncodingUTF16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
