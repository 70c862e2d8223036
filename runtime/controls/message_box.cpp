// MsgBox and its form with buttons, icon and title, shown as a message dialog.
#include <cstdint>
#include <iterator>

#include "objects/runtime_object.h"
#include "vorn/desktop_api.h"
#include "controls/message_dialog.h"

namespace vorn {

namespace {

// The answers, one per button caption.
enum MsgBoxAnswer : int32_t { kOK = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

const char* Caption(int32_t answer) {
  static const char* const kCaptions[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
  return answer > 0 && answer <= kNo ? kCaptions[answer] : "";
}

// Which answer each of the dialog's buttons gives for a button set (the low three bits of
// the style); the buttons read in this order, the cancel button answers Escape and the close
// box (for sets without one, the last button listed does).
struct ButtonSet {
  int32_t action, alternate, cancel, escape;
};
constexpr ButtonSet kButtonSets[] = {
    {kOK, 0, 0, kOK},              {kOK, 0, kCancel, kCancel},       {kAbort, kRetry, kIgnore, kIgnore},
    {kYes, kNo, kCancel, kCancel}, {kYes, kNo, 0, kNo},              {kRetry, 0, kCancel, kCancel},
};

int32_t IconOf(int32_t style) {
  switch (style & 0x70) {
    case 16: return kDialogIconError;
    case 32: return kDialogIconQuestion;
    case 48: return kDialogIconWarning;
    case 64: return kDialogIconInformation;
    default: return kDialogIconNone;
  }
}

void SetCaption(StringRep*& field, int32_t answer) { ReplaceStringRep(field, string(Caption(answer)).Rep()); }

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeMsgBox(VornStringRecord* message) {
  MessageDialogObject* dialog = NewReportDialog(string::Share(message), string(), kDialogIconNone);
  if (!dialog) return;
  MessageDialogRunModal(dialog);
  RuntimeUnlockObject(&dialog->header);
}

// Style: the button set (0 OK, 1 OK Cancel, 2 Abort Retry Ignore, 3 Yes No Cancel, 4 Yes No,
// 5 Retry Cancel; others give OK), plus the icon (16 stop, 32 question, 48 caution, 64 note)
// and the default button (0 the first, 256 the second, 512 the third). Answers 1 OK, 2 Cancel,
// 3 Abort, 4 Retry, 5 Ignore, 6 Yes or 7 No.
int32_t VB_RuntimeMsgBox(VornStringRecord* prompt, int32_t style, VornStringRecord* title) {
  uint32_t set = static_cast<uint32_t>(style) & 7;
  const ButtonSet& buttons = kButtonSets[set < std::size(kButtonSets) ? set : 0];
  MessageDialogObject* dialog = NewReportDialog(string::Share(prompt), string(), IconOf(style));
  if (!dialog) return buttons.escape;
  ReplaceStringRep(dialog->title, title);
  SetCaption(dialog->actionCaption, buttons.action);
  SetCaption(dialog->alternateCaption, buttons.alternate);
  SetCaption(dialog->cancelCaption, buttons.cancel);
  dialog->alternateVisible = buttons.alternate != 0;
  dialog->cancelVisible = buttons.cancel != 0;
  // The buttons in the order the style counts them.
  int32_t order[3] = {kDialogActionButton, kDialogNoButton, kDialogNoButton};
  int32_t listed = 1;
  if (buttons.alternate) order[listed++] = kDialogAlternateButton;
  if (buttons.cancel) order[listed++] = kDialogCancelButton;
  int32_t wantedDefault = (style >> 8) & 3;
  dialog->defaultIndex = wantedDefault < listed ? order[wantedDefault] : kDialogActionButton;

  int32_t pressed = MessageDialogRunModal(dialog);
  RuntimeUnlockObject(&dialog->header);
  switch (pressed) {
    case kDialogActionButton: return buttons.action;
    case kDialogAlternateButton: return buttons.alternate;
    case kDialogCancelButton: return buttons.cancel ? buttons.cancel : buttons.escape;
    default: return buttons.escape;
  }
}

}  // extern "C"
