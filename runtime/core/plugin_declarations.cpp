#include "core/plugin_declarations.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <optional>
#include <string_view>

#include "core/declaration_tokenizer.h"
#include "objects/object_definition.h"
#include "objects/signature.h"

namespace vorn {

namespace {

// Keyword codes of the tokenizer's table that declarations use.
constexpr int32_t kSub = 258, kFunction = 259, kAs = 261, kInteger = 262, kString = 270, kSingle = 277,
                  kDouble = 278, kTrue = 287, kFalse = 288, kByRef = 289, kBoolean = 290, kColor = 302,
                  kByValOrConst = 307, kOptional = 308, kPrivate = 314, kProtected = 315, kPublic = 320,
                  kShared = 321, kEvent = 325, kAssigns = 335, kParamArray = 340, kObject = 342;

// What a member signature can carry as a name: the tokenizer also lets "~" begin one.
bool SignatureName(const std::string& name) {
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (!(std::isalnum(byte) || c == '_' || byte >= 0x80)) return false;
  }
  return !name.empty();
}

// An integral literal's text ("-12", "&H7F", "&O17", "&B101", or the digits of a number too long
// for an integer token): its magnitude and sign; nothing for any other text or beyond 64 bits.
struct Integral {
  uint64_t magnitude = 0;
  bool negative = false;
  bool radix = false;  // "&H", "&O" or "&B": a bit pattern
};

std::optional<Integral> ReadIntegral(std::string_view text) {
  Integral value;
  if (!text.empty() && text[0] == '-') {
    value.negative = true;
    text.remove_prefix(1);
  }
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '&') {
    switch (std::toupper(static_cast<unsigned char>(text[1]))) {
      case 'H': base = 16; break;
      case 'O': base = 8; break;
      case 'B': base = 2; break;
      default: return std::nullopt;
    }
    value.radix = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    uint64_t digit = std::isdigit(byte) ? byte - '0' : std::isxdigit(byte) ? std::toupper(byte) - 'A' + 10 : base;
    if (digit >= base || value.magnitude > (UINT64_MAX - digit) / base) return std::nullopt;
    value.magnitude = value.magnitude * base + digit;
  }
  return value;
}

// Whether an integral value fits a type of `bits` bits: a radix literal as a bit pattern, a
// decimal one as a number of the type's range.
bool FitsBits(const Integral& value, int bits, bool isSigned) {
  const uint64_t all = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
  const uint64_t half = uint64_t{1} << (bits - 1);
  if (value.negative) return isSigned && value.magnitude <= half;
  return value.magnitude <= (value.radix || !isSigned ? all : half - 1);
}

// Whether a constant's literal (`literal` its kind, `text` as written) holds a value of `type`.
bool ConstantFits(TypeKind type, TypeKind literal, const std::string& text) {
  const bool number = literal == TypeKind::kInteger || literal == TypeKind::kDouble;
  const std::optional<Integral> integral = number ? ReadIntegral(text) : std::nullopt;
  switch (type) {
    case TypeKind::kString: return literal == TypeKind::kString;
    case TypeKind::kBoolean: return literal == TypeKind::kBoolean;
    case TypeKind::kInteger: return integral && FitsBits(*integral, 32, true);
    case TypeKind::kShort: return integral && FitsBits(*integral, 16, true);
    case TypeKind::kUInteger: return integral && FitsBits(*integral, 32, false);
    case TypeKind::kPointer: return integral && FitsBits(*integral, 64, false);
    case TypeKind::kColor:
      // "&C" with one to six digits, or eight (the last two the alpha byte).
      if (literal == TypeKind::kColor) return text.size() > 2 && (text.size() <= 8 || text.size() == 10);
      return integral && FitsBits(*integral, 32, false);
    case TypeKind::kSingle:
    case TypeKind::kDouble: {
      if (!number) return false;
      // Any 64-bit integral value is finite in either.
      if (integral) return true;
      // All of the text a number: not "&H" without digits, nor "1e" without an exponent, nor one
      // past a Double's range.
      const char* end = text.data() + text.size();
      double value = 0;
      auto [stop, error] = std::from_chars(text.data(), end, value);
      if (error != std::errc() || stop != end) return false;
      if (type == TypeKind::kDouble) return true;
      // Rounded from the text itself, not from the Double: a Single takes what rounds to its
      // largest value, and what is too small for it rounds to 0.
      float single = 0;
      return std::from_chars(text.data(), end, single).ec == std::errc() || std::fabs(value) < 1;
    }
    default: return false;
  }
}

// One declaration's reading: the tokenizer's global cursor, and the first fault found.
class DeclarationReader {
 public:
  DeclarationReader(const char* text, std::string& why) : mWhy(why) { TokenizerBegin(text); }
  ~DeclarationReader() { TokenizerFinish(); }

  int32_t Next() { return NextTokenSkippingComments(); }
  std::string Text() const { return LastTokenText(); }
  bool Fail(const std::string& why) {
    if (mWhy.empty()) mWhy = why + " (at offset " + std::to_string(TokenizerOffset()) + ")";
    return false;
  }
  bool Expect(int32_t code, const char* what) {
    return Next() == code || Fail(std::string("expected ") + what);
  }
  bool Name(std::string& name, const char* what) {
    if (Next() != kTokenIdentifier) return Fail(std::string("expected the name of the ") + what);
    name = Text();
    return SignatureName(name) || Fail("the name " + name + " holds a character names cannot");
  }
  bool IsWord(int32_t code, const char* word) const {
    return code == kTokenIdentifier && SameName(Text(), word);
  }

  // "As" already read.
  bool Type(TypeCode& type) {
    int32_t code = Next();
    switch (code) {
      case kInteger: type.kind = TypeKind::kInteger; return true;
      case kString: type.kind = TypeKind::kString; return true;
      case kSingle: type.kind = TypeKind::kSingle; return true;
      case kDouble: type.kind = TypeKind::kDouble; return true;
      case kBoolean: type.kind = TypeKind::kBoolean; return true;
      case kColor: type.kind = TypeKind::kColor; return true;
      case kObject: type = {TypeKind::kObject, "Object"}; return true;
      case kTokenIdentifier: break;
      default: return Fail("expected a type");
    }
    static const std::pair<const char*, TypeKind> kNamed[] = {
        {"UInteger", TypeKind::kUInteger}, {"Short", TypeKind::kShort}, {"Ptr", TypeKind::kPointer}};
    for (const auto& [name, kind] : kNamed) {
      if (IsWord(code, name)) return type.kind = kind, true;
    }
    type = {TypeKind::kObject, Text()};
    return SignatureName(type.className) || Fail("the type " + type.className + " holds a character names cannot");
  }

  // A literal, its text into `text`; answers the type it is of, kNone when it is none.
  TypeKind Literal(std::string& text) {
    int32_t code = Next();
    text.clear();
    if (code == '-') {
      text = "-";
      code = Next();
      if (code != kTokenInteger && code != kTokenFloat) return TypeKind::kNone;
    }
    text += code == kTokenString ? "\"" + Text() + "\"" : Text();
    switch (code) {
      case kTokenInteger: return TypeKind::kInteger;
      case kTokenFloat: return TypeKind::kDouble;
      case kTokenString: return TypeKind::kString;
      case kTokenColor:
      case kTokenLongColor: return TypeKind::kColor;
      case kTrue: case kFalse: return TypeKind::kBoolean;
      default: return TypeKind::kNone;
    }
  }

  // "(" already read: parameters up to and including ")".
  bool Parameters(MemberSignature& signature) {
    int32_t code = Next();
    if (code == ')') return true;
    PushBackToken(code);
    for (;;) {
      if (signature.assignment) return Fail("an Assigns parameter must be the last");
      bool paramArray = false;
      for (code = Next(); code == kByValOrConst || code == kOptional || code == kByRef || code == kParamArray ||
                          code == kAssigns;
           code = Next()) {
        if (code == kByRef) return Fail("ByRef parameters cannot be called from compiled code");
        paramArray |= code == kParamArray;
        signature.assignment |= code == kAssigns;
      }
      if (code != kTokenIdentifier) return Fail("expected a parameter name");
      int32_t dimensions = paramArray ? 1 : 0;
      if ((code = Next()) == '(') {
        for (dimensions = 1; (code = Next()) == ','; ++dimensions) {
        }
        if (code != ')' || paramArray) return Fail("a parameter array is written name() As type");
        code = Next();
      }
      TypeCode type;
      if (code != kAs) return Fail("expected As and the parameter's type");
      if (!Type(type)) return false;
      if ((code = Next()) == '=') {
        std::string value;
        TypeKind literal = Literal(value);
        if (literal == TypeKind::kNone) return Fail("expected a literal default value");
        // A class (Variant among them) takes what converts to it; a value type only what it holds.
        if (dimensions == 0 && type.kind != TypeKind::kObject && !ConstantFits(type.kind, literal, value))
          return Fail("the default value " + value + " does not fit the parameter's type");
        code = Next();
      }
      if (dimensions > 0) {
        TypeCode element = type;
        type = {TypeKind::kArray, element.className, dimensions, element.kind};
      }
      signature.parameters.push_back(type);
      if (code == ')') return true;
      if (code != ',') return Fail("expected , or )");
    }
  }

  bool End() { return Next() == kTokenEnd || Fail("unexpected text after the declaration"); }

 private:
  std::string& mWhy;
};

}  // namespace

namespace {

bool ReadDeclaration(const char* text, const std::string& className, PluginDeclaration& out, std::string& why) {
  out = PluginDeclaration();
  why.clear();
  if (text == nullptr) return why = "no text", false;
  DeclarationReader in(text, why);
  int32_t code = in.Next();
  while (code == kPublic || code == kProtected || code == kPrivate) code = in.Next();
  if (code == kShared) return in.Fail("shared members are not offered to plug-in classes");
  MemberSignature& signature = out.signature;
  const TypeCode self{TypeKind::kObject, className};
  if (code == kSub || code == kFunction || code == kEvent) {
    out.kind = code == kEvent ? DeclarationKind::kEvent : DeclarationKind::kMethod;
    if (!in.Name(signature.name, code == kEvent ? "event" : "method")) return false;
    signature.parameters.push_back(self);
    int32_t next = in.Next();
    if (next == '(') {
      if (!in.Parameters(signature)) return false;
      next = in.Next();
    }
    if (signature.assignment && (code != kSub)) return in.Fail("only a Sub takes an Assigns parameter");
    if (code == kSub) return next == kTokenEnd || in.Fail("unexpected text after the declaration");
    if (next != kAs) {
      if (code == kEvent && next == kTokenEnd) return true;
      return in.Fail("expected As and the result type");
    }
    return in.Type(signature.result) && in.End();
  }
  if (in.IsWord(code, "Property")) {
    out.kind = DeclarationKind::kProperty;
    return in.Name(signature.name, "property") && in.Expect(kAs, "As and the property's type") &&
           in.Type(signature.result) && in.End();
  }
  if (code == kByValOrConst && SameName(in.Text(), "Const")) {
    out.kind = DeclarationKind::kConstant;
    if (!in.Name(signature.name, "constant")) return false;
    code = in.Next();
    bool typed = code == kAs;
    if (typed) {
      if (!in.Type(signature.result)) return false;
      code = in.Next();
    }
    if (code != '=') return in.Fail("expected = and the constant's value");
    TypeKind literal = in.Literal(out.constantValue);
    if (literal == TypeKind::kNone) return in.Fail("expected a literal value");
    if (!typed) signature.result.kind = literal;
    if (!ConstantFits(signature.result.kind, literal, out.constantValue)) {
      return in.Fail("the value " + out.constantValue + " does not fit the constant's type");
    }
    return in.End();
  }
  return in.Fail("expected Sub, Function, Property, Event or Const");
}

}  // namespace

bool ParsePluginDeclaration(const char* text, const std::string& className, PluginDeclaration& out,
                            std::string& why) {
  if (!ReadDeclaration(text, className, out, why)) return false;
  // The signature is kept as text and read back when the class is built: what that text cannot
  // hold (an array of more dimensions than it counts) is refused here rather than lost there.
  const std::optional<MemberSignature> again = ParseMemberSignature(PrintMemberSignature(out.signature));
  if (again && *again == out.signature) return true;
  why = "the declaration does not fit a member signature";
  return false;
}

}  // namespace vorn
