#include "editfield/styled_text_base_imp.h"

#include <algorithm>

#include "editfield/edit_text_model.h"
#include "editfield/styled_text_class.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

int32_t Characters(const string& text) { return UTF8CharacterCount(text.View()); }

string FirstCharacters(const string& text, int32_t count) {
  int32_t bytes = UTF8ByteOffsetOfCharacter(text.View(), count);
  return string(text.CString(), bytes, kEncodingUTF8);
}

string LastCharacters(const string& text, int32_t count) {
  int32_t skip = UTF8ByteOffsetOfCharacter(text.View(), Characters(text) - count);
  return string(text.CString() + skip, text.Length() - skip, kEncodingUTF8);
}

StyleRunData WithText(const StyleRunData& source, const string& text) {
  StyleRunData copy = source;
  copy.text = text;
  return copy;
}

}  // namespace

bool StyleRunData::SameStyle(const StyleRunData& other) const {
  return bold == other.bold && italic == other.italic && underline == other.underline && size == other.size &&
         color == other.color && font.Compare(other.font) == 0;
}

StyledTextBaseImp::StyledTextBaseImp() {
  StyleRunEntry empty;
  empty.run.text = string("", 0, kEncodingUTF8);
  mEntries.push_back(empty);
}

int32_t StyledTextBaseImp::TextLength() const {
  if (mEntries.empty()) return 0;
  return static_cast<int32_t>(mEntries.back().start + mEntries.back().length);
}

// --- ranges and merging ----------------------------------------------------------------------

void StyledTextBaseImp::FindRange(int32_t start, int32_t length, int32_t* first, int32_t* last) const {
  *first = 0;
  *last = -1;
  if (start < 0 || length < 0) return;
  int64_t end = int64_t{start} + length;
  bool haveFirst = false, haveLast = false;
  auto count = static_cast<int32_t>(mEntries.size());
  for (int32_t i = 0; i < count && !(haveFirst && haveLast); ++i) {
    int64_t s = mEntries[i].start;
    int64_t e = s + mEntries[i].length;
    if (s <= start && start <= e) {
      *first = i;
      haveFirst = true;
    }
    if (s <= end && end <= e) {
      *last = i;
      haveLast = true;
    }
  }
  if (!haveFirst) *first = 0;
  if (!haveLast) *last = count;
}

// A query that starts past the text answers for the end of the text, and one that runs past
// it answers for what there is.
void StyledTextBaseImp::ClipQueryRange(int32_t* start, int32_t* length) const {
  if (*start < 0 || *length < 0) return;
  const int32_t total = TextLength();
  *start = std::min(*start, total);
  *length = std::min(*length, total - *start);
}

void StyledTextBaseImp::Merge() {
  size_t i = 1;
  while (i < mEntries.size()) {
    StyleRunEntry& previous = mEntries[i - 1];
    StyleRunEntry& current = mEntries[i];
    if (previous.length == 0) {
      mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(i - 1));
    } else if (previous.run.SameStyle(current.run)) {
      previous.length += current.length;
      previous.run.text = previous.run.text + current.run.text;
      mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void StyledTextBaseImp::RecomputeStarts(size_t from) {
  for (size_t i = from; i < mEntries.size(); ++i) {
    mEntries[i].start = i == 0 ? 0 : mEntries[i - 1].start + mEntries[i - 1].length;
  }
}

// --- attributes ------------------------------------------------------------------------------

bool StyledTextBaseImp::Has(const StyleRunData& run, Attribute kind, const Value& value) {
  switch (kind) {
    case Attribute::kBold: return run.bold == value.flag;
    case Attribute::kItalic: return run.italic == value.flag;
    case Attribute::kUnderline: return run.underline == value.flag;
    case Attribute::kColor: return run.color == value.number;
    case Attribute::kSize: return run.size == value.number;
    case Attribute::kFont: return run.font.Compare(value.text) == 0;
  }
  return false;
}

void StyledTextBaseImp::Apply(StyleRunData& run, Attribute kind, const Value& value) {
  switch (kind) {
    case Attribute::kBold: run.bold = value.flag; break;
    case Attribute::kItalic: run.italic = value.flag; break;
    case Attribute::kUnderline: run.underline = value.flag; break;
    case Attribute::kColor: run.color = value.number; break;
    case Attribute::kSize: run.size = value.number; break;
    case Attribute::kFont: run.font = value.text; break;
  }
}

StyledTextBaseImp::Value StyledTextBaseImp::Read(const StyleRunData& run, Attribute kind) {
  Value v;
  switch (kind) {
    case Attribute::kBold: v.flag = run.bold; break;
    case Attribute::kItalic: v.flag = run.italic; break;
    case Attribute::kUnderline: v.flag = run.underline; break;
    case Attribute::kColor: v.number = run.color; break;
    case Attribute::kSize: v.number = run.size; break;
    case Attribute::kFont: v.text = run.font; break;
  }
  return v;
}

void StyledTextBaseImp::SetAttribute(int32_t start, int32_t length, Attribute kind, const Value& value) {
  int32_t total = TextLength();
  if (start < 0 || length <= 0 || start >= total) return;
  length = std::min(length, total - start);
  int32_t first, last;
  FindRange(start, length, &first, &last);
  int64_t rangeEnd = int64_t{start} + length;
  for (int32_t k = first; k <= last && k < static_cast<int32_t>(mEntries.size()); ++k) {
    int64_t s = mEntries[k].start;
    int64_t n = mEntries[k].length;
    int64_t e = s + n;
    if (e <= start) continue;  // a run that ends where the range begins holds none of it
    if (Has(mEntries[k].run, kind, value)) continue;
    if (start <= s && rangeEnd >= e) {
      Apply(mEntries[k].run, kind, value);
      continue;
    }
    StyleRunData original = mEntries[k].run;
    // Both pieces of a split run stay in the paragraph the run was in, with its alignment.
    const int32_t alignment = mEntries[k].alignment;
    if (start > s) {
      // The range begins inside the run: its first characters stay as they were.
      auto leftLength = static_cast<int32_t>(start - s);
      StyleRunEntry left{WithText(original, FirstCharacters(original.text, leftLength)), static_cast<uint32_t>(s),
                         static_cast<uint32_t>(leftLength), alignment};
      StyleRunEntry& rest = mEntries[k];
      rest.run.text = LastCharacters(original.text, static_cast<int32_t>(n) - leftLength);
      rest.start = static_cast<uint32_t>(start);
      rest.length = static_cast<uint32_t>(n - leftLength);
      Apply(rest.run, kind, value);
      mEntries.insert(mEntries.begin() + k, left);
      ++k;
      ++last;
    }
    if (rangeEnd >= e) continue;
    // The range ends inside the run: its last characters stay as they were.
    auto rightLength = static_cast<int32_t>(e - rangeEnd);
    StyleRunEntry right{WithText(original, LastCharacters(original.text, rightLength)),
                        static_cast<uint32_t>(rangeEnd), static_cast<uint32_t>(rightLength), alignment};
    StyleRunEntry& cut = mEntries[k];
    auto kept = static_cast<int32_t>(rangeEnd - cut.start);
    cut.run.text = FirstCharacters(cut.run.text, kept);
    cut.length = static_cast<uint32_t>(kept);
    Apply(cut.run, kind, value);
    mEntries.insert(mEntries.begin() + k + 1, right);
    ++k;
    ++last;
  }
}

StyledTextBaseImp::Value StyledTextBaseImp::Query(int32_t start, int32_t length, Attribute kind, bool* differs,
                                                  bool* empty) {
  Merge();
  ClipQueryRange(&start, &length);
  int32_t first, last;
  FindRange(start, length, &first, &last);
  last = std::min(last, static_cast<int32_t>(mEntries.size()) - 1);
  *differs = false;
  *empty = first > last;
  if (*empty) return Value();
  Value common = Read(mEntries[first].run, kind);
  for (int32_t k = first + 1; k <= last; ++k) {
    if (!Has(mEntries[k].run, kind, common)) {
      *differs = true;
      break;
    }
  }
  return common;
}

namespace {

void SetMixed(bool* mixed, bool value) {
  if (mixed) *mixed = value;
}

}  // namespace

#define BOOL_ATTRIBUTE(Name, Kind)                                                    \
  void StyledTextBaseImp::Set##Name(int32_t start, int32_t length, bool value) {      \
    Value v;                                                                          \
    v.flag = value;                                                                   \
    SetAttribute(start, length, Attribute::Kind, v);                                  \
  }                                                                                   \
  bool StyledTextBaseImp::Get##Name(int32_t start, int32_t length, bool* mixed) {     \
    bool differs, empty;                                                              \
    Value v = Query(start, length, Attribute::Kind, &differs, &empty);                \
    SetMixed(mixed, differs);                                                         \
    return differs || (!empty && v.flag);                                             \
  }

BOOL_ATTRIBUTE(Bold, kBold)
BOOL_ATTRIBUTE(Italic, kItalic)
BOOL_ATTRIBUTE(Underline, kUnderline)
#undef BOOL_ATTRIBUTE

void StyledTextBaseImp::SetFont(int32_t start, int32_t length, const string& font) {
  Value v;
  v.text = font;
  SetAttribute(start, length, Attribute::kFont, v);
}

void StyledTextBaseImp::SetSize(int32_t start, int32_t length, int32_t points) {
  Value v;
  v.number = static_cast<uint32_t>(points);
  SetAttribute(start, length, Attribute::kSize, v);
}

void StyledTextBaseImp::SetColor(int32_t start, int32_t length, uint32_t color) {
  Value v;
  v.number = color;
  SetAttribute(start, length, Attribute::kColor, v);
}

string StyledTextBaseImp::GetFont(int32_t start, int32_t length, bool* mixed) {
  bool differs, empty;
  Value v = Query(start, length, Attribute::kFont, &differs, &empty);
  SetMixed(mixed, differs);
  return differs || empty ? string() : v.text;
}

int32_t StyledTextBaseImp::GetSize(int32_t start, int32_t length, bool* mixed) {
  bool differs, empty;
  Value v = Query(start, length, Attribute::kSize, &differs, &empty);
  SetMixed(mixed, differs);
  if (differs) return static_cast<int32_t>(kMixedStyleValue);
  return empty ? 0 : static_cast<int32_t>(v.number);
}

uint32_t StyledTextBaseImp::GetColor(int32_t start, int32_t length, bool* mixed) {
  bool differs, empty;
  Value v = Query(start, length, Attribute::kColor, &differs, &empty);
  SetMixed(mixed, differs);
  if (differs) return kMixedStyleValue;
  return empty ? 0 : v.number;
}

// --- runs ------------------------------------------------------------------------------------

int32_t StyledTextBaseImp::RunCount() {
  Merge();
  return static_cast<int32_t>(mEntries.size());
}

bool StyledTextBaseImp::GetRunData(int32_t index, StyleRunData* out) {
  Merge();
  if (index < 0 || index >= static_cast<int32_t>(mEntries.size())) return false;
  *out = mEntries[index].run;
  return true;
}

bool StyledTextBaseImp::GetRunRangeData(int32_t index, int32_t* start, int32_t* length) {
  if (index < 0 || index >= static_cast<int32_t>(mEntries.size())) return false;
  *start = static_cast<int32_t>(mEntries[index].start);
  *length = static_cast<int32_t>(mEntries[index].length);
  return true;
}

void StyledTextBaseImp::InsertRunData(const StyleRunData& run, int32_t index) {
  index = std::clamp(index, 0, static_cast<int32_t>(mEntries.size()));
  StyleRunEntry entry;
  entry.run = run;
  entry.run.text = run.text.ToUTF8();
  entry.length = static_cast<uint32_t>(Characters(entry.run.text));
  mEntries.insert(mEntries.begin() + index, entry);
  RecomputeStarts(static_cast<size_t>(index));
}

void StyledTextBaseImp::AppendRunData(const StyleRunData& run) {
  InsertRunData(run, static_cast<int32_t>(mEntries.size()));
}

RuntimeObject* StyledTextBaseImp::GetRun(int32_t index) {
  StyleRunData data;
  if (!GetRunData(index, &data)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return NewStyleRunObject(data);
}

RuntimeObject* StyledTextBaseImp::GetRunRange(int32_t index) {
  int32_t start = 0, length = 0;
  Merge();
  if (!GetRunRangeData(index, &start, &length)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return NewRangeObject(start, length);
}

void StyledTextBaseImp::InsertRun(RuntimeObject* run, int32_t index) {
  StyleRunObject* fields = AsStyleRunObject(run);
  if (!fields) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "../Common/StyledTextBaseImp", __LINE__, "sr", "");
    return;
  }
  InsertRunData(StyleRunDataOf(fields), index);
}

void StyledTextBaseImp::AppendRun(RuntimeObject* run) { InsertRun(run, static_cast<int32_t>(mEntries.size())); }

void StyledTextBaseImp::RemoveRun(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(mEntries.size())) return;
  mEntries.erase(mEntries.begin() + index);
  RecomputeStarts(static_cast<size_t>(index));
}

// --- alignment -------------------------------------------------------------------------------

int32_t StyledTextBaseImp::GetAlignment(int32_t start, int32_t length) {
  Merge();
  if (mEntries.empty()) return 0;
  ClipQueryRange(&start, &length);
  int32_t first, last;
  FindRange(start, length, &first, &last);
  if (first > last) return 0;
  return mEntries[std::min(first, static_cast<int32_t>(mEntries.size()) - 1)].alignment;
}

void StyledTextBaseImp::SetAlignment(int32_t start, int32_t length, int32_t alignment) {
  Merge();
  int32_t first, last;
  FindRange(start, length, &first, &last);
  last = std::min(last, static_cast<int32_t>(mEntries.size()) - 1);
  for (int32_t k = first; k <= last; ++k) mEntries[k].alignment = alignment;
}

}  // namespace vorn
