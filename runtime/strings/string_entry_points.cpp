#include "strings/string_entry_points.h"

#include "strings/char_count.h"
#include "strings/line_endings.h"
#include "strings/locale_separators.h"
#include "strings/number_text.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/text_search.h"
#include "strings/utf8.h"

namespace {

vorn::string Borrow(VornStringRecord* rep) { return vorn::string::Share(rep); }

VornStringRecord* HandOut(const vorn::string& s) { return s.GetRetainedRep(); }

}  // namespace

extern "C" {

VornStringRecord* StringNthField(VornStringRecord* source, VornStringRecord* delimiter, int32_t n) {
  return HandOut(vorn::NthField(Borrow(source), Borrow(delimiter), n));
}

VornStringRecord* StringNthFieldB(VornStringRecord* source, VornStringRecord* delimiter, int32_t n) {
  return HandOut(vorn::NthFieldB(Borrow(source), Borrow(delimiter), n));
}

int32_t StringCountFields(VornStringRecord* source, VornStringRecord* delimiter) {
  return vorn::CountFields(Borrow(source), Borrow(delimiter));
}

int32_t StringCountFieldsB(VornStringRecord* source, VornStringRecord* delimiter) {
  return vorn::CountFieldsB(Borrow(source), Borrow(delimiter));
}

VornStringRecord* StringReplaceAll(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement) {
  return HandOut(vorn::ReplaceAll(Borrow(source), Borrow(find), Borrow(replacement)));
}

VornStringRecord* StringReplaceAllB(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement) {
  return HandOut(vorn::ReplaceAllB(Borrow(source), Borrow(find), Borrow(replacement)));
}

int32_t StringInStr(int32_t start, VornStringRecord* text, VornStringRecord* pattern) {
  return vorn::StringDBCSInStr(start, Borrow(text), Borrow(pattern));
}

int32_t StringInStrB(int32_t start, VornStringRecord* text, VornStringRecord* pattern) {
  return vorn::StringInStrB(start, Borrow(text), Borrow(pattern));
}

VornStringRecord* StringLCase(VornStringRecord* s) { return HandOut(vorn::StringLCase(Borrow(s))); }

VornStringRecord* StringUCase(VornStringRecord* s) { return HandOut(vorn::StringUCase(Borrow(s))); }

int32_t StringDBCSLen(VornStringRecord* s) { return vorn::StringDBCSLen(Borrow(s)); }

VornStringRecord* StringDBCSLeft(VornStringRecord* s, int32_t n) { return HandOut(vorn::StringDBCSLeft(Borrow(s), n)); }

VornStringRecord* StringDBCSRight(VornStringRecord* s, int32_t n) {
  return HandOut(vorn::StringDBCSRight(Borrow(s), n));
}

VornStringRecord* StringDBCSMid2(VornStringRecord* s, int32_t start) {
  return HandOut(vorn::StringDBCSMid2(Borrow(s), start));
}

VornStringRecord* RuntimeEndOfLine(void) { return HandOut(vorn::RuntimeEndOfLine()); }

VornStringRecord* getMacEndOfLine(void) { return HandOut(vorn::getMacEndOfLine()); }

VornStringRecord* getWin32EndOfLine(void) { return HandOut(vorn::getWin32EndOfLine()); }

VornStringRecord* getUNIXEndOfLine(void) { return HandOut(vorn::getUNIXEndOfLine()); }

VornStringRecord* RuntimeReplaceLineEndings(VornStringRecord* text, VornStringRecord* ending) {
  return HandOut(vorn::RuntimeReplaceLineEndings(Borrow(text), Borrow(ending)));
}

const char* StringGetCString(VornStringRecord* s) { return s ? s->buffer + 1 : ""; }

const unsigned char* StringGetPString(VornStringRecord* s) {
  static const unsigned char kEmpty[2] = {0, 0};
  return s ? reinterpret_cast<const unsigned char*>(s->buffer) : kEmpty;
}

const char* StringToCString(VornStringRecord* s) { return StringGetCString(s); }

const unsigned char* StringToPString(VornStringRecord* s) { return StringGetPString(s); }

// The plain forms count characters: they are the DBCS forms under the language's own names.
int32_t StringLen(VornStringRecord* s) { return StringDBCSLen(s); }

VornStringRecord* StringLeft(VornStringRecord* s, int32_t n) { return StringDBCSLeft(s, n); }

VornStringRecord* StringRight(VornStringRecord* s, int32_t n) { return StringDBCSRight(s, n); }

VornStringRecord* StringMid2(VornStringRecord* s, int32_t start) { return StringDBCSMid2(s, start); }

VornStringRecord* StringMid3(VornStringRecord* s, int32_t start, int32_t length) {
  return StringDBCSMid3(s, start, length);
}

int32_t StringAsc(VornStringRecord* s) { return static_cast<int32_t>(vorn::StringAscValue(Borrow(s))); }

VornStringRecord* StringChr(int32_t codePoint) {
  return HandOut(vorn::CodePointToString(static_cast<uint32_t>(codePoint), vorn::kEncodingUTF8));
}

VornStringRecord* StringDBCSMid3(VornStringRecord* s, int32_t start, int32_t length) {
  return HandOut(vorn::StringDBCSMid3(Borrow(s), start, length));
}

int32_t StringDBCSInStr(int32_t start, VornStringRecord* text, VornStringRecord* pattern) {
  return vorn::StringDBCSInStr(start, Borrow(text), Borrow(pattern));
}

int32_t StringDBCSAsc(VornStringRecord* s) { return StringAsc(s); }

VornStringRecord* StringDBCSChr(int32_t codePoint) { return StringChr(codePoint); }

int32_t StringExtendsInStr(VornStringRecord* text, int32_t start, VornStringRecord* pattern) {
  return StringInStr(start, text, pattern);
}

int32_t StringExtendsInStrB(VornStringRecord* text, int32_t start, VornStringRecord* pattern) {
  return StringInStrB(start, text, pattern);
}

VornStringRecord* StringReplace(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement) {
  return HandOut(vorn::Replace(Borrow(source), Borrow(find), Borrow(replacement)));
}

VornStringRecord* StringReplaceB(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement) {
  return HandOut(vorn::ReplaceB(Borrow(source), Borrow(find), Borrow(replacement)));
}

VornStringRecord* StringTitleCase(VornStringRecord* s) { return HandOut(vorn::StringTitleCase(Borrow(s))); }

int32_t StringStrCompare(VornStringRecord* a, VornStringRecord* b, int32_t mode) {
  return mode == 0 ? Borrow(a).CompareBinary(Borrow(b)) : Borrow(a).Compare(Borrow(b));
}

int32_t RuntimeStringCompare(VornStringRecord* a, VornStringRecord* b) { return Borrow(a).Compare(Borrow(b)); }

VornStringRecord* RuntimeAddString(VornStringRecord* a, VornStringRecord* b) { return HandOut(Borrow(a) + Borrow(b)); }

void RuntimeLockUnlockStrings(VornStringRecord* newString, VornStringRecord* oldString) {
  RuntimeLockString(newString);
  RuntimeUnlockString(oldString);
}

VornStringRecord* runTrim(VornStringRecord* s) { return HandOut(Borrow(s).Trim()); }

VornStringRecord* runLTrim(VornStringRecord* s) { return HandOut(Borrow(s).TrimLeft()); }

VornStringRecord* runRTrim(VornStringRecord* s) { return HandOut(Borrow(s).TrimRight()); }

// Str's text with the locale's decimal separator.
VornStringRecord* runCStr(double value) {
  vorn::string text = vorn::DoubleToString(value, vorn::kDoubleAutomatic, 7);
  vorn::string decimal;
  vorn::GetLocaleSeparators(nullptr, &decimal, nullptr, nullptr);
  if (decimal.View() == ".") return HandOut(text);
  return HandOut(vorn::ReplaceAllB(text, vorn::string("."), decimal));
}

}
