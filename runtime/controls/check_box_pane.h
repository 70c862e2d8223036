// The check box pane: a GtkCheckButton whose every change of state reaches the delegate's
// Action, bindable by name to a data control.
#pragma once

#include <cstdint>

#include "controls/button_pane.h"
#include "controls/data_aware.h"

namespace vorn {

class CheckBoxDelegate : public ButtonDelegate {
 public:
  virtual void Action(ButtonPane* pane);
};

class CheckBox : public ButtonPane, public DataAwareClass {
 public:
  CheckBox(CheckBoxDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);
  ~CheckBox() override;

  virtual void SetValue(bool value) = 0;
  virtual bool GetValue() = 0;
  void BindDataSource() override;
  void UnbindDataSource() override;

  // The language object bound to a data control (not held); nil when there is none.
  void SetControl(RuntimeObject* control) { mControl = control; }
  RuntimeObject* Control() const { return mControl; }

 private:
  RuntimeObject* mControl = nullptr;
};

class CheckBoxGTK : public CheckBox {
 public:
  CheckBoxGTK(CheckBoxDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
              const Rect& bounds, const string& caption, bool value);

  void SetValue(bool value) override;
  bool GetValue() override;
  void DrawInto(Graphics* port) override;

  // The GTK "toggled" signal.
  void HandleToggled();
};

CheckBoxGTK* NewCheckBox(CheckBoxDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                         int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value);

}  // namespace vorn
