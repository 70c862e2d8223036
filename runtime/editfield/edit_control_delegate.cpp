#include "editfield/edit_control_delegate.h"

namespace vorn {

bool EditControlDelegate::ValidateKey(EditControl*, int32_t, int32_t, int32_t, const string&, bool, int32_t) {
  return false;
}
void EditControlDelegate::TextChanged(EditControl*) {}
void EditControlDelegate::SelChanged(EditControl*) {}
bool EditControlDelegate::ResetFormatSelection(EditControl*) { return false; }
void EditControlDelegate::GotFocus(EditControl*) {}
void EditControlDelegate::LostFocus(EditControl*) {}
bool EditControlDelegate::KeyDownCharacter(EditControl*, int32_t, int32_t, int32_t) { return false; }

bool EditControlDelegate::KeyDown(EditControl* pane, const string& key, int32_t modifiers) {
  string single = ConvertTextEncoding(key, kEncodingMacRoman);
  int32_t character = single.IsEmpty() ? 0 : single.Byte(0);
  return KeyDownCharacter(pane, character, modifiers, 0);
}

void EditControlDelegate::EnableMenuItems(EditControl*) {}
bool EditControlDelegate::DoMenuCommand(EditControl*, const string&) { return false; }
bool EditControlDelegate::FocusNotify(EditControl*, int32_t) { return false; }
bool EditControlDelegate::MouseDown(EditControl*, int32_t, int32_t) { return false; }
void EditControlDelegate::MouseUp(EditControl*, int32_t, int32_t) {}

void StyledTextDelegate::SetBold(int32_t, int32_t, bool) {}
void StyledTextDelegate::SetItalic(int32_t, int32_t, bool) {}
void StyledTextDelegate::SetUnderline(int32_t, int32_t, bool) {}
void StyledTextDelegate::SetFont(int32_t, int32_t, const string&) {}
void StyledTextDelegate::SetSize(int32_t, int32_t, int32_t) {}
void StyledTextDelegate::SetColor(int32_t, int32_t, uint32_t) {}
bool StyledTextDelegate::GetBold(int32_t, int32_t, bool*) { return false; }
bool StyledTextDelegate::GetItalic(int32_t, int32_t, bool*) { return false; }
bool StyledTextDelegate::GetUnderline(int32_t, int32_t, bool*) { return false; }
string StyledTextDelegate::GetFont(int32_t, int32_t, bool*) { return string(); }
int32_t StyledTextDelegate::GetSize(int32_t, int32_t, bool*) { return 0; }
uint32_t StyledTextDelegate::GetColor(int32_t, int32_t, bool*) { return 0; }
int32_t StyledTextDelegate::RunCount() { return 0; }
RuntimeObject* StyledTextDelegate::GetRun(int32_t) { return nullptr; }
void StyledTextDelegate::InsertRun(RuntimeObject*, int32_t) {}
void StyledTextDelegate::AppendRun(RuntimeObject*) {}
void StyledTextDelegate::RemoveRun(int32_t) {}
RuntimeObject* StyledTextDelegate::GetRunRange(int32_t) { return nullptr; }
int32_t StyledTextDelegate::GetAlignment(int32_t, int32_t) { return 0; }
void StyledTextDelegate::SetAlignment(int32_t, int32_t, int32_t) {}
void StyledTextDelegate::StyleChanged() {}

}  // namespace vorn
