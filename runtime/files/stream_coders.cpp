#include "files/stream_coders.h"

#include <string>

#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr const char* kStreamsSource = "../Universal/FileStreams";

// Callers always set the store; one that did not would have every call go through nil.
RandomAccessMechanism* Checked(RandomAccessMechanism* mechanism, int32_t line) {
  if (!mechanism)
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kStreamsSource, line, "obj->mechanism", "");
  return mechanism;
}

}  // namespace

bool StreamWriter::SetScramble(bool on) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->SetScramble(on);
}

bool StreamWriter::Write(const void* buffer, int32_t count) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->Write(buffer, count);
}

bool StreamWriter::WriteCompactInteger(int32_t value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->WriteCompactInteger(value);
}

bool StreamWriter::WriteCompactString(const string& text) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  if (!m || !m->WriteCompactInteger(text.Length())) return false;
  return text.IsEmpty() || m->Write(text.CString(), text.Length());
}

bool StreamWriter::WriteByte(uint8_t value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->WriteByte(value);
}

bool StreamWriter::WriteShort(int16_t value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->WriteShort(value);
}

bool StreamWriter::WriteLong(int32_t value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->WriteLong(value);
}

bool StreamWriter::WriteLine(const string& text) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->WriteLine(ConvertTextEncoding(text, encoding));
}

bool StreamReader::SetScramble(bool on) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->SetScramble(on);
}

bool StreamReader::Read(void* buffer, int32_t count) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->Read(buffer, count);
}

bool StreamReader::ReadCompactInteger(int32_t* value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->ReadCompactInteger(value);
}

bool StreamReader::ReadCompactShort(int16_t* value) {
  int32_t wide = 0;
  if (!ReadCompactInteger(&wide)) return false;
  *value = static_cast<int16_t>(wide);
  return true;
}

bool StreamReader::ReadCompactString(string* text) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  int32_t length = 0;
  if (!m || !m->ReadCompactInteger(&length)) return false;
  if (length < 1) {
    *text = string();
    return true;
  }
  // A damaged length must not make us allocate what the store cannot hold.
  if (length > m->GetLength() - m->GetPosition()) return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  int32_t got = 0;
  if (!m->Read(bytes.data(), length, &got) || got != length) return false;
  *text = string(bytes, encoding);
  return true;
}

bool StreamReader::ReadByte(uint8_t* value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->ReadByte(value);
}

bool StreamReader::ReadShort(int16_t* value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->ReadShort(value);
}

bool StreamReader::ReadLong(int32_t* value) {
  RandomAccessMechanism* m = Checked(mechanism, __LINE__);
  return m && m->ReadLong(value);
}

}  // namespace vorn
