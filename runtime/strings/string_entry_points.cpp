#include "strings/string_entry_points.h"

#include "strings/char_count.h"
#include "strings/line_endings.h"
#include "strings/text_case.h"
#include "strings/text_fields.h"
#include "strings/text_replace.h"
#include "strings/text_search.h"

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
  return vorn::StringInStr(start, Borrow(text), Borrow(pattern));
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

}
