#include "controls/radio_button_pane.h"

#include <gtk/gtk.h>


namespace vorn {

void RadioButtonDelegate::Selected(ButtonPane*) {}
void RadioButtonDelegate::Deselected(ButtonPane*) {}

namespace {

void OnToggled(GtkToggleButton*, gpointer data) { static_cast<RadioButtonGTK*>(data)->HandleToggled(); }

void* NewHiddenRadio() {
  GtkWidget* hidden = gtk_radio_button_new_with_label(nullptr, "");
  g_object_ref_sink(hidden);
  return hidden;
}

void DestroyHiddenRadio(void* button) {
  if (!button) return;
  gtk_widget_destroy(GTK_WIDGET(button));
  g_object_unref(button);
}

GSList* GroupList(const RadioGroupRecord* group) {
  // The hidden button is always a member, so its list is the group's current one: the list
  // head changes whenever a member comes or goes.
  return group && group->hiddenButton ? gtk_radio_button_get_group(GTK_RADIO_BUTTON(group->hiddenButton)) : nullptr;
}

}  // namespace

RadioGroupRegistry& RadioGroups() {
  static auto* registry = new RadioGroupRegistry({&NewHiddenRadio, &DestroyHiddenRadio});
  return *registry;
}

RadioButtonGTK::RadioButtonGTK(RadioButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                               int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value)
    : RadioButton(delegate, parent, tabPanelIndex, bounds) {
  JoinRadioGroup(GetParent());
  GtkWidget* radio = gtk_radio_button_new_with_label(GroupList(mGroup), "");
  InstallWidget(radio, style, caption);
  SetValue(value);
  g_signal_connect(radio, "toggled", G_CALLBACK(OnToggled), this);
}

RadioButtonGTK::~RadioButtonGTK() {
  if (mWidget) g_signal_handlers_disconnect_matched(mWidget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
  RadioGroupRecord* group = mGroup;
  mGroup = nullptr;
  if (group) RadioGroups().Leave(group);
}

void RadioButtonGTK::JoinRadioGroup(SubPane* key) {
  const bool selected = GetValue();
  // The group left behind keeps its hidden button while others remain in it.
  void* leftHidden = selected && mGroup && mGroup->members > 1 ? mGroup->hiddenButton : nullptr;
  mGroup = RadioGroups().Join(mGroup, key, mTabPanelIndex);
  mGroupKey = key;
  if (!mWidget) return;
  // GTK turns a button off as it joins a group; a selected one takes its selection along (the
  // new group's own selection goes off), and the group it left shows none selected. Nothing
  // was chosen, so no Action.
  mRegrouping = true;
  gtk_radio_button_set_group(GTK_RADIO_BUTTON(mWidget), GroupList(mGroup));
  if (leftHidden) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(leftHidden), TRUE);
  if (selected) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mWidget), TRUE);
  mRegrouping = false;
}

void RadioButtonGTK::SetValue(bool value) {
  if (!mWidget) return;
  if (value || !GetValue()) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mWidget), value);
  } else if (mGroup && mGroup->hiddenButton) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mGroup->hiddenButton), TRUE);
  }
}

bool RadioButtonGTK::GetValue() { return mWidget && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(mWidget)); }

bool RadioButtonGTK::CanFocus() { return mEnabled && IsDisplayed() && GetValue(); }

void RadioButtonGTK::SetParent(SubPane* parent) {
  RadioButton::SetParent(parent);
  SubPane* now = GetParent();
  if (now != mGroupKey) JoinRadioGroup(now);
}

void RadioButtonGTK::SetTabPanelIndex(int32_t index) {
  RadioButton::SetTabPanelIndex(index);
  if (mGroup && mGroup->page != TabPanelIndex()) JoinRadioGroup(GetParent());
}

void RadioButtonGTK::HandleToggled() {
  if (mClosing || mRegrouping || !mDelegate) return;
  // GTK toggles both the button that takes the selection and the one that loses it.
  auto* delegate = static_cast<RadioButtonDelegate*>(mDelegate);
  if (GetValue()) {
    delegate->Selected(this);
  } else {
    delegate->Deselected(this);
  }
}

void RadioButtonGTK::DrawInto(Graphics* port) { DrawIndicatorInto(port, true, GetValue()); }

RadioButtonGTK* NewRadioButton(RadioButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                               int32_t tabPanelIndex, const Rect& bounds, const string& caption, bool value) {
  return new RadioButtonGTK(delegate, style, parent, tabPanelIndex, bounds, caption, value);
}

}  // namespace vorn
