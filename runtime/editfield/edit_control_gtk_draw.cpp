// Drawing an edit field into a port, for printing and for a control's DrawInto: the field's
// background, its text in the field's font, its frame and the scroll bars it would show.
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "windows/pane_port.h"
#include "controls/scroller.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/styled_text_printer.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"

namespace vorn {

namespace {

constexpr int32_t kScrollBarRoom = 20;
constexpr int32_t kScrollBarThickness = 16;

int32_t TextAlignmentOf(int32_t alignment) {
  if (alignment == kEditAlignCenter) return kAlignCenter;
  if (alignment == kEditAlignRight) return kAlignRight;
  return kAlignDefault;
}

}  // namespace

RuntimeObject* EditControlGTK::NewStyledTextPrinter(RuntimeObject* graphics, int32_t width) {
  string text = IsPassword() ? MaskedText() : GetText(kEncodingUTF8);
  std::vector<TextStyleRecord> styles;
  if (KeepsStyles()) {
    styles = StyleRecords();
  } else {
    // A plain field prints all of its text in the field's font.
    TextStyleRecord plain;
    plain.font = mTextStyle.mFontName;
    plain.size = mTextStyle.mSize;
    plain.bold = mTextStyle.mBold != 0;
    plain.italic = mTextStyle.mItalic != 0;
    plain.underline = mTextStyle.mUnderline != 0;
    styles.assign(static_cast<size_t>(UTF8CharacterCount(text.View())), plain);
  }
  return NewStyledTextPrinterObject(graphics, width, text.View(), styles);
}

string EditControlGTK::MaskedText() {
  gunichar bullet = gtk_entry_get_invisible_char(GTK_ENTRY(mWidget));
  // An entry told to show nothing for its characters prints nothing for them either.
  if (bullet == 0) return string();
  char encoded[8];
  int size = g_unichar_to_utf8(bullet, encoded);
  std::string shown;
  for (int32_t i = GetTextLength(); i > 0; --i) shown.append(encoded, static_cast<size_t>(size));
  return string(shown, kEncodingUTF8);
}

void EditControlGTK::DrawInto(Graphics* port) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? PortDrawable(port) : nullptr;
  NativeWidget target = TargetWidget();
  if (drawable && target) {
    bool horizontal = mMultiLine && mHasHorizontalScrollBar;
    bool vertical = mMultiLine && mHasVerticalScrollBar;
    int32_t w = Width() - (vertical ? kScrollBarRoom : 0);
    int32_t h = Height() - (horizontal ? kScrollBarRoom : 0);
    Rect field{mBounds.top, mBounds.left, static_cast<int16_t>(mBounds.top + std::max(h, 0)),
               static_cast<int16_t>(mBounds.left + std::max(w, 0))};
    Rect device = gtkPort->ToDeviceRect(field);
    gtk_widget_ensure_style(target);
    GtkStyle* style = gtk_widget_get_style(target);
    auto state = static_cast<GtkStateType>(GTK_WIDGET_STATE(target));
    gtk_paint_flat_box(style, drawable, state, GTK_SHADOW_NONE, nullptr, target, "entry_bg", device.left, device.top,
                       w, h);

    {
      GraphicsState saved;
      saved.Save(port);
      ClipSaver clip(port);
      port->SetClipRect(field);
      port->SetTextFontFrom(mTextStyle);
      port->SetForeColor(kBlack48);
      string text = IsPassword() ? MaskedText() : GetText(kEncodingUTF8);
      if (mMultiLine) {
        Rect inside{static_cast<int16_t>(field.top + 3), static_cast<int16_t>(field.left + 4), field.bottom,
                    static_cast<int16_t>(field.right - 3)};
        port->DrawWrappedText(text, inside, TextAlignmentOf(mAlignment));
      } else {
        port->DrawText(text, field.left + 4, field.top + port->FontAscent() + 3, 0);
      }
      saved.Restore();
    }

    if (mHasBorder) {
      gtk_paint_shadow(style, drawable, state, mMultiLine ? GTK_SHADOW_ETCHED_IN : GTK_SHADOW_IN, nullptr, target,
                       "entry", device.left, device.top, w, h);
    }
    if (horizontal) {
      Rect bar{static_cast<int16_t>(mBounds.bottom - kScrollBarThickness), mBounds.left, mBounds.bottom,
               static_cast<int16_t>(mBounds.right - (vertical ? kScrollBarRoom : 0))};
      PaintScrollBar(target, port, bar, false, true, 0, 100);
    }
    if (vertical) {
      Rect bar{mBounds.top, static_cast<int16_t>(mBounds.right - kScrollBarThickness),
               static_cast<int16_t>(mBounds.bottom - (horizontal ? kScrollBarRoom : 0)), mBounds.right};
      PaintScrollBar(target, port, bar, true, true, 0, 100);
    }
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
