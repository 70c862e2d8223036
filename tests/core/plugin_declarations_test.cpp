// Plug-in member declarations read through the declaration tokenizer into member signatures.
#include "core/plugin_declarations.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

TEST(PluginDeclarations, TextsBecomeTheSignaturesOfClassRecords) {
  struct Case {
    const char* text;
    DeclarationKind kind;
    const char* signature;
  } cases[] = {
      {"Function Speed(x As Integer) As Double", DeclarationKind::kMethod, "Speed%f8%o<Dial>i4"},
      {"sub reset", DeclarationKind::kMethod, "reset%%o<Dial>"},
      {"Public Sub Reset()", DeclarationKind::kMethod, "Reset%%o<Dial>"},
      {"Sub Top(ByVal a As Short, Assigns v As UInteger)", DeclarationKind::kMethod, "=Top%%o<Dial>i2u4"},
      {"Function Pick(items() As String, grid(,) As Dial) As Dial", DeclarationKind::kMethod,
       "Pick%o<Dial>%o<Dial>A1sA2o<Dial>"},
      {"Sub Add(ParamArray values As Double)", DeclarationKind::kMethod, "Add%%o<Dial>A1f8"},
      {"Sub Paint(g As Graphics, Optional c As Color = &c00FF00, p As Ptr, o As Object)", DeclarationKind::kMethod,
       "Paint%%o<Dial>o<Graphics>cpo<Object>"},
      {"Function Ok(Optional b As Boolean = True, s As Single = -1.5) As String // note", DeclarationKind::kMethod,
       "Ok%s%o<Dial>bf4"},
      {"Property Level As Integer", DeclarationKind::kProperty, "Level%i4%"},
      {"Property Caption As String ' shown", DeclarationKind::kProperty, "Caption%s%"},
      {"Event Turned(steps As Integer, why As String)", DeclarationKind::kEvent, "Turned%%o<Dial>i4s"},
      {"Event Closing() As Boolean", DeclarationKind::kEvent, "Closing%b%o<Dial>"},
      {"Const Limit = &H10", DeclarationKind::kConstant, "Limit%i4%"},
      {"Const Name As String = \"a \"\"b\"\"\"", DeclarationKind::kConstant, "Name%s%"},
      {"Const Low As Double = -2.5", DeclarationKind::kConstant, "Low%f8%"},
      {"Const Tint = &C00FF00FF", DeclarationKind::kConstant, "Tint%c%"},
  };
  for (const Case& c : cases) {
    PluginDeclaration parsed;
    std::string why;
    ASSERT_TRUE(ParsePluginDeclaration(c.text, "Dial", parsed, why)) << c.text << ": " << why;
    EXPECT_EQ(parsed.kind, c.kind) << c.text;
    EXPECT_EQ(PrintMemberSignature(parsed.signature), c.signature) << c.text;
    EXPECT_TRUE(parsed.signature.name != "Name" || parsed.constantValue == "\"a \"b\"\"") << parsed.constantValue;
  }
}

TEST(PluginDeclarations, BadTextsAreRefusedWithTheReason) {
  struct Case {
    const char* text;
    const char* why;
    const char* className = "Dial";
  } cases[] = {
      {nullptr, "no text"},
      {"", "expected Sub, Function"},
      {"Dim x As Integer", "expected Sub, Function"},
      {"Function Speed(x As Integer)", "expected As and the result type"},
      {"Function Speed(x As Integer) As", "expected a type"},
      {"Function (x As Integer) As Double", "expected the name of the method"},
      {"Function Speed(x) As Double", "expected As and the parameter's type"},
      {"Function Speed(x As Integer As Double", "expected , or )"},
      {"Function S(d(,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,) As Long) As Double", "does not fit a member signature"},
      {"Function Speed(x As Integer,) As Double", "expected a parameter name"},
      {"Sub Swap(ByRef a As Integer)", "ByRef"},
      {"Sub Top(Assigns v As Integer, w As Integer)", "Assigns parameter must be the last"},
      {"Function Top(Assigns v As Integer) As Integer", "only a Sub"},
      {"Sub Go(ParamArray v() As Integer)", "parameter array"},
      {"Sub Go(Optional v As Integer = )", "literal default"},
      {"Sub Go() Extra", "unexpected text"},
      {"Property Level", "expected As"},
      {"Property Level As Integer = 3", "unexpected text"},
      {"Shared Function Now() As Double", "shared members"},
      {"Const Limit", "expected = and the constant's value"},
      {"Const Limit = \"open", "expected a literal"},
      {"Const Limit As Integer = \"ten\"", "does not fit"},
      {"Const Limit As String = 10", "does not fit"},
      {"Const Limit As Dial = 1", "does not fit"},
      {"#if TargetLinux", "expected Sub, Function"},
      {"Sub ~Dial()", "holds a character names cannot"},
      {"Property Owner As ~Window", "holds a character names cannot"},
      // The class's own name reads back as three parameters.
      {"Sub Reset", "does not fit a member signature", "Dial>i4o<Knob"},
  };
  for (const Case& c : cases) {
    PluginDeclaration parsed;
    std::string why;
    EXPECT_FALSE(ParsePluginDeclaration(c.text, c.className, parsed, why)) << (c.text ? c.text : "nil");
    EXPECT_NE(why.find(c.why), std::string::npos) << (c.text ? c.text : "nil") << ": " << why;
  }
}

// A constant is registered only with a value its type holds, its text what is answered; so is
// a parameter's default value.
TEST(PluginDeclarations, AConstantOrADefaultTakesOnlyAValueItsTypeHolds) {
  struct Case {
    const char* text;
    bool fits;
  } cases[] = {
      {"Const C As Boolean = True", true},          {"Const C As Boolean = 5", false},
      {"Const C As Integer = 2147483647", true},    {"Const C As Integer = 2147483648", false},
      {"Const C As Integer = -2147483648", true},   {"Const C As Integer = 99999999999", false},
      {"Const C As Integer = &HFFFFFFFF", true},    {"Const C As Integer = &H100000000", false},
      {"Const C As Integer = 1.5", false},          {"Const C = &HFFFFFFFFF", false},
      {"Const C As Short = -32768", true},          {"Const C As Short = 32768", false},
      {"Const C As UInteger = 4294967295", true},   {"Const C As UInteger = -1", false},
      {"Const C As Color = &cFF00FF80", true},      {"Const C As Color = &cFF00FF8", false},
      {"Const C As Color = &cFF00FF8000", false},   {"Const C As Color = 1.5", false},
      {"Const C As Color = &HFF0000", true},        {"Const C As Single = 3e38", true},
      {"Const C As Single = 4e38", false},          {"Const C As Double = 5", true},
      {"Const C As Single = -3.4028235e38", true},  {"Const C As Single = 1e-50", true},
      {"Const C As Single = 3.40282356779733661637539395458142568447e38", true},
      {"Const C As Single = 3.40282356779733661637539395458142568448e38", false},
      {"Const C = 1e999", false},                   {"Const C As Double = \"5\"", false},
      {"Const C As Double = &H", false},            {"Const C As Double = &O", false},
      {"Const C As Double = &B", false},            {"Const C As Double = 1e", false},
      {"Const C As Single = -1e", false},           {"Const C As Double = &HFF", true},
      {"Const C = 1e", false},                      {"Const C As Double = 1.", true},
      {"Const K As Color = &c", false},             {"Const K = &c", false},
      {"Const K As Color = &c0", true},             {"Const C As Integer = &H", false},
      {"Sub S(x As Integer = 99999999999)", false}, {"Sub S(x As Integer = 2147483647)", true},
      {"Sub S(Optional c As Color = &c)", false},   {"Sub S(d As Double = 1e, e As Integer)", false},
      {"Sub S(s As String = 5)", false},            {"Sub S(v As Variant = 5)", true},
  };
  for (const Case& c : cases) {
    PluginDeclaration parsed;
    std::string why;
    EXPECT_EQ(ParsePluginDeclaration(c.text, "Dial", parsed, why), c.fits) << c.text << ": " << why;
    if (!c.fits) {
      const char* type = c.text[0] == 'S' ? "does not fit the parameter's type" : "does not fit the constant's type";
      EXPECT_NE(why.find(type), std::string::npos) << c.text << ": " << why;
    }
  }
}

}  // namespace
}  // namespace vorn
