// The PopupMenu and ComboBox entry points: each works on the pane once CreatePane has made
// it, and on the object's stored values before.
#include "controls/popup_class.h"
#include "controls/popup_pane.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {
namespace {

// The pane, with an OutOfBoundsException for an index outside its rows; nil for both.
PopupMenu* PaneForRow(RuntimeObject* object, int32_t index) {
  PopupMenu* pane = PopupPaneOf(object);
  if (!pane) return nullptr;
  if (index < 0 || index >= pane->Count()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return pane;
}

// Before the window opens: the waiting row at the index, with an OutOfBoundsException when
// there is none; nil also for an object that is no popup.
PendingPopupRow* PendingRow(RuntimeObject* object, int32_t index) {
  if (!AsPopup(object) || PopupPaneOf(object)) return nullptr;
  PendingPopupRows& rows = PendingRows(object);
  if (index < 0 || index >= static_cast<int32_t>(rows.size())) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return &rows[static_cast<size_t>(index)];
}

// Rows waiting for the pane of a popup whose window is not open; nil otherwise.
PendingPopupRows* WaitingRows(RuntimeObject* object) {
  return AsPopup(object) && !PopupPaneOf(object) ? &PendingRows(object) : nullptr;
}

// Stores a changed style field in the object and in the pane's style, then restyles.
template <typename Apply>
void ChangeStyle(RuntimeObject* object, Apply apply) {
  if (!object) {
    RuntimeRaiseNilObjectException();
    return;
  }
  PopupMenuObject* self = AsPopup(object);
  if (!self) return;
  PopupMenu* pane = PopupPaneOf(object);
  TextStyle fields;
  apply(self, pane ? &pane->Style() : &fields);
  if (pane) pane->ApplyTextStyle();
}

const TextStyle* PaneStyle(RuntimeObject* object) {
  PopupMenu* pane = PopupPaneOf(object);
  return pane ? &pane->Style() : nullptr;
}

}  // namespace
}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeComboBoxEmpty(VornRuntimeObject* object) {
  if (PopupMenu* pane = PopupPaneOf(object)) pane->DeleteAllRows();
  ReleasePendingRows(object);
}

void RuntimeComboBoxAddRow(VornRuntimeObject* object, VornStringRecord* text) {
  if (PopupMenu* pane = PopupPaneOf(object)) {
    pane->AddRow(string::Share(text), nullptr);
  } else if (PendingPopupRows* rows = WaitingRows(object)) {
    rows->push_back({string::Share(text)});
  }
}

void RuntimeComboBoxAddSeparator(VornRuntimeObject* object) {
  if (PopupMenu* pane = PopupPaneOf(object)) {
    pane->AddSeparator();
  } else if (PendingPopupRows* rows = WaitingRows(object)) {
    rows->push_back({string(), nullptr, true});
  }
}

void RuntimeComboBoxRemoveRow(VornRuntimeObject* object, int32_t index) {
  if (PopupMenu* pane = PaneForRow(object, index)) {
    pane->RemoveRow(index);
  } else if (PendingPopupRow* row = PendingRow(object, index)) {
    RuntimeUnlockObject(row->tag);
    PendingPopupRows& rows = PendingRows(object);
    rows.erase(rows.begin() + index);
  }
}

VornStringRecord* RuntimeComboBoxGetRow(VornRuntimeObject* object, int32_t index) {
  if (PopupMenu* pane = PaneForRow(object, index)) return pane->GetRowText(index).GetRetainedRep();
  PendingPopupRow* row = PendingRow(object, index);
  return row ? row->text.GetRetainedRep() : nullptr;
}

void RuntimeComboBoxInsertRow(VornRuntimeObject* object, int32_t row, VornStringRecord* text) {
  if (PopupMenu* pane = PopupPaneOf(object)) {
    pane->InsertRow(row, string::Share(text), nullptr);
  } else if (PendingPopupRows* rows = WaitingRows(object)) {
    // As on the pane: not range-checked, an index outside the rows appends.
    const bool inside = row >= 0 && row <= static_cast<int32_t>(rows->size());
    rows->insert(inside ? rows->begin() + row : rows->end(), PendingPopupRow{string::Share(text)});
  }
}

VornStringRecord* RuntimeComboBoxGetString(VornRuntimeObject* object) { return RuntimeComboBoxTextGetter(object, 0); }

VornRuntimeObject* getPopupRowTag(VornRuntimeObject* object, int32_t index) {
  RuntimeObject* tag = nullptr;
  if (PopupMenu* pane = PaneForRow(object, index)) {
    tag = pane->GetRowTag(index);
  } else if (PendingPopupRow* row = PendingRow(object, index)) {
    tag = row->tag;
  }
  RuntimeLockObject(tag);
  return tag;
}

void setPopupRowTag(VornRuntimeObject* object, int32_t index, VornRuntimeObject* tag) {
  if (PopupMenu* pane = PaneForRow(object, index)) {
    pane->SetRowTag(index, tag);
  } else if (PendingPopupRow* row = PendingRow(object, index)) {
    RuntimeLockUnlockObjects(tag, row->tag);
    row->tag = tag;
  }
}

int32_t RuntimeComboBoxCountGetter(VornRuntimeObject* object, int32_t) {
  if (PopupMenu* pane = PopupPaneOf(object)) return pane->Count();
  PopupMenuObject* self = AsPopup(object);
  return self && self->pendingRows ? static_cast<int32_t>(self->pendingRows->size()) : 0;
}

int32_t RuntimeComboBoxSelectionGetter(VornRuntimeObject* object, int32_t) {
  PopupMenu* pane = PopupPaneOf(object);
  return pane ? pane->GetListIndex() : -1;
}

void RuntimeComboBoxSelectionSetter(VornRuntimeObject* object, int32_t, int32_t index) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) {
    if (!object) RuntimeRaiseNilObjectException();
    return;
  }
  if (PopupMenu* pane = PopupPaneOf(object)) {
    pane->SetListIndex(index, true);
  } else {
    self->pendingIndex = index;
  }
}

VornStringRecord* RuntimeComboBoxTextGetter(VornRuntimeObject* object, int32_t) {
  PopupMenu* pane = PopupPaneOf(object);
  return pane ? pane->GetText().GetRetainedRep() : nullptr;
}

void RuntimeComboBoxTextSetter(VornRuntimeObject* object, int32_t, VornStringRecord* text) {
  if (PopupMenu* pane = PopupPaneOf(object)) pane->SetText(string::Share(text));
}

VornStringRecord* RuntimeComboBoxTextFontGetter(VornRuntimeObject* object, int32_t) {
  if (const TextStyle* style = PaneStyle(object)) return style->mFontName.GetRetainedRep();
  PopupMenuObject* self = AsPopup(object);
  if (!self) return nullptr;
  RetainStringRep(self->textFont);
  return self->textFont;
}

void RuntimeComboBoxTextFontSetter(VornRuntimeObject* object, int32_t, VornStringRecord* font) {
  ChangeStyle(object, [font](PopupMenuObject* self, TextStyle* style) {
    RetainStringRep(font);
    ReleaseStringRep(self->textFont);
    self->textFont = font;
    style->mFontName = string::Share(font);
  });
}

int32_t RuntimeComboBoxTextSizeGetter(VornRuntimeObject* object, int32_t) {
  if (const TextStyle* style = PaneStyle(object)) return style->mSize;
  return AsPopup(object) ? AsPopup(object)->textSize : 0;
}

void RuntimeComboBoxTextSizeSetter(VornRuntimeObject* object, int32_t, int32_t size) {
  ChangeStyle(object, [size](PopupMenuObject* self, TextStyle* style) {
    self->textSize = static_cast<int16_t>(size);
    style->mSize = static_cast<int16_t>(size);
  });
}

#define VORN_POPUP_STYLE_FLAG(Name, field, member)                                              \
  uint8_t RuntimeComboBox##Name##Getter(VornRuntimeObject* object, int32_t) {                   \
    if (const TextStyle* style = PaneStyle(object)) return style->member;                       \
    return AsPopup(object) ? AsPopup(object)->field : 0;                                        \
  }                                                                                             \
  void RuntimeComboBox##Name##Setter(VornRuntimeObject* object, int32_t, uint8_t value) {       \
    ChangeStyle(object, [value](PopupMenuObject* self, TextStyle* style) {                      \
      self->field = value != 0;                                                                 \
      style->member = value != 0;                                                               \
    });                                                                                         \
  }

VORN_POPUP_STYLE_FLAG(Bold, bold, mBold)
VORN_POPUP_STYLE_FLAG(Italic, italic, mItalic)
VORN_POPUP_STYLE_FLAG(Underline, underline, mUnderline)
#undef VORN_POPUP_STYLE_FLAG

void RuntimeComboBoxAutoCompleteSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  PopupMenuObject* self = AsPopup(object);
  if (!self) {
    if (!object) RuntimeRaiseNilObjectException();
    return;
  }
  self->autoComplete = value != 0;
  if (PopupMenu* pane = PopupPaneOf(object)) pane->SetAutoComplete(value != 0);
}

int32_t RuntimeComboBoxSelStartGetter(VornRuntimeObject* object, int32_t) {
  PopupMenu* pane = PopupPaneOf(object);
  return pane ? pane->GetSelStart() : 0;
}

void RuntimeComboBoxSelStartSetter(VornRuntimeObject* object, int32_t, int32_t start) {
  if (PopupMenu* pane = PopupPaneOf(object)) pane->SetSelStart(start);
}

int32_t RuntimeComboBoxSelLengthGetter(VornRuntimeObject* object, int32_t) {
  PopupMenu* pane = PopupPaneOf(object);
  return pane ? pane->GetSelLength() : 0;
}

void RuntimeComboBoxSelLengthSetter(VornRuntimeObject* object, int32_t, int32_t length) {
  if (PopupMenu* pane = PopupPaneOf(object)) pane->SetSelLength(length);
}

}  // extern "C"
