// Settings of the whole GTK edit pane: font, colours, alignment, read-only and password.
#include <gtk/gtk.h>

#include "editfield/edit_control_gtk.h"
#include "editfield/edit_text_model.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

using EntrySetAlignment = void (*)(GtkEntry*, gfloat);

EntrySetAlignment EntryAlignmentFunction() {
  static auto function = reinterpret_cast<EntrySetAlignment>(GetOptionalGtkSymbol(0, "gtk_entry_set_alignment"));
  return function;
}

GdkColor ToGdk(const RGB48& color) { return GdkColor{0, color.red, color.green, color.blue}; }

}  // namespace

void EditControlGTK::SetTextStyle(const vorn::TextStyle& style) {
  mRunsDirty = true;
  mTextStyle = style;
  SetWidgetFont(TargetWidget(), mTextStyle);
}

void EditControlGTK::SetTextColor(const RGB48& color) {
  mTextColor = color;
  GdkColor gdk = ToGdk(color);
  gtk_widget_modify_text(TargetWidget(), GTK_STATE_NORMAL, &gdk);
}

void EditControlGTK::SetBackColor(const RGB48& color) {
  GdkColor gdk = ToGdk(color);
  gtk_widget_modify_base(TargetWidget(), GTK_STATE_NORMAL, &gdk);
}

void EditControlGTK::SetAlignment(int32_t alignment) {
  if (alignment == mAlignment) return;
  mRunsDirty = true;
  EditControl::SetAlignment(alignment);
  EntrySetAlignment entryAlignment = EntryAlignmentFunction();
  GtkJustification justify;
  gfloat x;
  switch (alignment) {
    case kEditAlignDefault:
    case kEditAlignLeft: justify = GTK_JUSTIFY_LEFT; x = 0.0f; break;
    case kEditAlignCenter: justify = GTK_JUSTIFY_CENTER; x = 0.5f; break;
    case kEditAlignRight: justify = GTK_JUSTIFY_RIGHT; x = 1.0f; break;
    default: return;
  }
  if (mMultiLine) {
    gtk_text_view_set_justification(mTextView, justify);
  } else if (entryAlignment) {
    entryAlignment(GTK_ENTRY(mWidget), x);
  }
}

bool EditControlGTK::IsReadOnly() const {
  if (mMultiLine) return !gtk_text_view_get_editable(mTextView);
  return !gtk_editable_get_editable(GTK_EDITABLE(mWidget));
}

void EditControlGTK::SetReadOnly(bool readOnly) {
  if (mMultiLine) {
    gtk_text_view_set_editable(mTextView, !readOnly);
  } else {
    gtk_editable_set_editable(GTK_EDITABLE(mWidget), !readOnly);
  }
}

void EditControlGTK::SetPassword(bool password) {
  if (!mMultiLine) gtk_entry_set_visibility(GTK_ENTRY(mWidget), !password);
}

bool EditControlGTK::IsPassword() { return !mMultiLine && !gtk_entry_get_visibility(GTK_ENTRY(mWidget)); }

}  // namespace vorn
