// The radio button pane: a GtkRadioButton in the radio group of its parent pane and page.
// Only becoming selected reaches the delegate; losing the selection to another button of the
// group is silent.
#pragma once

#include <cstdint>

#include "controls/button_pane.h"
#include "controls/radio_group.h"

namespace vorn {

class RadioButtonDelegate : public ButtonDelegate {
 public:
  virtual void Selected(ButtonPane* pane);
  virtual void Deselected(ButtonPane* pane);
};

class RadioButton : public ButtonPane {
 public:
  using ButtonPane::ButtonPane;
  virtual void SetValue(bool value) = 0;
  virtual bool GetValue() = 0;
};

class RadioButtonGTK : public RadioButton {
 public:
  RadioButtonGTK(RadioButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
                 const Rect& bounds, const string& caption, bool value);
  ~RadioButtonGTK() override;

  // True turns the button on and the others of its group off; false turns the whole group
  // off when this button is the one on.
  void SetValue(bool value) override;
  bool GetValue() override;
  // Only the selected button of a group takes the keyboard focus.
  bool CanFocus() override;
  void SetParent(SubPane* parent) override;
  // A button moved to another page of its panel goes into that page's group.
  void SetTabPanelIndex(int32_t index) override;
  void DrawInto(Graphics* port) override;

  const RadioGroupRecord* Group() const { return mGroup; }
  // The GTK "toggled" signal.
  void HandleToggled();

 private:
  void JoinRadioGroup(SubPane* key);

  RadioGroupRecord* mGroup = nullptr;
  SubPane* mGroupKey = nullptr;
  bool mRegrouping = false;  // the selection is being carried into the new group
};

RadioButtonGTK* NewRadioButton(RadioButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                               int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value);

}  // namespace vorn
