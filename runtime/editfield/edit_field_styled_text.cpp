// The EditField's StyledText property: the object a styled field hands out over its own text.
#include <vector>

#include "editfield/edit_field_class.h"
#include "editfield/styled_text_class.h"
#include "vorn/editfield_api.h"
#include "vorn/styled_text_api.h"

using namespace vorn;

extern "C" {

VornRuntimeObject* StyledTextObjectGetter(VornRuntimeObject* ctl, int32_t) {
  EditFieldObject* f = AsEditFieldObject(ctl);
  if (!f) return nullptr;
  RuntimeLockObject(f->styledText);
  return f->styledText;
}

void StyledTextObjectSetter(VornRuntimeObject* ctl, int32_t, VornRuntimeObject* value) {
  EditFieldObject* f = AsEditFieldObject(ctl);
  if (!f || value == f->styledText || !f->styled) return;
  StyledTextObject* given = AsStyledTextObject(value);
  EditControl* pane = EditFieldPane(f);
  if (!given || !given->delegate || !pane) return;

  // Copied out first: the given object may speak for this very pane, whose text goes below.
  RuntimeLockObject(value);
  std::vector<RuntimeObject*> runs;
  for (int32_t i = 0, count = StyledTextRunCountGetter(value, 0); i < count; ++i) {
    runs.push_back(StyledTextRunGetter(value, i));
  }
  std::vector<int32_t> alignments;
  for (int32_t i = 0, count = StyledTextParagraphCountGetter(value, 0); i < count; ++i) {
    RuntimeObject* paragraph = StyledTextParagraphGetter(value, i);
    alignments.push_back(paragraph ? reinterpret_cast<ParagraphObject*>(paragraph)->alignment : 0);
    RuntimeUnlockObject(paragraph);
  }

  AttachEditFieldStyledText(f, pane);
  pane->SetText(string("", 0, kEncodingUTF8));
  for (RuntimeObject* run : runs) {
    if (run) AppendStyledTextRun(f->styledText, run);
    RuntimeUnlockObject(run);
  }
  for (size_t i = 0; i < alignments.size(); ++i) {
    StyledTextSetAlignment(f->styledText, static_cast<int32_t>(i), alignments[i]);
  }
  pane->Refresh();
  RuntimeUnlockObject(value);
}

}  // extern "C"
