// The EditField class definition, its pane's creation, the display of a Format and the
// object's end.
#include "editfield/edit_field_class.h"

#include <cstddef>
#include <utility>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/edit_router.h"
#include "editfield/styled_text_class.h"
#include "objects/runtime_object.h"
#include "strings/format_number.h"
#include "strings/format_reading.h"
#include "vorn/editfield_api.h"
#include "vorn/runtime_math.h"
#include "windows/pane_focus.h"
#include "windows/pane_disposal.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define EF_FIELD(member) FieldOffset(offsetof(EditFieldObject, member))

// Rows with their own accessors, and rows read and written in the object's field.
#define EF_ROW(name, type, getter, setter, member) \
  {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, EF_FIELD(member), 0}
#define EF_READ_ONLY(name, type, getter, member) {0, name, type, Fn(&getter), #getter, nullptr, nullptr, EF_FIELD(member), 0}

const PropertyRow kProperties[] = {
    EF_ROW("Text", "s", editTextGetter, editTextSetter, text),
    EF_READ_ONLY("TextStyleData", "s", editTextStyleDataGetter, text),
    EF_ROW("Border", "b", editBorderGetter, editBorderSetter, border),
    EF_ROW("MultiLine", "b", editMultiLineGetter, editMultiLineSetter, multiLine),
    EF_ROW("ReadOnly", "b", editReadOnlyGetter, editReadOnlySetter, readOnly),
    EF_ROW("Password", "b", editPasswordGetter, editPasswordSetter, password),
    EF_ROW("Styled", "b", boolGetter, boolSetter, styled),
    EF_ROW("AcceptTabs", "b", boolGetter, boolSetter, acceptTabs),
    EF_ROW("TextColor", "c", intGetter, editTextColorSetter, textColor),
    EF_ROW("BackColor", "c", intGetter, editBackColorSetter, backColor),
    EF_ROW("ScrollBarHorizontal", "b", boolGetter, boolSetter, scrollBarHorizontal),
    EF_ROW("ScrollBarVertical", "b", editScrollBarGetter, editScrollBarSetter, scrollBarVertical),
    EF_ROW("ScrollBar", "b", editScrollBarGetter, editScrollBarSetter, scrollBarVertical),
    EF_ROW("TextFont", "s", editTextFontGetter, editTextFontSetter, textFont),
    EF_ROW("TextSize", "i4", editTextSizeGetter, editTextSizeSetter, textSize),
    EF_ROW("Bold", "b", editBoldGetter, editBoldSetter, bold),
    EF_ROW("Italic", "b", editItalicGetter, editItalicSetter, italic),
    EF_ROW("Underline", "b", editUnderlineGetter, editUnderlineSetter, underline),
    EF_ROW("SelStart", "i4", editSelStartGetter, editSelStartSetter, text),
    EF_ROW("SelLength", "i4", editSelLengthGetter, editSelLengthSetter, text),
    EF_ROW("SelText", "s", editSelTextGetter, editSelTextSetter, text),
    EF_ROW("LimitText", "i4", editLimitTextGetter, editLimitTextSetter, limitText),
    EF_ROW("SelBold", "b", editSelBoldGetter, editSelBoldSetter, text),
    EF_ROW("SelUnderline", "b", editSelUnderlineGetter, editSelUnderlineSetter, text),
    EF_ROW("SelItalic", "b", editSelItalicGetter, editSelItalicSetter, text),
    EF_ROW("SelOutline", "b", editSelOutlineGetter, editSelOutlineSetter, text),
    EF_ROW("SelShadow", "b", editSelShadowGetter, editSelShadowSetter, text),
    EF_ROW("SelCondense", "b", editSelCondenseGetter, editSelCondenseSetter, text),
    EF_ROW("SelExtend", "b", editSelExtendGetter, editSelExtendSetter, text),
    EF_ROW("SelPlain", "b", editSelPlainGetter, editSelPlainSetter, text),
    EF_ROW("SelTextFont", "s", editSelTextFontGetter, editSelTextFontSetter, text),
    EF_ROW("SelTextSize", "i4", editSelTextSizeGetter, editSelTextSizeSetter, text),
    EF_ROW("SelTextColor", "c", editSelTextColorGetter, editSelTextColorSetter, text),
    EF_ROW("LiveUpdate", "b", boolGetter, boolSetter, liveUpdate),
    EF_ROW("UseFocusRing", "b", boolGetter, boolSetter, useFocusRing),
    EF_ROW("DataSource", "s", EditDataSourceGetter, EditDataSourceSetter, dataSource),
    EF_ROW("DataField", "s", stringGetter, EditDataFieldSetter, dataField),
    EF_ROW("Alignment", "i4", intGetter, EditAlignmentSetter, alignment),
    EF_ROW("SelAlignment", "i4", EditSelAlignmentGetter, EditSelAlignmentSetter, alignment),
    EF_ROW("Format", "s", stringGetter, stringSetter, format),
    EF_READ_ONLY("FormattedText", "s", stringGetter, formattedText),
    EF_ROW("Mask", "s", stringGetter, EditMaskSetter, mask),
    EF_ROW("StyledText", "o<StyledText>", StyledTextObjectGetter, StyledTextObjectSetter, styledText),
};

#undef EF_ROW
#undef EF_READ_ONLY
#undef EF_FIELD

EventRow sEvents[] = {
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "GotFocus", "", "", nullptr, 0},
    {0, "LostFocus", "", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "SelChange", "", "", nullptr, 0},
    {0, "TextChange", "", "", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
    {0, "ValidationError", "InvalidText As String, StartPosition As Integer", "", nullptr, 0},
};

MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count, void* function,
                 const char* entry, void* setter = nullptr, const char* setterName = nullptr) {
  return MethodRow{name, result, params, count, function, entry, setter, setterName, 0, 0};
}

const ParamRow kTextAndStyleParams[] = {{"text", "s", 0, 0}, {"style", "s", 0, 0}};
const ParamRow kStringParam[] = {{"Str", "s", 0, 0}};
const ParamRow kTextParam[] = {{"text", "s", 0, 0}};
const ParamRow kIntegerParam[] = {{"v", "i4", 0, 0}};
const ParamRow kPointParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}};
const ParamRow kPrinterParams[] = {{"g", "o<Graphics>", 0, 0}, {"width", "i4", 0, 0}};

const EventImplRow kImpl[] = {{"CreatePane", Fn(&EditCreatePane), "EditCreatePane"}};

ObjectDefinition* BuildDefinition() {
  static const MethodRow methods[] = {
      Method("ToggleSelectionBold", "", nullptr, 0, Fn(&editToggleSelectionBold), "editToggleSelectionBold"),
      Method("ToggleSelectionUnderline", "", nullptr, 0, Fn(&editToggleSelectionUnderline),
             "editToggleSelectionUnderline"),
      Method("ToggleSelectionItalic", "", nullptr, 0, Fn(&editToggleSelectionItalic), "editToggleSelectionItalic"),
      Method("ToggleSelectionShadow", "", nullptr, 0, Fn(&editToggleSelectionShadow), "editToggleSelectionShadow"),
      Method("ToggleSelectionOutline", "", nullptr, 0, Fn(&editToggleSelectionOutline),
             "editToggleSelectionOutline"),
      Method("ToggleSelectionCondense", "", nullptr, 0, Fn(&editToggleSelectionCondense),
             "editToggleSelectionCondense"),
      Method("ToggleSelectionExtend", "", nullptr, 0, Fn(&editToggleSelectionExtend), "editToggleSelectionExtend"),
      Method("SetTextAndStyle", "", kTextAndStyleParams, 2, Fn(&editSetTextAndStyle), "editSetTextAndStyle"),
      Method("setString", "", kStringParam, 1, Fn(&editSetString), "editSetString"),
      Method("styledTextPrinter", "o<StyledTextPrinter>", kPrinterParams, 2, Fn(&editStyleTextPrinter),
             "editStyleTextPrinter"),
      Method("ScrollPosition", "i4", nullptr, 0, Fn(&editScrollPositionGetter), "editScrollPositionGetter",
             Fn(&editScrollPositionSetter), "editScrollPositionSetter"),
      Method("ScrollPositionX", "i4", nullptr, 0, Fn(&EditScrollPositionXGetter), "EditScrollPositionXGetter",
             Fn(&EditScrollPositionXSetter), "EditScrollPositionXSetter"),
      Method("LineNumAtCharPos", "i4", kIntegerParam, 1, Fn(&editLineNumAtCharPos), "editLineNumAtCharPos"),
      Method("CharPosAtLineNum", "i4", kIntegerParam, 1, Fn(&editCharPosAtLineNum), "editCharPosAtLineNum"),
      Method("CharPosAtXY", "i4", kPointParams, 2, Fn(&editCharPosAtXY), "editCharPosAtXY"),
      Method("InsertionPosAtXY", "i4", kPointParams, 2, Fn(&editInsertionPosAtXY), "editInsertionPosAtXY"),
      Method("Copy", "", nullptr, 0, Fn(&editCopyToClipboard), "editCopyToClipboard"),
      Method("Paste", "", nullptr, 0, Fn(&editPasteFromClipboard), "editPasteFromClipboard"),
      Method("SelectAll", "", nullptr, 0, Fn(&editSelectAll), "editSelectAll"),
      Method("AppendText", "", kTextParam, 1, Fn(&editAppendText), "editAppendText"),
  };
  auto* definition = new ObjectDefinition();
  definition->mName = string("EditField");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(EditFieldObject));
  definition->mInitializer = {Fn(&RuntimeEditInitializer), "RuntimeEditInitializer"};
  definition->mFinalizer = {Fn(&RuntimeEditDestructor), "RuntimeEditDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetEventList(definition, sEvents, RowCount(sEvents));
  SetMethodList(definition, methods, RowCount(methods));
  definition->AddInterface(GetStringInterfaceDefinition());
  AddEventImplementations(definition, kImpl, RowCount(kImpl));
  return definition;
}

TextStyle StyleOf(EditFieldObject* f) {
  return GetControlTextStyle({&f->textFont, &f->textSize, &f->bold, &f->italic, &f->underline});
}

}  // namespace

ObjectDefinition* GetEditFieldClassDefinition() {
  static ObjectDefinition* definition = [] {
    // Folder items open and save styled fields through the field's own pane.
    InstallStyledFieldFileHooks();
    return BuildDefinition();
  }();
  return definition;
}

EditFieldObject* AsEditFieldObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetEditFieldClassDefinition())
             ? reinterpret_cast<EditFieldObject*>(object)
             : nullptr;
}

EditControl* EditFieldPane(EditFieldObject* field) {
  return field ? dynamic_cast<EditControl*>(ControlPane(&field->base)) : nullptr;
}

void AttachEditFieldStyledText(EditFieldObject* field, EditControl* pane) {
  // An object handed out before keeps no way into a pane it no longer speaks for.
  DetachStyledText(field->styledText);
  RuntimeUnlockObject(field->styledText);
  field->styledText = pane ? NewAttachedStyledText(pane) : nullptr;
}

void DetachEditFieldStyledText(RuntimeObject* owner) {
  if (EditFieldObject* field = AsEditFieldObject(owner)) DetachStyledText(field->styledText);
}

void DisplayEditFormat(EditFieldObject* field) {
  EditControl* pane = EditFieldPane(field);
  if (pane && (!field->format || field->format->length == 0)) field->formatShown = 0;
  if (!pane || !field->format || field->format->length == 0 || GetFocusPane() == pane) return;
  uint8_t wasGuarded = field->inTextChange;
  field->inTextChange = 1;
  field->savedSelStart = pane->GetSelStart();
  field->savedSelEnd = pane->GetSelEnd();
  string text = pane->GetText(kEncodingUTF8);
  if (field->formatShown && field->formattedText && text.View() == string::Share(field->formattedText).View())
    text = string::Share(field->text);
  // Read by the rules the format writes by, so "1.234,5" typed on a decimal-comma desktop shows
  // the number it is and not 1, and the field's own "($1,234.50)" or "50.0%" reads as itself.
  string formatted = StringFormat(StringFormattedValue(text, string::Share(field->format)), string::Share(field->format));
  ReplaceStringRep(field->formattedText, formatted.Rep());
  pane->SetText(formatted);
  ReplaceStringRep(field->text, text.Rep());
  field->formatShown = 1;
  field->inTextChange = wasGuarded;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void EditCreatePane(VornRuntimeObject* ctl) {
  EditFieldObject* field = AsEditFieldObject(ctl);
  if (!field) return;
  ControlObject* c = &field->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  SubPane* parent = ControlParentPane(c);
  if (!parent) return;
  RGB48 back = ColorToRGB48(field->backColor);
  RGB48 fore = ColorToRGB48(field->textColor);
  // A handler of the field's earlier pane may have closed the window and shown it again.
  DeleteAfterDispatch(std::exchange(field->router, new RuntimeEditRouter(ctl)));
  TextStyle style = StyleOf(field);
  Rect bounds = GetControlBounds(c);
  bool border = field->border != 0;
  EditControlGTK* pane;
  if (field->multiLine) {
    pane = field->styled ? NewStyledMultilineEditControl(field->router, parent, c->tabPanelIndex, bounds, border,
                                                         style, field->scrollBarVertical, field->scrollBarHorizontal)
                         : NewMultilineEditControl(field->router, parent, c->tabPanelIndex, bounds, border, style,
                                                   field->scrollBarVertical, field->scrollBarHorizontal);
  } else {
    pane = field->styled ? NewStyledEditControl(field->router, parent, c->tabPanelIndex, bounds, border, style)
                         : NewEditControl(field->router, parent, c->tabPanelIndex, bounds, border, style);
  }
  AttachControlPane(c, pane);
  if (field->styled) AttachEditFieldStyledText(field, pane);
  pane->SetOwner(ctl);
  pane->SetAlignment(field->alignment);
  pane->SetReadOnly(field->readOnly != 0);
  pane->SetBackColor(back);
  pane->SetTextColor(fore);
  pane->SetUseFocusRing(field->useFocusRing != 0);

  // Creation reports neither a text change nor a selection change.
  field->inTextChange = field->inSelChange = 1;
  pane->SetText(string::Share(field->text));
  pane->SetLimitText(field->limitText);
  // A Mask set before the pane existed holds from the first character shown.
  field->router->ApplyMaskToText(pane);
  field->inTextChange = field->inSelChange = 0;

  pane->SetPassword(field->password != 0);
  pane->SetAcceptTabs(field->acceptTabs != 0);
  if (!c->enabled) pane->ChangeState(kPaneStateDisable);
  if (!c->visible) pane->ChangeState(kPaneStateHide);

  pane->SetDataSourceName(string::Share(field->dataSource));
  pane->BindDataSource();
  DisplayEditFormat(field);
}

void RuntimeEditInitializer(VornRuntimeObject* ctl) {
  // A field nobody gave a BackColor is white, not black under its black text.
  if (EditFieldObject* field = AsEditFieldObject(ctl)) field->backColor = 0xFFFFFF;
}

void RuntimeEditDestructor(VornRuntimeObject* ctl) {
  EditFieldObject* field = AsEditFieldObject(ctl);
  if (!field) return;
  if (EditControl* pane = EditFieldPane(field)) {
    // A pane left in its window must neither stay registered for this object nor reach it.
    pane->UnbindDataSource();
    pane->SetOwner(nullptr);
    pane->SetDelegate(nullptr);
  }
  for (StringRep** s : {&field->text, &field->textFont, &field->dataSource, &field->dataField, &field->format,
                        &field->formattedText, &field->mask}) {
    RuntimeUnlockString(*s);
    *s = nullptr;
  }
  RuntimeUnlockObject(field->dataNotifier);
  field->dataNotifier = nullptr;
  AttachEditFieldStyledText(field, nullptr);
  DeleteAfterDispatch(std::exchange(field->router, nullptr));
}

}  // extern "C"
