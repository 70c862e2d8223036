// The popup pane towards the window machinery: events raised on the owner, focus, mouse and
// keys, state changes, the baseline and drawing into a port.
#include <gtk/gtk.h>

#include <algorithm>

#include "windows/pane_port.h"
#include "controls/popup_pane.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {
constexpr int32_t kButtonWidth = 21;
}  // namespace

bool PopupMenu::FireLocked(void (ComboBoxEvents::*raise)(RuntimeObject*)) {
  if (!mOwner || !mEvents) return false;
  // The pane outlives the handler: a window closed meanwhile deletes it at the release.
  Lock();
  (mEvents->*raise)(mOwner);
  return Release();
}

void PopupMenu::FireGotFocus() { FireLocked(&ComboBoxEvents::RaiseGotFocus); }
void PopupMenu::FireLostFocus() { FireLocked(&ComboBoxEvents::RaiseLostFocus); }
void PopupMenu::FireTextChanged() { FireLocked(&ComboBoxEvents::RaiseTextChanged); }

bool PopupMenu::FireKeyDown(uint8_t key) {
  if (!mEditable || !mOwner || !mEvents) return false;
  string text(&key, 1, key < 0x80 ? kEncodingASCII : kEncodingUnknown);
  Lock();
  bool handled = mEvents->RaiseKeyDown(mOwner, text);
  if (Release()) return true;
  return handled;
}

bool PopupMenu::FireMouseDown(int32_t x, int32_t y) {
  if (!mOwner || !mEvents) return false;
  return mEvents->RaiseMouseDown(mOwner, x - mBounds.left, y - mBounds.top);
}

bool PopupMenu::FireMouseUp(int32_t x, int32_t y) {
  if (!mOwner || !mEvents) return false;
  return mEvents->RaiseMouseUp(mOwner, x - mBounds.left, y - mBounds.top);
}

bool PopupMenu::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!IsEnabled() || !FireMouseDown(x, y)) return false;
  SetMouseCapturePane(this);
  return true;
}

void PopupMenu::MouseUp(int32_t x, int32_t y) { FireMouseUp(x, y); }

bool PopupMenu::KeyDown(int32_t character, int32_t, int32_t) { return FireKeyDown(static_cast<uint8_t>(character)); }

void PopupMenu::GotFocus() {
  if (GtkWidget* entry = Entry()) gtk_widget_grab_focus(entry);
  if (!IsClosing()) FireGotFocus();
}

void PopupMenu::LostFocus() {
  if (!IsClosing()) FireLostFocus();
}

// The entry can take the focus whatever the combo widget itself says.
bool PopupMenu::CanFocus() { return IsEnabled() && IsVisible() && ShownByContainer(); }

int32_t PopupMenu::ChangeState(int32_t code) {
  if (code == kComboStateRecheck) {
    if (GetListIndex() != mLastIndex) Changed();
    return 1;
  }
  return SubPane::ChangeState(code);
}

bool PopupMenu::GetBaseline(int32_t* y) { return CentredBaseline(this, y); }

void PopupMenu::DrawInto(Graphics* port) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? PortDrawable(port) : nullptr;
  if (drawable && mWidget) {
    gtk_widget_ensure_style(mWidget);
    GtkStyle* style = gtk_widget_get_style(Entry());
    GtkStateType state = IsEnabled() ? GTK_STATE_NORMAL : GTK_STATE_INSENSITIVE;
    // GTK paints the whole drawable for a width of -1: a pane narrower than the arrow
    // button has no entry field at all, and the button takes what there is.
    const int32_t buttonWidth = std::min(kButtonWidth, std::max(Width(), 0));
    int32_t w = std::max(Width() - kButtonWidth, 0);
    int32_t h = Height();
    Rect field{mBounds.top, mBounds.left, static_cast<int16_t>(mBounds.top + h),
               static_cast<int16_t>(mBounds.left + w)};
    Rect device = gtkPort->ToDeviceRect(field);
    int32_t x = device.left;
    int32_t y = device.top;
    if (w > 0 && h > 0) {
      gtk_paint_flat_box(style, drawable, state, GTK_SHADOW_NONE, nullptr, Entry(), "entry_bg", x, y, w, h);
      // The entry text, clipped to the field.
      GraphicsState saved;
      saved.Save(port);
      ClipSaver clip(port);
      port->SetClipRect(field);
      port->SetTextFontFrom(mStyle);
      port->SetForeColor(kBlack48);
      port->DrawText(GetEntryText(), mBounds.left + 4, mBounds.top + port->FontAscent() + 1, 0);
      saved.Restore();
      gtk_paint_shadow(style, drawable, state, GTK_SHADOW_IN, nullptr, Entry(), "entry", x, y, w, h);
    }
    GtkWidget* button = ArrowButton();
    GtkStyle* buttonStyle = gtk_widget_get_style(button ? button : mWidget);
    int32_t bx = x + w;
    int32_t by = y + 1;
    if (buttonWidth > 0 && h > 2) {
      gtk_paint_box(buttonStyle, drawable, state, GTK_SHADOW_OUT, nullptr, button, "vscrollbar", bx, by, buttonWidth,
                    h - 2);
      gtk_paint_arrow(buttonStyle, drawable, state, GTK_SHADOW_OUT, nullptr, button, nullptr, GTK_ARROW_DOWN, TRUE,
                      bx + 6, by + 6, 10, 5);
    }
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
