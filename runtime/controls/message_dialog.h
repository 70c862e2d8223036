// The message dialog: a modal alert with an icon, a message, a smaller explanation and up to
// three buttons. The language's MessageDialog class and the runtime's own reports use it.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/text_style.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "windows/window.h"
#include "controls/push_button_pane.h"

namespace vorn {

// Button indexes: which button closed the dialog, and which one is default or cancel.
enum MessageDialogButtonIndex : int32_t {
  kDialogNoButton = -1,
  kDialogCancelButton = 0,
  kDialogActionButton = 1,
  kDialogAlternateButton = 2,
};

// Icon codes of the language.
enum MessageDialogIcon : int32_t {
  kDialogIconNone = -1,
  kDialogIconInformation = 0,
  kDialogIconWarning = 1,
  kDialogIconError = 2,
  kDialogIconQuestion = 3,
};

struct MessageDialogObject {
  RuntimeObject header;
  RuntimeObject* actionButton;
  RuntimeObject* cancelButton;
  RuntimeObject* alternateButton;
  int32_t icon;
  StringRep* title;
  StringRep* message;
  StringRep* explanation;
  uint8_t cancelVisible;
  uint8_t alternateVisible;
  uint8_t reserved;
  StringRep* actionCaption;
  StringRep* cancelCaption;
  StringRep* alternateCaption;
  int32_t defaultIndex;
  int32_t cancelIndex;
  Window* parent;
};

struct MessageDialogButtonObject {
  RuntimeObject header;
  MessageDialogObject* dialog;  // not retained; nil once the dialog is gone
};

ObjectDefinition* GetMessageDialogClassDefinition();
ObjectDefinition* GetMessageDialogButtonClassDefinition();
ObjectDefinition* GetActionButtonClassDefinition();
ObjectDefinition* GetCancelButtonClassDefinition();
ObjectDefinition* GetAlternateActionButtonClassDefinition();
// Registers MessageDialogButton, its three kinds and MessageDialog.
void RegisterMessageDialogClasses();

// The initializer's and finalizer's work, for dialogs the runtime makes for itself.
void MessageDialogConstruct(MessageDialogObject* dialog);
void MessageDialogDestruct(MessageDialogObject* dialog);

// A dialog the runtime fills in itself (one reference for the caller); nil when none can be made.
MessageDialogObject* NewReportDialog(const string& message, const string& explanation, int32_t icon);

// Shows the dialog and serves events until a button or the close box ends it; answers the
// button index, or -1 when the run ended otherwise (a quit request).
int32_t MessageDialogRunModal(MessageDialogObject* dialog);

// The native dialog window; it is also the delegate of its buttons.
class MessageDialogImp : public Window, public PushButtonDelegate {
 public:
  explicit MessageDialogImp(MessageDialogObject* dialog);
  ~MessageDialogImp() override;

  void Draw(Graphics* port) override;
  bool CloseBoxClicked() override;
  void Action(ButtonPane* button) override;

  int32_t Result() const { return mResult; }
  PushButtonGTK* DefaultButton() const { return mDefaultButton; }
  PushButtonGTK* ActionButton() const { return mAction; }
  PushButtonGTK* CancelButton() const { return mCancel; }
  PushButtonGTK* AlternateButton() const { return mAlternate; }
  const Rect& MessageRect() const { return mMessageRect; }
  const Rect& ExplanationRect() const { return mExplanationRect; }

 private:
  PushButtonGTK* ButtonFor(int32_t index, bool forDefault) const;

  MessageDialogObject* mDialog;
  PushButtonGTK* mAction = nullptr;
  PushButtonGTK* mCancel = nullptr;
  PushButtonGTK* mAlternate = nullptr;
  PushButtonGTK* mDefaultButton = nullptr;
  Rect mIconRect;
  Rect mMessageRect;
  Rect mExplanationRect;
  vorn::TextStyle mMessageStyle;
  vorn::TextStyle mExplanationStyle;
  vorn::TextStyle mButtonStyle;
  int32_t mResult = kDialogNoButton;
};

// Called with every dialog window right after it is shown (tests drive dialogs through it).
using MessageDialogShownHook = void (*)(MessageDialogImp* dialog);
MessageDialogShownHook SetMessageDialogShownHook(MessageDialogShownHook hook);

// The runtime error report as a dialog: OK goes on, Cancel (or the close box) quits.
bool PresentRuntimeErrorDialog(const std::string& text);
// The report of an exception nobody handled: the message and its explanation with one OK.
// Start-up installs it as its unhandled-exception presenter.
void PresentUnhandledExceptionReport(const string& message, const string& explanation);

}  // namespace vorn
