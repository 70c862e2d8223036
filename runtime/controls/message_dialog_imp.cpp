// The message dialog's window: its layout from the texts and captions, its drawing, its
// buttons and the modal run.
#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

#include "strings/mnemonics.h"
#include "strings/runtime_error.h"
#include "windows/gtk_helper.h"
#include "controls/message_dialog.h"
#include "windows/pane_focus.h"
#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "windows/screen.h"
#include "windows/window_placement.h"

namespace vorn {

namespace {

constexpr const char* kDialogSource = "../Common/MessageDialog.cpp";
constexpr int32_t kIconSide = 32;
constexpr int32_t kButtonGap = 8;
constexpr int32_t kModalKind = 3;
constexpr int32_t kCentredPlacement = 5;

MessageDialogShownHook sShownHook = nullptr;

string Text(StringRep* rep) { return string::Share(rep); }

void ApplyStyle(Graphics* port, const vorn::TextStyle& style) {
  port->SetTextFont(style.mFontName);
  port->SetTextSize(style.mSize);
  port->SetTextStyle(style.GetStyleBits());
}

// A caption that is empty gets its default, stored back into the dialog.
string CaptionOrDefault(StringRep** field, const char* fallback) {
  if (*field == nullptr || (*field)->length == 0) {
    RuntimeUnlockString(*field);
    *field = string(fallback).GetRetainedRep();
  }
  return Text(*field);
}

int32_t ButtonWidth(Graphics* port, const string& caption) {
  return std::max<int32_t>(69, port->StringWidth(StripAmpersandsCopy(caption)) + 28);
}

// The drawing kind of each icon code.
int32_t IconKind(int32_t icon) {
  switch (icon) {
    case kDialogIconInformation: return kIconNote;
    case kDialogIconWarning: return kIconCaution;
    case kDialogIconError: return kIconStop;
    case kDialogIconQuestion: return kIconQuestion;
    default: return -1;
  }
}

}  // namespace

MessageDialogShownHook SetMessageDialogShownHook(MessageDialogShownHook hook) {
  MessageDialogShownHook previous = sShownHook;
  sShownHook = hook;
  return previous;
}

MessageDialogImp::MessageDialogImp(MessageDialogObject* dialog)
    : Window(Text(dialog->title), MakeRect(0, 0, 1, 1), kModalKind, 0, false), mDialog(dialog) {
  mMessageStyle.mFontName = string("System");
  mMessageStyle.mSize = 0;
  // The explanation is set two points smaller than the desktop font.
  mExplanationStyle.mFontName = string("System");
  mExplanationStyle.mSize = static_cast<int16_t>(GetDefaultFontSize());
  mButtonStyle.mFontName = GetDefaultFontName();
  mButtonStyle.mSize = 0;

  EnsurePanePorts();
  Graphics* port = GetGraphics();
  ApplyStyle(port, mMessageStyle);
  const string message = Text(dialog->message);
  const string explanation = Text(dialog->explanation);
  int32_t textWidth = std::max(port->StringWidth(message), port->StringWidth(explanation));
  int32_t desired = textWidth + 36 + kIconSide;
  ScreenInfo screen;
  if (GetScreenInfo(0, &screen)) {
    int32_t limit = static_cast<int32_t>(std::lround(screen.availableWidth * 0.8));
    desired = std::min(desired, limit);
  }

  const string actionCaption = CaptionOrDefault(&dialog->actionCaption, "OK");
  const string cancelCaption = CaptionOrDefault(&dialog->cancelCaption, "Cancel");
  const string alternateCaption = CaptionOrDefault(&dialog->alternateCaption, "Alternate Action");
  ApplyStyle(port, mButtonStyle);
  const int32_t actionWidth = ButtonWidth(port, actionCaption);
  const int32_t cancelWidth = ButtonWidth(port, cancelCaption);
  const int32_t alternateWidth = ButtonWidth(port, alternateCaption);
  int32_t buttonsWidth = actionWidth;
  if (dialog->cancelVisible) buttonsWidth += kButtonGap + cancelWidth;
  if (dialog->alternateVisible) buttonsWidth += kButtonGap + alternateWidth;

  const int32_t width = std::max(kIconSide + 36 + buttonsWidth, desired);
  const int32_t wrap = width - kIconSide - 36;
  ApplyStyle(port, mMessageStyle);
  const int32_t messageHeight = port->StringHeight(message, wrap);
  ApplyStyle(port, mExplanationStyle);
  const int32_t explanationHeight = explanation.IsEmpty() ? 0 : port->StringHeight(explanation, wrap);
  DisposePaneGraphics(port);
  int32_t textHeight = explanationHeight >= 1 ? messageHeight + 8 + explanationHeight : messageHeight;
  textHeight = std::max(textHeight, kIconSide);
  const int32_t height = textHeight + 68;

  Rect frame = MakeRect(0, 0, width, height);
  PositionNewWindow(&frame, kCentredPlacement, kModalKind);
  MoveWindow(frame.left, frame.top, false);
  SetWindowBounds(width, height, false);

  mIconRect = MakeRect(10, 12, 10 + kIconSide, 12 + kIconSide);
  const int32_t textLeft = kIconSide + 10 + 16;
  mMessageRect = MakeRect(textLeft, 12, width - 10, messageHeight + 12);
  mExplanationRect = MakeRect(textLeft, mMessageRect.bottom + 8, width - 10,
                              mMessageRect.bottom + 8 + explanationHeight);

  const int32_t top = height - 41;
  const int32_t bottom = height - 12;
  int32_t left = width / 2 - buttonsWidth / 2;
  const vorn::TextStyle& style = mButtonStyle;
  mAction = NewPushButton(this, style, this, 0, MakeRect(left, top, left + actionWidth, bottom), actionCaption);
  left += actionWidth + kButtonGap;
  if (dialog->alternateVisible) {
    mAlternate = NewPushButton(this, style, this, 0, MakeRect(left, top, left + alternateWidth, bottom),
                               alternateCaption);
    left += alternateWidth + kButtonGap;
  }
  if (dialog->cancelVisible) {
    mCancel = NewPushButton(this, style, this, 0, MakeRect(left, top, left + cancelWidth, bottom), cancelCaption);
  }

  if (dialog->defaultIndex < -1 || dialog->defaultIndex > 3) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kDialogSource, __LINE__, "",
                       "The MessageDialog's default button behavior was assigned to an invalid button index");
  } else if (PushButtonGTK* button = ButtonFor(dialog->defaultIndex, true)) {
    button->SetDefault(true);
    mDefaultButton = button;
  }
  if (dialog->cancelIndex < -1 || dialog->cancelIndex > 3) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kDialogSource, __LINE__, "",
                       "The MessageDialog's cancel button behavior was assigned to an invalid button index");
  } else if (PushButtonGTK* button = ButtonFor(dialog->cancelIndex, false)) {
    button->SetCancel(true);
  }
}

MessageDialogImp::~MessageDialogImp() = default;

// Index 3 names no button of its own: the action button as default, the cancel button as cancel.
PushButtonGTK* MessageDialogImp::ButtonFor(int32_t index, bool forDefault) const {
  switch (index) {
    case kDialogCancelButton: return mCancel;
    case kDialogActionButton: return mAction;
    case kDialogAlternateButton: return mAlternate;
    case 3: return forDefault ? mAction : mCancel;
    default: return nullptr;
  }
}

void MessageDialogImp::Draw(Graphics* port) {
  Window::Draw(port);
  if (!mDialog) return;
  int32_t kind = IconKind(mDialog->icon);
  if (kind >= 0) port->DrawIcon(kind, mIconRect.left, mIconRect.top, kIconSide, kIconSide);
  ApplyStyle(port, mMessageStyle);
  port->DrawWrappedText(Text(mDialog->message), mMessageRect, kAlignDefault);
  ApplyStyle(port, mExplanationStyle);
  port->DrawWrappedText(Text(mDialog->explanation), mExplanationRect, kAlignDefault);
}

bool MessageDialogImp::CloseBoxClicked() {
  mResult = kDialogCancelButton;
  Hide();
  return true;
}

void MessageDialogImp::Action(ButtonPane* button) {
  if (button == mAction) {
    mResult = kDialogActionButton;
  } else if (button == mCancel) {
    mResult = kDialogCancelButton;
  } else if (button == mAlternate) {
    mResult = kDialogAlternateButton;
  } else {
    return;
  }
  Hide();
}

int32_t MessageDialogRunModal(MessageDialogObject* dialog) {
  if (!dialog || RefuseWithoutDisplay()) return kDialogNoButton;
  ClearCurrentPane();
  dialog->parent = nullptr;
  auto* imp = new MessageDialogImp(dialog);
  PaneGuard guard(imp);
  imp->Show();
  imp->IsFrontmost();
  if (guard.Get() && imp->DefaultButton()) imp->DefaultButton()->SetFocus();
  if (guard.Get() && sShownHook) sShownHook(imp);
  const WindowLayerHooks& hooks = GetWindowLayerHooks();
  while (guard.Get() && imp->IsShown() && !(hooks.quitRequested && hooks.quitRequested())) {
    if (hooks.runLoopOnce) {
      hooks.runLoopOnce(true);
    } else {
      // Reports can come before the run loop exists; GTK alone serves the dialog then.
      gtk_main_iteration_do(TRUE);
      Window::ShowPendingWindows();
    }
  }
  if (!guard.Get()) return kDialogNoButton;
  int32_t result = imp->Result();
  imp->Close();
  return result;
}

}  // namespace vorn
