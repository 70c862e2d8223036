#include "controls/check_box_pane.h"

#include <gtk/gtk.h>

namespace vorn {

void CheckBoxDelegate::Action(ButtonPane*) {}

namespace {

void OnToggled(GtkToggleButton*, gpointer data) { static_cast<CheckBoxGTK*>(data)->HandleToggled(); }

}  // namespace

CheckBox::CheckBox(CheckBoxDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : ButtonPane(delegate, parent, tabPanelIndex, bounds) {}

CheckBox::~CheckBox() { UnbindDataSource(); }

void CheckBox::BindDataSource() { BindOwner(mControl, kBoundCheckBox); }
void CheckBox::UnbindDataSource() { UnbindOwner(mControl, kBoundCheckBox); }

CheckBoxGTK::CheckBoxGTK(CheckBoxDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                         int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value)
    : CheckBox(delegate, parent, tabPanelIndex, bounds) {
  GtkWidget* box = gtk_check_button_new_with_label("");
  InstallWidget(box, style, caption);
  // The first state is set before "toggled" is connected: creating a box fires nothing.
  SetValue(value);
  g_signal_connect(box, "toggled", G_CALLBACK(OnToggled), this);
}

void CheckBoxGTK::SetValue(bool value) {
  if (mWidget) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mWidget), value);
}

bool CheckBoxGTK::GetValue() { return mWidget && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(mWidget)); }

void CheckBoxGTK::HandleToggled() {
  if (mClosing || !mDelegate) return;
  static_cast<CheckBoxDelegate*>(mDelegate)->Action(this);
}

void CheckBoxGTK::DrawInto(Graphics* port) { DrawIndicatorInto(port, false, GetValue()); }

CheckBoxGTK* NewCheckBox(CheckBoxDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                         int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value) {
  return new CheckBoxGTK(delegate, style, parent, tabPanelIndex, bounds, caption, value);
}

}  // namespace vorn
