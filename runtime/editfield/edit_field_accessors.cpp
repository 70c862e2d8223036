// The EditField's properties and methods as compiled code calls them. Settings are stored in
// the object first and applied to the pane when there is one.
#include "controls/control_support.h"
#include "editfield/edit_field_class.h"
#include "editfield/edit_router.h"
#include "editfield/edit_text_model.h"
#include "vorn/editfield_api.h"
#include "windows/pane_focus.h"

using namespace vorn;

namespace {

EditFieldObject* Field(VornRuntimeObject* ctl) { return AsEditFieldObject(ctl); }
EditControl* PaneOf(VornRuntimeObject* ctl) { return EditFieldPane(AsEditFieldObject(ctl)); }

StringRep* Retained(const string& s) { return s.GetRetainedRep(); }

StringRep* RetainedField(StringRep* rep) {
  RetainStringRep(rep);
  return rep;
}

void ApplyStyle(EditFieldObject* f) {
  if (EditControl* pane = EditFieldPane(f)) {
    pane->SetTextStyle(GetControlTextStyle({&f->textFont, &f->textSize, &f->bold, &f->italic, &f->underline}));
  }
}

void SetStyleByte(VornRuntimeObject* ctl, uint8_t EditFieldObject::*member, uint8_t value) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->*member = value ? 1 : 0;
  ApplyStyle(f);
}

uint8_t SelStyle(VornRuntimeObject* ctl, EditSelStyle style) {
  EditControl* pane = PaneOf(ctl);
  return pane && pane->GetSelStyle(style) ? 1 : 0;
}

void SetSelStyle(VornRuntimeObject* ctl, EditSelStyle style, uint8_t value) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelStyle(style, value != 0);
}

void ToggleSelStyle(VornRuntimeObject* ctl, EditSelStyle style) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelStyle(style, !pane->GetSelStyle(style));
}

// Whether the displayed text is the formatted one, so that the object holds the text as typed.
bool ShowsFormat(EditFieldObject* f, EditControl* pane) {
  return f->format && f->format->length > 0 && GetFocusPane() != pane;
}

}  // namespace

extern "C" {

// --- text ------------------------------------------------------------------------------------

VornStringRecord* editTextGetter(VornRuntimeObject* ctl, int32_t) {
  EditFieldObject* f = Field(ctl);
  if (!f) return nullptr;
  EditControl* pane = EditFieldPane(f);
  if (!pane || ShowsFormat(f, pane)) return RetainedField(f->text);
  return Retained(pane->GetText(kEncodingUTF8));
}

void editTextSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* text) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  ReplaceStringRep(f->text, text);
  if (EditControl* pane = EditFieldPane(f)) pane->SetText(string::Share(f->text));
}

void editSetString(VornRuntimeObject* ctl, VornStringRecord* text) {
  EditFieldObject* f = Field(ctl);
  EditControl* pane = EditFieldPane(f);
  if (!pane) {
    if (f) ReplaceStringRep(f->text, text);
    return;
  }
  if (!ShowsFormat(f, pane)) {
    pane->SetText(string::Share(text));
    return;
  }
  // The pane may already show this very text as the format of the old number, and then tells
  // of no change: the field takes the new text itself and shows its format.
  ReplaceStringRep(f->text, text);
  pane->SetText(string::Share(text));
  DisplayEditFormat(f);
}

VornStringRecord* editTextStyleDataGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? Retained(pane->GetTextStyleData()) : nullptr;
}

void editSetTextAndStyle(VornRuntimeObject* ctl, VornStringRecord* text, VornStringRecord* style) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetTextAndStyle(string::Share(text), string::Share(style));
}

void editAppendText(VornRuntimeObject* ctl, VornStringRecord* text) {
  EditFieldObject* f = Field(ctl);
  EditControl* pane = EditFieldPane(f);
  if (!pane || !text || text->length == 0) return;
  string added = string::Share(text).ToUTF8();
  int32_t addedLength = UTF8CharacterCount(added.View());
  int32_t firstLine = pane->GetScrollPosition();
  bool endVisible = pane->IsEndVisible();
  AppendPlan plan = PlanAppend(pane->GetTextLength(), pane->GetSelStart(), pane->GetSelLength(), f->limitText,
                               addedLength);
  if (plan.dropFromText > 0) {
    pane->SetSelection(0, plan.dropFromText);
    pane->SetSelText(string("", 0, kEncodingUTF8));
  }
  if (plan.dropFromAppend > 0) {
    int32_t skip = UTF8ByteOffsetOfCharacter(added.View(), plan.dropFromAppend);
    added = added.MidToEnd(skip);
  }
  pane->SetSelStart(0x7FFFFFFF);
  pane->SetSelText(added);
  if (plan.restoreSelection) pane->SetSelection(plan.selStart, plan.selStart + plan.selLength);
  if (endVisible) {
    pane->SetSelStart(0x7FFFFFFF);
  } else {
    pane->SetScrollPosition(firstLine);
  }
}

// --- settings kept in the object ---------------------------------------------------------------

uint8_t editBorderGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->border : 0; }

// Border, MultiLine and the scroll bars decide the widgets a pane is made of: a pane that
// exists keeps what it was made with.
void editBorderSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  if (EditFieldObject* f = Field(ctl)) f->border = value ? 1 : 0;
}

uint8_t editMultiLineGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->multiLine : 0; }

void editMultiLineSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  if (EditFieldObject* f = Field(ctl)) f->multiLine = value ? 1 : 0;
}

uint8_t editScrollBarGetter(VornRuntimeObject* ctl, int32_t) {
  return Field(ctl) ? Field(ctl)->scrollBarVertical : 0;
}

void editScrollBarSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  if (EditFieldObject* f = Field(ctl)) f->scrollBarVertical = value ? 1 : 0;
}

uint8_t editReadOnlyGetter(VornRuntimeObject* ctl, int32_t) {
  EditFieldObject* f = Field(ctl);
  if (!f) return 0;
  EditControl* pane = EditFieldPane(f);
  return pane ? (pane->IsReadOnly() ? 1 : 0) : f->readOnly;
}

void editReadOnlySetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->readOnly = value ? 1 : 0;
  if (EditControl* pane = EditFieldPane(f)) pane->SetReadOnly(f->readOnly != 0);
}

uint8_t editPasswordGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->password : 0; }

void editPasswordSetter(VornRuntimeObject* ctl, int32_t, uint8_t value) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->password = value ? 1 : 0;
  if (EditControl* pane = EditFieldPane(f)) pane->SetPassword(f->password != 0);
}

int32_t editLimitTextGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->limitText : 0; }

void editLimitTextSetter(VornRuntimeObject* ctl, int32_t, int32_t limit) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->limitText = limit < 0 ? 0 : limit;
  if (EditControl* pane = EditFieldPane(f)) pane->SetLimitText(f->limitText);
}

void editTextColorSetter(VornRuntimeObject* ctl, int32_t, uint32_t color) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->textColor = color;
  if (EditControl* pane = EditFieldPane(f)) pane->SetTextColor(ColorToRGB48(color));
}

void editBackColorSetter(VornRuntimeObject* ctl, int32_t, uint32_t color) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->backColor = color;
  if (EditControl* pane = EditFieldPane(f)) pane->SetBackColor(ColorToRGB48(color));
}

VornStringRecord* editTextFontGetter(VornRuntimeObject* ctl, int32_t) {
  return Field(ctl) ? RetainedField(Field(ctl)->textFont) : nullptr;
}

void editTextFontSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* font) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  ReplaceStringRep(f->textFont, font);
  ApplyStyle(f);
}

int32_t editTextSizeGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->textSize : 0; }

void editTextSizeSetter(VornRuntimeObject* ctl, int32_t, int32_t size) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->textSize = static_cast<int16_t>(size);
  ApplyStyle(f);
}

uint8_t editBoldGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->bold : 0; }
uint8_t editItalicGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->italic : 0; }
uint8_t editUnderlineGetter(VornRuntimeObject* ctl, int32_t) { return Field(ctl) ? Field(ctl)->underline : 0; }
void editBoldSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetStyleByte(ctl, &EditFieldObject::bold, v); }
void editItalicSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetStyleByte(ctl, &EditFieldObject::italic, v); }
void editUnderlineSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) {
  SetStyleByte(ctl, &EditFieldObject::underline, v);
}

VornStringRecord* EditDataSourceGetter(VornRuntimeObject* ctl, int32_t) {
  return Field(ctl) ? RetainedField(Field(ctl)->dataSource) : nullptr;
}

void EditDataSourceSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  ReplaceStringRep(f->dataSource, name);
  EditControl* pane = EditFieldPane(f);
  if (!pane) return;
  pane->UnbindDataSource();
  pane->SetDataSourceName(string::Share(f->dataSource));
  pane->BindDataSource();
}

void EditDataFieldSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* name) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  ReplaceStringRep(f->dataField, name);
  if (EditControl* pane = EditFieldPane(f)) pane->BindDataSource();
}

void EditAlignmentSetter(VornRuntimeObject* ctl, int32_t, int32_t alignment) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  f->alignment = alignment;
  if (EditControl* pane = EditFieldPane(f)) pane->SetAlignment(alignment);
}

int32_t EditSelAlignmentGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetSelAlignment() : 0;
}

void EditSelAlignmentSetter(VornRuntimeObject* ctl, int32_t, int32_t alignment) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelAlignment(alignment);
}

void EditMaskSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* mask) {
  EditFieldObject* f = Field(ctl);
  if (!f) return;
  ReplaceStringRep(f->mask, mask);
  // The text is matched against the new mask at once.
  EditControl* pane = EditFieldPane(f);
  if (pane && f->router) f->router->ApplyMaskToText(pane);
}

// --- selection ---------------------------------------------------------------------------------

int32_t editSelStartGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetSelStart() : 0;
}

void editSelStartSetter(VornRuntimeObject* ctl, int32_t, int32_t start) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelStart(start);
}

int32_t editSelLengthGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetSelLength() : 0;
}

void editSelLengthSetter(VornRuntimeObject* ctl, int32_t, int32_t length) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelLength(length);
}

VornStringRecord* editSelTextGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? Retained(pane->GetSelText(kEncodingUTF8)) : nullptr;
}

void editSelTextSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* text) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelText(string::Share(text));
}

void editSelectAll(VornRuntimeObject* ctl) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelection(0, pane->GetTextLength());
}

void editCopyToClipboard(VornRuntimeObject* ctl) {
  if (EditControl* pane = PaneOf(ctl)) pane->Copy();
}

VornRuntimeObject* editStyleTextPrinter(VornRuntimeObject* ctl, VornRuntimeObject* graphics, int32_t width) {
  EditControl* pane = PaneOf(ctl);
  return pane && graphics ? pane->NewStyledTextPrinter(graphics, width) : nullptr;
}

void editPasteFromClipboard(VornRuntimeObject* ctl) {
  if (EditControl* pane = PaneOf(ctl)) pane->Paste();
}

// --- selection styles --------------------------------------------------------------------------

uint8_t editSelBoldGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelBold); }
uint8_t editSelUnderlineGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelUnderline); }
uint8_t editSelItalicGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelItalic); }
uint8_t editSelOutlineGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelOutline); }
uint8_t editSelShadowGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelShadow); }
uint8_t editSelCondenseGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelCondense); }
uint8_t editSelExtendGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelExtend); }
uint8_t editSelPlainGetter(VornRuntimeObject* ctl, int32_t) { return SelStyle(ctl, kSelPlain); }
void editSelBoldSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelBold, v); }
void editSelUnderlineSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelUnderline, v); }
void editSelItalicSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelItalic, v); }
void editSelOutlineSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelOutline, v); }
void editSelShadowSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelShadow, v); }
void editSelCondenseSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelCondense, v); }
void editSelExtendSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelExtend, v); }
void editSelPlainSetter(VornRuntimeObject* ctl, int32_t, uint8_t v) { SetSelStyle(ctl, kSelPlain, v); }
void editToggleSelectionBold(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelBold); }
void editToggleSelectionUnderline(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelUnderline); }
void editToggleSelectionItalic(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelItalic); }
void editToggleSelectionShadow(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelShadow); }
void editToggleSelectionOutline(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelOutline); }
void editToggleSelectionCondense(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelCondense); }
void editToggleSelectionExtend(VornRuntimeObject* ctl) { ToggleSelStyle(ctl, kSelExtend); }

VornStringRecord* editSelTextFontGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? Retained(pane->GetSelTextFont()) : nullptr;
}

void editSelTextFontSetter(VornRuntimeObject* ctl, int32_t, VornStringRecord* font) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelTextFont(string::Share(font));
}

int32_t editSelTextSizeGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetSelTextSize() : 0;
}

void editSelTextSizeSetter(VornRuntimeObject* ctl, int32_t, int32_t size) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelTextSize(size);
}

uint32_t editSelTextColorGetter(VornRuntimeObject* ctl, int32_t) {
  EditControl* pane = PaneOf(ctl);
  if (!pane) return 0;
  RGB48 c = pane->GetSelTextColor();
  return ColorFromComponents(c.red, c.green, c.blue);
}

void editSelTextColorSetter(VornRuntimeObject* ctl, int32_t, uint32_t color) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetSelTextColor(ColorToRGB48(color));
}

// --- lines and scrolling -----------------------------------------------------------------------

int32_t editScrollPositionGetter(VornRuntimeObject* ctl) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetScrollPosition() : 0;
}

void editScrollPositionSetter(VornRuntimeObject* ctl, int32_t line) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetScrollPosition(line);
}

int32_t EditScrollPositionXGetter(VornRuntimeObject* ctl) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->GetScrollPositionX() : 0;
}

void EditScrollPositionXSetter(VornRuntimeObject* ctl, int32_t pixels) {
  if (EditControl* pane = PaneOf(ctl)) pane->SetScrollPositionX(pixels);
}

int32_t editLineNumAtCharPos(VornRuntimeObject* ctl, int32_t offset) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->LineNumAtCharPos(offset) : 0;
}

int32_t editCharPosAtLineNum(VornRuntimeObject* ctl, int32_t line) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->CharPosAtLineNum(line) : 0;
}

int32_t editCharPosAtXY(VornRuntimeObject* ctl, int32_t x, int32_t y) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->CharPosAtXY(x, y) : 0;
}

int32_t editInsertionPosAtXY(VornRuntimeObject* ctl, int32_t x, int32_t y) {
  EditControl* pane = PaneOf(ctl);
  return pane ? pane->InsertionPosAtXY(x, y) : 0;
}

}  // extern "C"
