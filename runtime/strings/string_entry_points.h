// String functions that compiled code and plug-ins call by name. Strings arrive as records that
// the caller keeps (nil is the empty string); a string result is handed out with one reference
// for the caller. Integer arguments and results are the language's 32-bit Integer.
#pragma once

#include <stdint.h>

#include "vorn/image_abi.h"

extern "C" {

VornStringRecord* StringNthField(VornStringRecord* source, VornStringRecord* delimiter, int32_t n);
VornStringRecord* StringNthFieldB(VornStringRecord* source, VornStringRecord* delimiter, int32_t n);
int32_t StringCountFields(VornStringRecord* source, VornStringRecord* delimiter);
int32_t StringCountFieldsB(VornStringRecord* source, VornStringRecord* delimiter);

VornStringRecord* StringReplaceAll(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement);
VornStringRecord* StringReplaceAllB(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement);

// 1-based start and result, 0 when absent: InStr in characters (so Mid(s, InStr(s, x)) starts at
// the match), InStrB in bytes.
int32_t StringInStr(int32_t start, VornStringRecord* text, VornStringRecord* pattern);
int32_t StringInStrB(int32_t start, VornStringRecord* text, VornStringRecord* pattern);

VornStringRecord* StringLCase(VornStringRecord* s);
VornStringRecord* StringUCase(VornStringRecord* s);

int32_t StringDBCSLen(VornStringRecord* s);
VornStringRecord* StringDBCSLeft(VornStringRecord* s, int32_t n);
VornStringRecord* StringDBCSRight(VornStringRecord* s, int32_t n);
VornStringRecord* StringDBCSMid2(VornStringRecord* s, int32_t start);

VornStringRecord* RuntimeEndOfLine(void);
VornStringRecord* getMacEndOfLine(void);
VornStringRecord* getWin32EndOfLine(void);
VornStringRecord* getUNIXEndOfLine(void);
VornStringRecord* RuntimeReplaceLineEndings(VornStringRecord* text, VornStringRecord* ending);

// 1-based positions (a start below 1 counts as 1) and lengths in characters of the string's
// encoding; the plain and DBCS forms are the same functions.
int32_t StringLen(VornStringRecord* s);
VornStringRecord* StringLeft(VornStringRecord* s, int32_t n);
VornStringRecord* StringRight(VornStringRecord* s, int32_t n);
VornStringRecord* StringMid2(VornStringRecord* s, int32_t start);
VornStringRecord* StringMid3(VornStringRecord* s, int32_t start, int32_t length);
VornStringRecord* StringDBCSMid3(VornStringRecord* s, int32_t start, int32_t length);
int32_t StringDBCSInStr(int32_t start, VornStringRecord* text, VornStringRecord* pattern);
// The method forms s.InStr(start, pattern).
int32_t StringExtendsInStr(VornStringRecord* text, int32_t start, VornStringRecord* pattern);
int32_t StringExtendsInStrB(VornStringRecord* text, int32_t start, VornStringRecord* pattern);

// Asc: the first character's value in the string's encoding (0 for the empty string). Chr: the
// character of a code point as UTF-8 (U+FFFD for a value that is no character).
int32_t StringAsc(VornStringRecord* s);
VornStringRecord* StringChr(int32_t codePoint);
int32_t StringDBCSAsc(VornStringRecord* s);
VornStringRecord* StringDBCSChr(int32_t codePoint);

// Replace the first occurrence only.
VornStringRecord* StringReplace(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement);
VornStringRecord* StringReplaceB(VornStringRecord* source, VornStringRecord* find, VornStringRecord* replacement);
VornStringRecord* StringTitleCase(VornStringRecord* s);

// StrComp: mode 0 compares bytes, any other mode without regard to case; -1, 0 or 1.
int32_t StringStrCompare(VornStringRecord* a, VornStringRecord* b, int32_t mode);
// The language's comparison and concatenation operators.
int32_t RuntimeStringCompare(VornStringRecord* a, VornStringRecord* b);
VornStringRecord* RuntimeAddString(VornStringRecord* a, VornStringRecord* b);
// An assignment: holds the new string, then lets the old one go.
void RuntimeLockUnlockStrings(VornStringRecord* newString, VornStringRecord* oldString);

// Blanks and tabs off both ends, the start, or the end.
VornStringRecord* runTrim(VornStringRecord* s);
VornStringRecord* runLTrim(VornStringRecord* s);
VornStringRecord* runRTrim(VornStringRecord* s);
// CStr of a number: as Str, with the locale's decimal separator.
VornStringRecord* runCStr(double value);

// The record's text: NUL-terminated, and length-prefixed (one length byte, 255 for 255 and
// more). Valid while the record lives; a static empty text for nil.
const char* StringGetCString(VornStringRecord* s);
const unsigned char* StringGetPString(VornStringRecord* s);
const char* StringToCString(VornStringRecord* s);
const unsigned char* StringToPString(VornStringRecord* s);

}
