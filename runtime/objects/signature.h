// Member signatures: the text that describes every method, property and event of a class,
// "name%result%parameters" with the owning object first ("Minimum%f8%",
// "GetSliderControl%o<SliderControl>%o<MainWindow>i4").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

enum class TypeKind : uint8_t {
  kNone,      // "" (no result)
  kInteger,   // i4
  kShort,     // i2
  kUInteger,  // u4
  kSingle,    // f4
  kDouble,    // f8
  kString,    // s
  kBoolean,   // b
  kColor,     // c
  kPointer,   // p
  kObject,    // o<Class>
  kArray,     // A<dimensions><element>
};

struct TypeCode {
  TypeKind kind = TypeKind::kNone;
  std::string className;   // kObject: the class name; kArray: the element's class name
  int32_t dimensions = 0;  // kArray only
  TypeKind element = TypeKind::kNone;  // kArray only

  bool operator==(const TypeCode&) const = default;
};

// Parses one type code at the front of `text`, advancing it; nullopt for malformed text.
std::optional<TypeCode> ParseTypeCode(std::string_view& text);
// Parses a whole text as exactly one type code ("" is kNone).
std::optional<TypeCode> ParseSingleTypeCode(std::string_view text);
std::string PrintTypeCode(const TypeCode& type);

struct MemberSignature {
  bool eventImplementation = false;  // leading "#"
  bool assignment = false;           // leading "="
  std::string name;
  TypeCode result;
  std::vector<TypeCode> parameters;  // the owning object first, where there is one

  bool IsHidden() const { return !name.empty() && name[0] == '_'; }
  bool operator==(const MemberSignature&) const = default;
};

// Nullopt for text that is not a signature: no name, a missing "%", a bad type code, or
// anything after the parameter types.
std::optional<MemberSignature> ParseMemberSignature(std::string_view text);
std::string PrintMemberSignature(const MemberSignature& signature);

// The name part of a signature without its marks ("Minimum" of "=Minimum%f8%").
std::string_view SignatureName(std::string_view signature);
// The text between the first and the second "%" ("f8" of "Minimum%f8%"), empty when absent.
std::string_view SignatureResultText(std::string_view signature);

}  // namespace vorn
