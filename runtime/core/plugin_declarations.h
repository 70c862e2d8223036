// Plug-in members described in the language's own declaration syntax, read through the
// declaration tokenizer and turned into the member signatures of class records:
//
//   Function Speed(x As Integer) As Double     "Speed%f8%o<Class>i4"
//   Sub Reset()                                "Reset%%o<Class>"
//   Sub Value(Assigns v As Integer)            "=Value%%o<Class>i4"
//   Property Level As Integer                  "Level%i4%"
//   Event Changed(value As Integer)            "Changed%%o<Class>i4"
//   Const Limit = &H10                         a constant named Limit
#pragma once

#include <string>

#include "objects/signature.h"

namespace vorn {

enum class DeclarationKind { kMethod, kProperty, kEvent, kConstant };

struct PluginDeclaration {
  DeclarationKind kind = DeclarationKind::kMethod;
  MemberSignature signature;  // the constant's name and type for a constant
  std::string constantValue;  // a constant's literal as written ("&H10", "\"text\"", "-2.5", "True")
};

// Reads one declaration of a member of `className`; false with the reason in `why`.
bool ParsePluginDeclaration(const char* text, const std::string& className, PluginDeclaration& out,
                            std::string& why);

}  // namespace vorn
