#include "files/binary_stream.h"

#include <cstring>
#include <string>

#include "startup/class_registration.h"
#include "base/reloc_entry.h"
#include "files/memory_block_mechanism.h"
#include "files/stream_objects.h"
#include "files/string_storage_mechanism.h"
#include "files/support/stream_object_test.h"
#include "objects/memory_block.h"
#include "objects/runtime_object.h"
#include "objects/stream_interfaces.h"
#include "objects/text_encoding_object.h"

namespace vorn::testing {
namespace {

class BinaryStreamTest : public StreamObjectTest {
 protected:
  // A stream over a fresh memory store the test can look into while the stream lives.
  RuntimeObject* NewOverMemory(const std::string& bytes = "") {
    mStore = StoreWith(bytes);
    return NewBinaryStreamObject(mStore);
  }
  static void SetLittleEndian(RuntimeObject* stream, bool little) {
    reinterpret_cast<BinaryStreamObject*>(stream)->littleEndian = little ? 1 : 0;
  }
  static void SetUpTestSuite() { RegisterIntrinsicClasses(); }

  FileHandle* mStore = nullptr;
};

TEST_F(BinaryStreamTest, TypedValuesAreBigEndianUntilLittleEndianIsSet) {
  RuntimeObject* stream = NewOverMemory();
  BinaryStreamWriteLong(stream, 1);
  BinaryStreamWriteShort(stream, 0x12345);  // the low 16 bits
  BinaryStreamWriteByte(stream, 0x1FF);
  BinaryStreamWriteBoolean(stream, 9);
  BinaryStreamWriteDouble(stream, 1.5);
  BinaryStreamWriteFloat(stream, -0.25);
  EXPECT_EQ(Contents(mStore), std::string("\0\0\0\1\x23\x45\xFF\1\x3F\xF8\0\0\0\0\0\0\xBE\x80\0\0", 20));

  SetLittleEndian(stream, true);
  BinaryStreamWriteLong(stream, 1);
  BinaryStreamWriteDouble(stream, 1.5);
  EXPECT_EQ(Contents(mStore).substr(20), std::string("\1\0\0\0\0\0\0\0\0\0\xF8\x3F", 12));

  BinaryStreamSetPosition(stream, 0, 0);
  SetLittleEndian(stream, false);
  EXPECT_EQ(BinaryStreamReadLong(stream), 1);
  EXPECT_EQ(BinaryStreamReadShort(stream), 0x2345);
  EXPECT_EQ(BinaryStreamReadByte(stream), 255);
  EXPECT_EQ(BinaryStreamReadBoolean(stream), 1);
  EXPECT_EQ(BinaryStreamReadDouble(stream), 1.5);
  EXPECT_EQ(BinaryStreamReadFloat(stream), -0.25);
  SetLittleEndian(stream, true);
  EXPECT_EQ(BinaryStreamReadLong(stream), 1);
  EXPECT_EQ(BinaryStreamReadDouble(stream), 1.5);
  EXPECT_EQ(BinaryStreamEOF(stream), 1);
  EXPECT_EQ(mStore->mSwapBytes, 0u) << "the store's own switches are left alone";
  RuntimeUnlockObject(stream);
}

TEST_F(BinaryStreamTest, ShortReadsGiveZeroAndSignsExtend) {
  RuntimeObject* stream = NewOverMemory("\xFF\xFE\x01\x02\x03");
  EXPECT_EQ(BinaryStreamReadShort(stream), -2);
  EXPECT_EQ(BinaryStreamReadLong(stream), 0) << "three bytes left of four";
  EXPECT_EQ(BinaryStreamEOF(stream), 1);
  EXPECT_EQ(BinaryStreamReadByte(stream), 0);
  EXPECT_EQ(BinaryStreamReadBoolean(stream), 0);
  EXPECT_EQ(BinaryStreamReadDouble(stream), 0.0);
  RuntimeUnlockObject(stream);
}

TEST_F(BinaryStreamTest, StringsCountBytesAndCarryTheEncodingAsked) {
  RuntimeObject* stream = NewOverMemory();
  std::string longText(300, 'q');
  string longRecord(longText, kEncodingUTF8);
  string raw("raw");
  BinaryStreamWritePString(stream, longRecord.Rep());
  BinaryStreamWritePString(stream, nullptr);
  BinaryStreamWrite(stream, raw.Rep());
  BinaryStreamWrite(stream, nullptr);
  EXPECT_EQ(Contents(mStore).size(), 256u + 1 + 3);
  EXPECT_EQ(static_cast<uint8_t>(Contents(mStore)[0]), 0xFF);
  EXPECT_EQ(Contents(mStore)[256], '\0') << "nil writes one zero length byte";

  RuntimeObject* latin1 = GetTEObjectFromEncoding(0x0201);
  BinaryStreamSetPosition(stream, 0, 0);
  EXPECT_EQ(TakeTagged(BinaryStreamReadPString(stream, latin1)), "0x201:" + std::string(255, 'q'));
  EXPECT_EQ(Take(BinaryStreamReadPString(stream, nullptr)), "");
  EXPECT_EQ(TakeTagged(BinaryStreamRead(stream, 10, nullptr)), "0xFFFF:raw") << "cut to what is left";
  EXPECT_EQ(Take(BinaryStreamRead(stream, 10, nullptr)), "");
  BinaryStreamSetPosition(stream, 0, 1);
  EXPECT_EQ(Take(BinaryStreamRead(stream, -5, nullptr)), "");
  EXPECT_EQ(Take(BinaryStreamRead(stream, 0x7FFFFFFF, nullptr)).size(), 259u) << "a huge count reads what is there";
  RuntimeUnlockObject(latin1);
  RuntimeUnlockObject(stream);
}

TEST_F(BinaryStreamTest, StringConstructorReadsAndRefusesWrites) {
  RuntimeObject* stream = CreateInstanceFromDefinition(GetBinaryStreamClassDefinition());
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(BinaryStreamLastErrorGetter(stream), 0);
  EXPECT_EQ(BinaryStreamEOF(stream), 1) << "no store yet";
  string text("\x00\x00\x00\x2A" "tail", 8, kEncodingUTF8);
  BinaryStringStringCtor(stream, text.Rep());
  EXPECT_EQ(BinaryStreamGetLength(stream), 8);
  EXPECT_EQ(BinaryStreamReadLong(stream), 42);
  BinaryStreamWrite(stream, text.Rep());
  EXPECT_EQ(BinaryStreamLastErrorGetter(stream), kCannotWriteError);
  EXPECT_EQ(BinaryStreamErrorFlag(stream), 1);
  BinaryStreamSetLength(stream, 0, 2);
  EXPECT_EQ(BinaryStreamGetLength(stream), 8);
  EXPECT_EQ(Take(BinaryStreamRead(stream, 4, nullptr)), "tail");

  BinaryStreamClose(stream);
  EXPECT_EQ(BinaryStreamLastErrorGetter(stream), kCannotWriteError) << "kept past Close";
  EXPECT_EQ(BinaryStreamEOF(stream), 1);
  EXPECT_EQ(BinaryStreamReadLong(stream), 0);
  EXPECT_EQ(Take(BinaryStreamRead(stream, 4, nullptr)), "");
  EXPECT_EQ(BinaryStreamGetLength(stream), 0);
  EXPECT_EQ(BinaryStreamGetPosition(stream), 0);
  BinaryStreamWriteLong(stream, 1);
  BinaryStreamClose(stream);
  EXPECT_EQ(BinaryStreamLastErrorGetter(stream), kCannotWriteError) << "a second Close changes nothing";
  RuntimeUnlockObject(stream);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(BinaryStreamTest, MemoryBlockConstructorTakesTheBlocksByteOrderAndStaysInside) {
  RuntimeObject* block = newMemoryBlock(6);
  std::memcpy(memoryBlockGetPtr(block), "\x01\x00\x00\x00\x00\x00", 6);
  RuntimeObject* stream = CreateInstanceFromDefinition(GetBinaryStreamClassDefinition());
  BinaryStringMemoryBlockCtor(stream, block);
  EXPECT_EQ(boolGetter(stream, offsetof(BinaryStreamObject, littleEndian)), 1) << "new blocks are little-endian";
  EXPECT_EQ(BinaryStreamReadLong(stream), 1);
  BinaryStreamWriteLong(stream, 7);
  EXPECT_EQ(BinaryStreamLastErrorGetter(stream), kBlockFullError) << "four bytes do not fit in the last two";
  EXPECT_EQ(memoryBlockGetSize(block), 6);
  BinaryStreamWriteShort(stream, 0x0102);
  EXPECT_EQ(static_cast<const uint8_t*>(memoryBlockGetPtr(block))[4], 0x02);
  RuntimeUnlockObject(stream);

  reinterpret_cast<MemoryBlockObject*>(block)->littleEndian = 0;
  stream = CreateInstanceFromDefinition(GetBinaryStreamClassDefinition());
  BinaryStringMemoryBlockCtor(stream, block);
  EXPECT_EQ(BinaryStreamReadLong(stream), 0x01000000);
  BinaryStringMemoryBlockCtor(stream, nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  BinaryStringMemoryBlockCtor(stream, stream);
  EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
  EXPECT_EQ(BinaryStreamGetPosition(stream), 4) << "a refused constructor keeps the store";
  RuntimeUnlockObject(stream);
  RuntimeUnlockObject(block);
}

TEST_F(BinaryStreamTest, CloseKeepsAFailureThatWouldOtherwiseLookLikeSuccess) {
  auto* store = new FailingStore();
  RuntimeObject* stream = NewBinaryStreamObject(store);
  store->refuseWrites = true;
  BinaryStreamWriteLong(stream, 1);
  EXPECT_NE(BinaryStreamLastErrorGetter(stream), 0) << "a refused write shows in WriteError";
  store->mLastError = 0;
  store->failClose = true;
  BinaryStreamClose(stream);
  EXPECT_NE(BinaryStreamLastErrorGetter(stream), 0) << "a failed close shows too";
  EXPECT_EQ(BinaryStreamErrorFlag(stream), 1);
  RuntimeUnlockObject(stream);
}

TEST_F(BinaryStreamTest, NilStreamsReportAndAnswerNothing) {
  EXPECT_EQ(BinaryStreamReadLong(nullptr), 0);
  BinaryStreamWriteLong(nullptr, 1);
  EXPECT_EQ(BinaryStreamEOF(nullptr), 1);
  ASSERT_EQ(Reports().size(), 3u);
  EXPECT_NE(Reports()[0].find("../Common/runFileAccess"), std::string::npos) << Reports()[0];
  EXPECT_NE(Reports()[0].find("stream"), std::string::npos);
  EXPECT_EQ(BinaryStreamLastErrorGetter(nullptr), 0);
  EXPECT_NE(Reports().back().find("No binary stream to get last error code on!"), std::string::npos);
}

TEST_F(BinaryStreamTest, ClassImplementsBothInterfacesAndBindsItsEntryPoints) {
  RuntimeObject* stream = NewOverMemory("xyz");
  EXPECT_TRUE(ObjectIsaDefinition(stream, GetReadableInterfaceDefinition()));
  EXPECT_TRUE(ObjectIsaDefinition(stream, GetWriteableInterfaceDefinition()));
  auto read = reinterpret_cast<StringRep* (*)(RuntimeObject*, int32_t, RuntimeObject*)>(
      LookupInterfaceMethod(stream, GetReadableInterfaceDefinition(), string("read")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Take(read(stream, 2, nullptr)), "xy");
  auto readError = reinterpret_cast<uint8_t (*)(RuntimeObject*)>(
      LookupInterfaceMethod(stream, GetReadableInterfaceDefinition(), string("ReadError")));
  EXPECT_EQ(readError, &BinaryStreamErrorFlag);
  for (const char* name : {"BinaryStreamReadFloat", "BinaryStreamWriteDouble", "BinaryStringMemoryBlockCtor",
                           "BinaryStreamLastErrorGetter", "BinaryStreamInitializer", "BinaryStreamSetPosition"}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->code, nullptr) << name;
  }
  EXPECT_EQ(LookupRelocEntry(string("BinaryStreamClose"))->code, reinterpret_cast<void*>(&BinaryStreamClose));
  RuntimeUnlockObject(stream);
}

}  // namespace
}  // namespace vorn::testing
