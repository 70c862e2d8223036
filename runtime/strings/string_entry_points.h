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

// 1-based start and result; 0 when absent.
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

// The record's text: NUL-terminated, and length-prefixed (one length byte, 255 for 255 and
// more). Valid while the record lives; a static empty text for nil.
const char* StringGetCString(VornStringRecord* s);
const unsigned char* StringGetPString(VornStringRecord* s);

}
