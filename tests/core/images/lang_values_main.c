/* Calls a representative of each family of the language's value rows (strings, Random,
 * Blowfish, encodings, the EndOfLine object, dates) by name, as compiled code
 * does, and hands what they answer to the host's recording functions. */
#include "vorn/array_abi.h"
#include "vorn/class_abi.h"
#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

VORN_DEFINE_PENDING_EXCEPTION;

extern void HostRecordInt(int32_t tag, int32_t value);
extern void HostRecordString(int32_t tag, VornStringRecord* text);
extern void HostRecordDouble(int32_t tag, double value);

/* Entry points the public headers do not declare. */
void RuntimeUnlockString(VornStringRecord* s);
void RuntimeUnlockArray(VornArray* array);
int32_t StringLen(VornStringRecord* s);
VornStringRecord* StringMid3(VornStringRecord* s, int32_t start, int32_t length);
int32_t StringInStr(int32_t start, VornStringRecord* text, VornStringRecord* pattern);
int32_t StringInStrB(int32_t start, VornStringRecord* text, VornStringRecord* pattern);
int32_t StringDBCSLen(VornStringRecord* s);
int32_t StringAsc(VornStringRecord* s);
VornStringRecord* StringChr(int32_t codePoint);
VornStringRecord* runTrim(VornStringRecord* s);
VornStringRecord* RuntimeAddString(VornStringRecord* a, VornStringRecord* b);
int32_t RuntimeStringCompare(VornStringRecord* a, VornStringRecord* b);
VornStringRecord* StringTitleCase(VornStringRecord* s);
VornArray* StringSplit(VornStringRecord* source, VornStringRecord* delimiter);
VornStringRecord* StringJoin(VornArray* array, VornStringRecord* delimiter);
void RandomSeedSetter(VornRuntimeObject* self, int32_t unused, int32_t seed);
double RandomNumber(VornRuntimeObject* self);
int32_t RandomNumberInRangeMinMax(VornRuntimeObject* self, int32_t low, int32_t high);
void BlowfishInitialize(VornStringRecord* key);
void BlowfishEncipher(uint32_t* left, uint32_t* right);
VornRuntimeObject* getInternetTextEncoding(VornStringRecord* name);
VornStringRecord* StringConvertEncoding(VornStringRecord* s, VornRuntimeObject* encoding);
VornRuntimeObject* RuntimeGetEndOfLineObject(void);
VornStringRecord* RuntimeEndOfLineAddRight(VornRuntimeObject* self, VornStringRecord* left);
uint8_t parseDate(VornStringRecord* text, VornRuntimeObject** date);
int32_t dateFieldGetter(VornRuntimeObject* date, int32_t field);
VornRuntimeObject* PtrToMemoryBlock(void* pointer);
void memoryBlockSetSize(VornRuntimeObject* block, int32_t size);
int32_t memoryGetByte(VornRuntimeObject* block, int32_t offset);
VornRuntimeObject* getTextConverter(VornRuntimeObject* source, VornRuntimeObject* destination);
VornStringRecord* textConverterConvert(VornRuntimeObject* self, VornStringRecord* text);

VORN_LITERAL(kGreeting, "  Gr\xC3\xBC\xC3\x9F" "e, world \t");
VORN_LITERAL(kWorld, "WORLD");
VORN_LITERAL(kWorldBytes, "world");
VORN_LITERAL(kComma, ",");
VORN_LITERAL(kDash, "-");
VORN_LITERAL(kList, "a,b,c");
VORN_LITERAL(kRandom, "Random");
VORN_LITERAL(kKey, "abcdefghijklmnopqrstuvwxyz");
VORN_LITERAL(kLatin1, "ISO-8859-1");
VORN_LITERAL(kUTF8, "UTF-8");
VORN_LITERAL(kLine, "line");
VORN_LITERAL(kDate, "2003-12-31 10:20:30");

/* Records a string the image owns, then lets it go. */
static void RecordOwned(int32_t tag, VornStringRecord* s) {
  HostRecordString(tag, s);
  RuntimeUnlockString(s);
}

static void Strings(void) {
  VornStringRecord* trimmed = runTrim(VORN_STR(kGreeting));
  RecordOwned(1, trimmed == 0 ? 0 : StringTitleCase(trimmed));
  HostRecordInt(2, StringLen(trimmed));
  HostRecordInt(3, StringDBCSLen(trimmed));
  HostRecordInt(4, StringInStr(1, trimmed, VORN_STR(kWorld)));
  HostRecordInt(32, StringInStrB(1, trimmed, VORN_STR(kWorldBytes)));
  RecordOwned(33, StringMid3(trimmed, StringInStr(1, trimmed, VORN_STR(kWorld)), 5));
  VornStringRecord* middle = StringMid3(trimmed, 3, 2);
  HostRecordInt(6, StringAsc(middle));
  RecordOwned(5, middle);
  RuntimeUnlockString(trimmed);
  VornStringRecord* euro = StringChr(0x20AC);
  RecordOwned(7, RuntimeAddString(euro, VORN_STR(kComma)));
  RuntimeUnlockString(euro);
  HostRecordInt(8, RuntimeStringCompare(VORN_STR(kWorld), VORN_STR(kComma)));
  VornArray* parts = StringSplit(VORN_STR(kList), VORN_STR(kComma));
  HostRecordInt(9, parts ? parts->upperBound[0] : -99);
  RecordOwned(10, StringJoin(parts, VORN_STR(kDash)));
  RuntimeUnlockArray(parts);
}

static void Values(void) {
  VornRuntimeObject* random = RuntimeNewObject(RuntimeLookupClass(VORN_STR(kRandom)));
  RandomSeedSetter(random, 0, 4242);
  double first = RandomNumber(random);
  int32_t die = RandomNumberInRangeMinMax(random, 1, 6);
  RandomSeedSetter(random, 0, 4242);
  HostRecordInt(20, first == RandomNumber(random) && die == RandomNumberInRangeMinMax(random, 1, 6));
  HostRecordInt(21, die >= 1 && die <= 6);
  RuntimeUnlockObject(random);

  uint32_t left = 0x424C4F57, right = 0x46495348; /* "BLOWFISH" */
  BlowfishInitialize(VORN_STR(kKey));
  BlowfishEncipher(&left, &right);
  HostRecordInt(22, left == 0x324ED0FEu && right == 0xF413A203u);

  VornRuntimeObject* latin1 = getInternetTextEncoding(VORN_STR(kLatin1));
  VornStringRecord* converted = StringConvertEncoding(VORN_STR(kGreeting), latin1);
  HostRecordInt(23, converted ? converted->length : -1);
  HostRecordInt(24, converted ? (int32_t)converted->encoding : -1);
  VornRuntimeObject* utf8 = getInternetTextEncoding(VORN_STR(kUTF8));
  VornRuntimeObject* back = getTextConverter(latin1, utf8);
  RecordOwned(30, textConverterConvert(back, converted));
  RuntimeUnlockObject(back);
  RuntimeUnlockObject(utf8);
  RuntimeUnlockString(converted);
  RuntimeUnlockObject(latin1);

  VornRuntimeObject* eol = RuntimeGetEndOfLineObject();
  RecordOwned(25, RuntimeEndOfLineAddRight(eol, VORN_STR(kLine)));
  RuntimeUnlockObject(eol);

  VornRuntimeObject* date = 0;
  HostRecordInt(26, parseDate(VORN_STR(kDate), &date));
  HostRecordInt(27, date ? dateFieldGetter(date, 0) * 10000 + dateFieldGetter(date, 1) * 100 + dateFieldGetter(date, 2) : 0);
  RuntimeUnlockObject(date);

  static uint8_t memory[4] = {9, 8, 7, 6};
  VornRuntimeObject* view = PtrToMemoryBlock(memory);
  memoryBlockSetSize(view, 4);
  HostRecordInt(31, memoryGetByte(view, 2));
  RuntimeUnlockObject(view);
  HostRecordInt(29, !VORN_FAILED());
}

void ImageEntry(void) {
  Strings();
  Values();
}
