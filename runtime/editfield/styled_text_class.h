// The language's styled-text classes: StyledText (runs and paragraphs over a
// StyledTextDelegate: its own run store, or a styled field's pane), StyleRun (one run's text
// and attributes), Range (start, end, length in characters) and Paragraph (a Range with an
// alignment).
#pragma once

#include <cstdint>

#include "editfield/styled_text_base_imp.h"
#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

struct StyledTextObject {
  VornRuntimeObject header;
  StyledTextDelegate* delegate;  // nil once detached from a closed field
  uint8_t ownsDelegate;          // the delegate is a run store made for this object
};

struct StyleRunObject {
  VornRuntimeObject header;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  uint32_t textColor;
  StringRep* font;  // retained
  int32_t size;
  StringRep* text;  // retained
};

struct RangeObject {
  VornRuntimeObject header;
  int32_t startPos;
  int32_t endPos;  // filled by whoever makes the range; the EndPos property computes it
  int32_t length;
};

struct ParagraphObject {
  RangeObject range;
  int32_t alignment;
};

ObjectDefinition* GetStyledTextClassDefinition();
ObjectDefinition* GetStyleRunClassDefinition();
ObjectDefinition* GetRangeClassDefinition();
ObjectDefinition* GetParagraphClassDefinition();
// StyledText, StyleRun, Paragraph and Range, in that order.
void RegisterStyledTextClasses();

// The object as one of these classes; nil for nil or anything else.
StyledTextObject* AsStyledTextObject(RuntimeObject* object);
StyleRunObject* AsStyleRunObject(RuntimeObject* object);

// A new StyleRun holding the run (one reference for the caller); nil when it cannot be made.
RuntimeObject* NewStyleRunObject(const StyleRunData& run);
StyleRunData StyleRunDataOf(const StyleRunObject* run);
// A new Range with EndPos = start + length.
RuntimeObject* NewRangeObject(int32_t start, int32_t length);

// A StyledText over a field's own text: the object does not own the delegate.
RuntimeObject* NewAttachedStyledText(StyledTextDelegate* delegate);
// The object answers nothing and ignores every change from now on.
void DetachStyledText(RuntimeObject* styledText);

// Paragraphs of a text whose line endings are single carriage returns: one or more carriage
// returns separate two paragraphs.
struct ParagraphSpan {
  int32_t start = 0;
  int32_t end = 0;
};
int32_t ParagraphCountOf(std::string_view text);
// The paragraph with that index, counted from 0; an index past the last gives the last.
ParagraphSpan ParagraphAt(std::string_view text, int32_t index);

}  // namespace vorn
