#include "controls/movie_player_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "controls/movie_classes.h"
#include "graphics/movie_layer.h"
#include "strings/runtime_error.h"
#include "windows/gtk_pane_support.h"

namespace vorn {

namespace {

constexpr const char* kMediaSource = "../Common/RuntimeMedia";
constexpr RGB48 kMediaBoxColor{0x2323, 0x2323, 0xFFFF};

}  // namespace

RuntimeMedia::RuntimeMedia(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* player,
                           bool shown)
    : SubPane(parent, tabPanelIndex, bounds), mPlayer(player), mShown(shown) {
  EnsurePanePorts();
  GtkWidget* widget = gtk_fixed_new();
  // The pane answers CanFocus: the widget takes GTK's focus with it, so keys stop going to the
  // control that had it, and GTK's own focus moves (Tab) make it the focus pane.
  GTK_WIDGET_SET_FLAGS(widget, GTK_CAN_FOCUS);
  SetWidget(widget);
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
  ConnectGrabFocusHandler(this);
}

Rect RuntimeMedia::InvalidArea() const {
  Rect area = mBounds;
  MoviePlayerObject* player = AsMoviePlayerObject(mPlayer);
  if (player && player->border) InsetRect(area, -1, -1);
  return area;
}

void RuntimeMedia::Draw(Graphics*) { QuickTimeDraw(this); }

bool RuntimeMedia::MouseDown(int32_t, int32_t, int32_t) {
  SubPane::SetFocus();
  SetCurrentPane(this);
  return true;
}

bool RuntimeMedia::CanFocus() { return mShown && mShownByContainer; }

void RuntimeMedia::SetBounds(const Rect& r, bool redraw) {
  SubPane::SetBounds(r, redraw);
  QuickTimeResize(this);
}

bool RuntimeMedia::KeyDown(int32_t, int32_t, int32_t) { return false; }

int32_t RuntimeMedia::ChangeState(int32_t code) {
  if (code == kPaneStateShow || code == kPaneStateHide) {
    mShown = code == kPaneStateShow;
    if (mShown) {
      QuickTimeShow(this);
    } else {
      QuickTimeHide(this);
    }
    Invalidate(true);
  }
  return SubPane::ChangeState(code);
}

bool RuntimeMedia::AdjustCursor(int32_t, int32_t) { return true; }

void RuntimeMedia::Invalidate(bool) {
  SetCurrentPane(this);
  SubPane::InvalidateRect(InvalidArea());
}

void RuntimeMedia::DrawInto(Graphics* port) {
  if (!port) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kMediaSource, __LINE__, "context", "");
    return;
  }
  const RGB48 saved = port->ForeColor();
  port->SetForeColor(kMediaBoxColor);
  port->FillRect(mBounds);
  port->SetForeColor(kBlack48);
  port->DrawRect(mBounds);
  port->SetForeColor(saved);
}

}  // namespace vorn
