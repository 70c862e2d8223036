// How a column value an engine hands out reads as text, number and Boolean.
#include <cstdio>
#include <cstring>
#include <string>

#include "database/database_fields.h"
#include "strings/c_number_text.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"

namespace vorn {
namespace {

template <typename T>
T Machine(const DbColumnBytes& value) {
  T number{};
  if (value.data && value.length >= static_cast<int32_t>(sizeof(T))) std::memcpy(&number, value.data, sizeof(T));
  return number;
}

// The big-endian 16-bit part `index` of a date, time or timestamp; 0 beyond the value.
int Part(const DbColumnBytes& value, int index) {
  if (!value.data || value.length < 2 * (index + 1)) return 0;
  return static_cast<int16_t>(value.data[2 * index] << 8 | value.data[2 * index + 1]);
}

std::string TwoDigits(int number) {
  const std::string text = "0" + std::to_string(number);
  return text.substr(text.size() - 2);
}

std::string DateText(const DbColumnBytes& value, int first) {
  return std::to_string(Part(value, first)) + "-" + TwoDigits(Part(value, first + 1)) + "-" +
         TwoDigits(Part(value, first + 2));
}

std::string TimeText(const DbColumnBytes& value, int first) {
  return TwoDigits(Part(value, first)) + ":" + TwoDigits(Part(value, first + 1)) + ":" +
         TwoDigits(Part(value, first + 2));
}

std::string Bytes(const DbColumnBytes& value) {
  if (!value.data || value.length <= 0) return {};
  return std::string(reinterpret_cast<const char*>(value.data), static_cast<size_t>(value.length));
}

// The value's data is the string record itself.
std::string RecordText(const DbColumnBytes& value) {
  auto* record = reinterpret_cast<StringRep*>(const_cast<uint8_t*>(value.data));
  return std::string(string::Share(record).View());
}

}  // namespace

bool ColumnValueIsBytes(uint8_t type) {
  return type == kVornDbChar || type == kVornDbText || type == kVornDbBinary || type == kVornDbLongText ||
         type == kVornDbLongBinary;
}

std::string ColumnValueText(const DbColumnBytes& value) {
  if (ColumnValueIsBytes(value.type)) return Bytes(value);
  switch (value.type) {
    case kVornDbSmallInt: return std::to_string(Machine<int16_t>(value));
    case kVornDbInteger: return std::to_string(Machine<int32_t>(value));
    case kVornDbFloat: return DoubleToText(Machine<float>(value), kDoubleAutomatic, 7);
    case kVornDbDouble: return DoubleToText(Machine<double>(value), kDoubleAutomatic, 10);
    case kVornDbDate: return DateText(value, 0);
    case kVornDbTime: return TimeText(value, 0);
    case kVornDbTimeStamp: return DateText(value, 0) + " " + TimeText(value, 3);
    case kVornDbBoolean: return value.length > 0 && value.data && value.data[0] ? "true" : "false";
    case kVornDbStringRecord: return RecordText(value);
    default: return {};
  }
}

std::string ColumnValueLiteral(const DbColumnBytes& value) {
  if (value.type != kVornDbFloat && value.type != kVornDbDouble) return ColumnValueText(value);
  return ExactCNumber(ColumnValueNumber(value));
}

double ColumnValueNumber(const DbColumnBytes& value) {
  if (ColumnValueIsBytes(value.type)) return ScanDecimalNumber(Bytes(value));
  switch (value.type) {
    case kVornDbSmallInt: return Machine<int16_t>(value);
    case kVornDbInteger: return Machine<int32_t>(value);
    case kVornDbFloat: return Machine<float>(value);
    case kVornDbDouble: return Machine<double>(value);
    case kVornDbBoolean: return value.length > 0 && value.data && value.data[0] ? 1.0 : 0.0;
    case kVornDbStringRecord: return ScanDecimalNumber(RecordText(value));
    default: return 0;
  }
}

bool ColumnValueBoolean(const DbColumnBytes& value) {
  if (ColumnValueIsBytes(value.type)) {
    const std::string text = Bytes(value);
    return SameName(text, "true") || (!text.empty() && (text[0] == 't' || text[0] == 'T'));
  }
  switch (value.type) {
    case kVornDbSmallInt: return Machine<int16_t>(value) != 0;
    case kVornDbInteger: return Machine<int32_t>(value) != 0;
    // A NaN is not equal to zero, so it reads as true.
    case kVornDbFloat: return !(Machine<float>(value) == 0);
    case kVornDbDouble: return !(Machine<double>(value) == 0);
    case kVornDbBoolean: return value.length > 0 && value.data && value.data[0] != 0;
    default: return false;
  }
}

}  // namespace vorn
