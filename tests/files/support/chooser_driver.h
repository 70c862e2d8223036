// Acts on a file chooser from outside the way a user at the keyboard would. The steps run one
// at a time from a GLib timeout, so they are served by the dialog's own modal wait (and by any
// loop nested in it, like the chooser's question before replacing a file). A step acts only
// once what it acts on is ready: keys go out only when the window or entry meant to receive
// them has the keyboard. Every xdotool call has ended before the next step, so no key is ever
// left held down to reach a later dialog.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct _GtkWidget;

namespace vorn::testing {

class ChooserDriver {
 public:
  struct Step {
    std::string awaits;  // what the step waits for, named when it never comes
    std::function<bool(_GtkWidget* chooser)> ready;
    std::function<void(_GtkWidget* chooser)> act;
  };

  // Once the chooser is on the screen: `inspect` looks at it, then the chooser is given the
  // keyboard as a click on it would.
  static Step Shown(std::function<void(_GtkWidget* chooser)> inspect = nullptr);
  // Keys (xdotool names, e.g. "ctrl+a ctrl+v") typed into the chooser while it holds the keyboard.
  static Step Press(const std::string& keys);
  // Keys typed into the chooser's focused text entry once the entry holds text starting with
  // `shown`.
  static Step PressInEntry(const std::string& keys, const std::string& shown = "");
  // Pastes `text` (which the clipboard holds) into the chooser's focused entry and presses Return
  // once the entry holds just that (a folder's name perhaps completed with its slash).
  static Step EnterInEntry(const std::string& text);
  // Keys answering the question the chooser asks over itself, once it is up and has the keyboard.
  static std::vector<Step> Confirm(const std::string& keys);
  // Gives the keyboard back to the chooser once its question is gone.
  static Step BackToChooser();

  ChooserDriver() = default;
  ChooserDriver(const ChooserDriver&) = delete;
  ChooserDriver& operator=(const ChooserDriver&) = delete;
  ~ChooserDriver() { Stop(); }

  void Start(_GtkWidget* chooser, std::vector<Step> steps);
  void Stop();
  bool Finished() const { return mNext >= mSteps.size(); }
  // What the next step still waits for; empty when finished.
  std::string Awaiting() const { return Finished() ? std::string() : mSteps[mNext].awaits; }

 private:
  static int Poll(void* self);

  _GtkWidget* mChooser = nullptr;
  std::vector<Step> mSteps;
  size_t mNext = 0;
  unsigned mSource = 0;
};

// Whether the X server still holds a key down, after waiting a while for pending releases.
bool AnyKeyStillDown();

}  // namespace vorn::testing
