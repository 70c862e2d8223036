#include "objects/signature.h"

namespace vorn {

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '.' || c == '(' || c == ')' || static_cast<uint8_t>(c) >= 0x80;
}

// Scalar codes of two letters and one letter.
std::optional<TypeKind> ParseScalar(std::string_view& text) {
  struct Code {
    std::string_view text;
    TypeKind kind;
  };
  static constexpr Code kCodes[] = {
      {"i4", TypeKind::kInteger}, {"i2", TypeKind::kShort},  {"u4", TypeKind::kUInteger},
      {"f4", TypeKind::kSingle},  {"f8", TypeKind::kDouble}, {"s", TypeKind::kString},
      {"b", TypeKind::kBoolean},  {"c", TypeKind::kColor},   {"p", TypeKind::kPointer},
  };
  for (const Code& code : kCodes) {
    if (text.substr(0, code.text.size()) == code.text) {
      text.remove_prefix(code.text.size());
      return code.kind;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ParseClassName(std::string_view& text) {
  if (text.substr(0, 2) != "o<") return std::nullopt;
  size_t close = text.find('>');
  if (close == std::string_view::npos || close == 2) return std::nullopt;
  std::string_view name = text.substr(2, close - 2);
  for (char c : name)
    if (!IsNameChar(c)) return std::nullopt;
  text.remove_prefix(close + 1);
  return std::string(name);
}

}  // namespace

std::optional<TypeCode> ParseTypeCode(std::string_view& text) {
  TypeCode type;
  if (text.empty()) return std::nullopt;
  if (text[0] == 'A') {
    std::string_view rest = text.substr(1);
    int32_t dims = 0;
    while (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') {
      dims = dims * 10 + (rest[0] - '0');
      rest.remove_prefix(1);
      if (dims > 32) return std::nullopt;
    }
    if (dims < 1) return std::nullopt;
    type.kind = TypeKind::kArray;
    type.dimensions = dims;
    if (auto name = ParseClassName(rest)) {
      type.element = TypeKind::kObject;
      type.className = std::move(*name);
    } else if (auto scalar = ParseScalar(rest)) {
      type.element = *scalar;
    } else {
      return std::nullopt;
    }
    text = rest;
    return type;
  }
  if (auto name = ParseClassName(text)) {
    type.kind = TypeKind::kObject;
    type.className = std::move(*name);
    return type;
  }
  if (auto scalar = ParseScalar(text)) {
    type.kind = *scalar;
    return type;
  }
  return std::nullopt;
}

std::optional<TypeCode> ParseSingleTypeCode(std::string_view text) {
  if (text.empty()) return TypeCode{};
  auto type = ParseTypeCode(text);
  if (!type || !text.empty()) return std::nullopt;
  return type;
}

std::string PrintTypeCode(const TypeCode& type) {
  auto scalar = [](TypeKind kind) -> std::string {
    switch (kind) {
      case TypeKind::kInteger: return "i4";
      case TypeKind::kShort: return "i2";
      case TypeKind::kUInteger: return "u4";
      case TypeKind::kSingle: return "f4";
      case TypeKind::kDouble: return "f8";
      case TypeKind::kString: return "s";
      case TypeKind::kBoolean: return "b";
      case TypeKind::kColor: return "c";
      case TypeKind::kPointer: return "p";
      default: return "";
    }
  };
  switch (type.kind) {
    case TypeKind::kObject: return "o<" + type.className + ">";
    case TypeKind::kArray:
      return "A" + std::to_string(type.dimensions) +
             (type.element == TypeKind::kObject ? "o<" + type.className + ">" : scalar(type.element));
    default: return scalar(type.kind);
  }
}

std::optional<MemberSignature> ParseMemberSignature(std::string_view text) {
  MemberSignature sig;
  for (;;) {
    if (!text.empty() && text[0] == '#' && !sig.eventImplementation) {
      sig.eventImplementation = true;
    } else if (!text.empty() && text[0] == '=' && !sig.assignment) {
      sig.assignment = true;
    } else {
      break;
    }
    text.remove_prefix(1);
  }
  size_t percent = text.find('%');
  if (percent == 0 || percent == std::string_view::npos) return std::nullopt;
  for (char c : text.substr(0, percent))
    if (!IsNameChar(c)) return std::nullopt;
  sig.name = std::string(text.substr(0, percent));
  text.remove_prefix(percent + 1);

  size_t second = text.find('%');
  if (second == std::string_view::npos) return std::nullopt;
  auto result = ParseSingleTypeCode(text.substr(0, second));
  if (!result) return std::nullopt;
  sig.result = std::move(*result);
  text.remove_prefix(second + 1);

  while (!text.empty()) {
    auto param = ParseTypeCode(text);
    if (!param) return std::nullopt;
    sig.parameters.push_back(std::move(*param));
  }
  return sig;
}

std::string PrintMemberSignature(const MemberSignature& signature) {
  std::string text;
  if (signature.eventImplementation) text += '#';
  if (signature.assignment) text += '=';
  text += signature.name;
  text += '%';
  text += PrintTypeCode(signature.result);
  text += '%';
  for (const TypeCode& param : signature.parameters) text += PrintTypeCode(param);
  return text;
}

std::string_view SignatureName(std::string_view signature) {
  while (!signature.empty() && (signature[0] == '#' || signature[0] == '=')) signature.remove_prefix(1);
  return signature.substr(0, signature.find('%'));
}

std::string_view SignatureResultText(std::string_view signature) {
  size_t first = signature.find('%');
  if (first == std::string_view::npos) return {};
  std::string_view rest = signature.substr(first + 1);
  return rest.substr(0, rest.find('%'));
}

}  // namespace vorn
