#include "datacontrols/data_control_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "database/database_objects.h"
#include "datacontrols/data_control_api.h"
#include "datacontrols/nav_geometry.h"
#include "graphics/graphics.h"
#include "graphics/graphics_defaults.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "windows/gtk_pane_support.h"
#include "windows/control.h"
#include "windows/pane_focus.h"


namespace vorn {

namespace {

const dbCursorDefinition* EngineOf(RuntimeObject* cursor) {
  DatabaseCursorObject* fields = CursorFields(cursor);
  return fields && fields->handle ? fields->definition : nullptr;
}

const char* const kIconNames[] = {"gtk-goto-first", "gtk-go-back", "gtk-go-forward", "gtk-goto-last"};

}  // namespace

DataControl::DataControl(DataControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : SubPane(parent, tabPanelIndex, bounds), mDelegate(delegate) {
  EnsurePanePorts();
  SetWidget(gtk_drawing_area_new());
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
}

DataControl::~DataControl() {
  if (mCursor) {
    if (mDatabase) cursorClose(mCursor);
    RuntimeUnlockObject(mCursor);
    mCursor = nullptr;
  }
}

bool DataControl::OwnerReadOnly() const {
  DataControlObject* owner = Owner();
  return owner && owner->readOnly;
}

// --- cursor --------------------------------------------------------------------------------

void DataControl::BeginEdit() {
  if (mCursor && !OwnerReadOnly()) cursorEdit(mCursor);
}

void DataControl::EndEdit() {
  if (mCursor && !OwnerReadOnly()) cursorUpdate(mCursor);
}

void DataControl::CloseCursor() {
  if (!mCursor) return;
  EndEdit();
  cursorClose(mCursor);
  RuntimeUnlockObject(mCursor);
  mCursor = nullptr;
}

void DataControl::OpenCursor() {
  CloseCursor();
  if (!mDatabase || mTableName.IsEmpty() || mSQLQuery.IsEmpty()) return;
  mCursor = databaseSQLSelect(mDatabase, mSQLQuery.Rep());
  BeginEdit();
}

void DataControl::Requery() {
  mRow = 0;
  mRecordCount = 0;
  OpenCursor();
}

int32_t DataControl::GetRecordCount() {
  if (!mCursor) return 0;
  if (mRecordCount > 0) return mRecordCount;
  const dbCursorDefinition* engine = EngineOf(mCursor);
  if (engine && engine->rowCount) {
    const int32_t count = RecordSetRecordCount(mCursor);
    if (count > 0) return mRecordCount = count;
  }
  // Counted on a run of the query of its own: walking the pane's cursor and opening it again
  // would leave it on a row the controls do not show (one added meanwhile to an empty result),
  // and Update or Delete would then reach that row.
  int32_t count = 0;
  if (RuntimeObject* counter = databaseSQLSelect(mDatabase, mSQLQuery.Rep())) {
    for (; !cursorEOFGetter(counter, 0); cursorMoveNext(counter)) ++count;
    cursorClose(counter);
    RuntimeUnlockObject(counter);
  }
  return mRecordCount = count;
}

void DataControl::ResetButtons() {
  mCanMoveBack = false;
  mCanMoveForward = mCursor && GetRecordCount() >= 2;
  Invalidate();
}

void DataControl::SetPosition(int32_t row) {
  BeginEdit();
  const int32_t count = GetRecordCount();
  if (row == 0) {
    mCanMoveBack = false;
    InvalidatePair(true);
    const bool forward = count >= 2;
    if (forward != mCanMoveForward) {
      mCanMoveForward = forward;
      InvalidatePair(false);
    }
  } else if (row == count - 1) {
    mCanMoveForward = false;
    InvalidatePair(false);
    if (!mCanMoveBack) {
      mCanMoveBack = true;
      InvalidatePair(true);
    }
  } else {
    if (!mCanMoveBack) {
      mCanMoveBack = true;
      InvalidatePair(true);
    }
    if (!mCanMoveForward) {
      mCanMoveForward = true;
      InvalidatePair(false);
    }
  }
  LoadBoundControls();
  if (mDelegate && mOwner) mDelegate->Reposition(mOwner, row);
}

bool DataControl::SaveBeforeMove() {
  // An edit the row did not take stays in the controls: moving on would throw it away.
  const bool saved = SaveRecord();
  // A Validate or Update handler that closed the window ends the move.
  return saved && mCursor && !IsClosing();
}

bool DataControl::OnRow() const { return mCursor && !cursorEOFGetter(mCursor, 0); }

void DataControl::MoveFirst() {
  // From no row (an empty result that rows were added to since) the first row lies ahead.
  if (!mCursor || (mRow <= 0 && (OnRow() || GetRecordCount() == 0))) return;
  if (!SaveBeforeMove()) return;
  mRow = 0;
  const dbCursorDefinition* engine = EngineOf(mCursor);
  if (engine && engine->firstRow)
    CursorMoveFirst(mCursor);
  else
    OpenCursor();
  SetPosition(0);
}

void DataControl::MovePrevious() {
  if (!mCursor || mRow <= 0) return;
  if (!SaveBeforeMove()) return;
  --mRow;
  const dbCursorDefinition* engine = EngineOf(mCursor);
  if (engine && engine->previousRow) {
    CursorMovePrev(mCursor);
  } else {
    OpenCursor();
    for (int32_t i = 0; i < mRow && mCursor; ++i) cursorMoveNext(mCursor);
  }
  SetPosition(mRow);
}

void DataControl::MoveNext() {
  if (!mCursor) return;
  const int32_t count = GetRecordCount();
  if (!SaveBeforeMove() || mRow >= count - 1) return;
  ++mRow;
  EndEdit();
  cursorMoveNext(mCursor);
  SetPosition(mRow);
}

void DataControl::MoveLast() {
  if (!mCursor) return;
  const int32_t last = GetRecordCount() - 1;
  // From past the end (after MoveTo beyond the last row) the last row lies behind; from no
  // row (an empty result that rows were added to since) it lies ahead.
  if (last < 0 || (mRow == last && OnRow())) return;
  if (!SaveBeforeMove()) return;
  const dbCursorDefinition* engine = EngineOf(mCursor);
  if (engine && engine->lastRow) {
    CursorMoveLast(mCursor);
  } else {
    int32_t at = mRow;
    if (at > last || !OnRow()) {
      OpenCursor();
      at = 0;
    }
    for (; at < last && mCursor; ++at) cursorMoveNext(mCursor);
  }
  mRow = last;
  SetPosition(last);
}

void DataControl::MoveTo(int32_t row) {
  if (!mCursor || row == mRow) return;
  if (!SaveBeforeMove()) return;
  OpenCursor();
  if (!mCursor) return;
  // The fresh cursor's end flag is left as it is: an empty result has no row to step over.
  EndEdit();
  int32_t steps = 0;
  while (steps < row && !cursorEOFGetter(mCursor, 0)) {
    cursorMoveNext(mCursor);
    ++steps;
  }
  mRow = steps;
  BeginEdit();
  SetPosition(mRow);
}

// --- mouse ---------------------------------------------------------------------------------

bool DataControl::ButtonPossible(int32_t button) const {
  return button == kNavFirst || button == kNavPrevious ? mCanMoveBack : mCanMoveForward;
}

int32_t DataControl::HitButton(int32_t x, int32_t y) const {
  for (int32_t button : {kNavFirst, kNavPrevious, kNavNext, kNavLast}) {
    if (PointInRect(x, y, NavButtonRect(mBounds, button))) return ButtonPossible(button) ? button : kNavNone;
  }
  return kNavNone;
}

void DataControl::InvalidateButton(int32_t button) {
  if (button != kNavNone) InvalidateRect(NavButtonRect(mBounds, button));
}

void DataControl::InvalidatePair(bool left) {
  InvalidateButton(left ? kNavFirst : kNavNext);
  InvalidateButton(left ? kNavPrevious : kNavLast);
}

void DataControl::ClearHover() {
  const int32_t hovered = mHoverButton;
  mHoverButton = kNavNone;
  InvalidateButton(hovered);
}

bool DataControl::MouseDown(int32_t x, int32_t y, int32_t) {
  mPressedButton = kNavNone;
  if (!mEnabled) return true;
  mPressedButton = HitButton(x, y);
  if (mPressedButton != kNavNone) {
    SetMouseCapturePane(this);
    InvalidateButton(mPressedButton);
  }
  return true;
}

void DataControl::MouseMove(int32_t x, int32_t y) {
  const int32_t button = mEnabled ? HitButton(x + mBounds.left, y + mBounds.top) : kNavNone;
  if (button == mHoverButton) return;
  ClearHover();
  mHoverButton = button;
  InvalidateButton(button);
}

void DataControl::MouseExit() { ClearHover(); }

void DataControl::MouseUp(int32_t x, int32_t y) {
  const int32_t pressed = mPressedButton;
  if (pressed != kNavNone && PointInRect(x, y, NavButtonRect(mBounds, pressed))) {
    // The handler may close the window: the owner is held across the move.
    RuntimeObject* owner = mOwner;
    RuntimeLockObject(owner);
    bool cancelled = false;
    switch (pressed) {
      case kNavFirst:
        cancelled = mDelegate && owner && mDelegate->MoveFirst(owner);
        if (!cancelled) DataControlMoveFirst(owner);
        break;
      case kNavPrevious:
        cancelled = mDelegate && owner && mDelegate->MovePrevious(owner);
        if (!cancelled) DataControlMovePrev(owner);
        break;
      case kNavNext:
        cancelled = mDelegate && owner && mDelegate->MoveNext(owner);
        if (!cancelled) DataControlMoveNext(owner);
        break;
      default:
        cancelled = mDelegate && owner && mDelegate->MoveLast(owner);
        if (!cancelled) DataControlMoveLast(owner);
        break;
    }
    // A handler that closed the window took this pane with it.
    const bool alive = owner && ControlPane(AsControl(owner)) == this;
    RuntimeUnlockObject(owner);
    if (!alive) return;
  }
  if (pressed != kNavNone) {
    mPressedButton = kNavNone;
    InvalidateButton(pressed);
  }
}

void DataControl::SetEnabled(bool enabled, bool redraw) {
  if (enabled == mEnabled) return;
  SubPane::SetEnabled(enabled, redraw);
  if (redraw) Invalidate();
}

bool DataControl::GetFocusRingRect(Rect* r) {
  if (r) *r = mBounds;
  return true;
}

// --- drawing -------------------------------------------------------------------------------

void DataControl::DrawInto(Graphics* port) {
  mDrawingInto = true;
  Draw(port);
  mDrawingInto = false;
}

void DataControl::Draw(Graphics* port) {
  if (!port || !IsVisible()) return;
  GraphicsState state;
  state.Save(port);
  port->SetTextFont(mFontName);
  port->SetTextSize(mFontSize);
  port->SetTextStyle(mStyleBits);
  const RGB48 frame{0x1313, 0x1313, 0x1313};
  port->SetForeColor(frame);
  for (int32_t button : {kNavFirst, kNavPrevious, kNavLast, kNavNext}) PaintButton(port, button);
  const int32_t b = NavButtonWidth(mBounds);
  Rect box = mBounds;
  box.left = static_cast<int16_t>(mBounds.left + 2 * b - 2);
  box.right = static_cast<int16_t>(mBounds.right - 2 * b + 2);
  port->SetForeColor(frame);
  port->DrawRect(box);
  Rect inside = box;
  inside.top = static_cast<int16_t>(inside.top + 1);
  inside.left = static_cast<int16_t>(inside.left + 1);
  inside.bottom = static_cast<int16_t>(inside.bottom - 1);
  inside.right = static_cast<int16_t>(inside.right - 1);
  port->SetForeColor(RGB48{0xFFFF, 0xFFFF, 0xFFFF});
  port->FillRect(inside);
  DrawCaption(port);
  state.Restore();
}

void DataControl::DrawCaption(Graphics* port) {
  if (mCaption.IsEmpty()) return;
  auto channel = [&](int shift) { return static_cast<uint32_t>((mTextColor >> shift) & 0xFF) * 257; };
  uint32_t c[3] = {channel(16), channel(8), channel(0)};
  if (!(mEnabled && mActive)) {
    for (uint32_t& v : c) v = (v + 0x18000) >> 2;
  }
  port->SetForeColor(RGB48{static_cast<uint16_t>(c[0]), static_cast<uint16_t>(c[1]), static_cast<uint16_t>(c[2])});
  const int32_t ascent = port->FontAscent();
  const int32_t descent = port->FontDescent();
  const int32_t baseline = mBounds.top + ascent + (mBounds.Height() - (ascent + descent)) / 2;
  const int32_t b = NavButtonWidth(mBounds);
  const int32_t x0 = mBounds.left + 2 * b + 5;
  const int32_t x = NavCaptionX(mBounds, mTextAlign, port->StringWidth(mCaption));
  DrawCondensedString(port, mCaption, x, baseline, mBounds.right - 2 * b - x0 - 5, EllipsisString(), 0);
}

void DataControl::PaintButton(Graphics* port, int32_t button) {
  if (!mWidget) return;
  if (!GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  if (!drawable || !gtk_widget_get_window(mWidget)) return;
  GtkStateType state = GTK_STATE_NORMAL;
  if (button == mPressedButton)
    state = GTK_STATE_ACTIVE;
  else if (!mEnabled || !ButtonPossible(button))
    state = GTK_STATE_INSENSITIVE;
  else if (button == mHoverButton)
    state = GTK_STATE_PRELIGHT;
  const Rect device = gtkPort->ToDeviceRect(NavButtonRect(mBounds, button));
  if (device.Width() < 1 || device.Height() < 1) return;
  GdkRectangle clip{device.left, device.top, device.Width(), device.Height()};
  gtk_paint_box(gtk_widget_get_style(mWidget), reinterpret_cast<GdkWindow*>(drawable), state, GTK_SHADOW_OUT, &clip,
                mWidget, nullptr, device.left, device.top, device.Width(), device.Height());
  // The stock icons are rendered once; their common size is the first one's.
  static GdkPixbuf* icons[4] = {};
  static int iconWidth = 0, iconHeight = 0;
  if (!icons[0]) {
    for (int i = 0; i < 4; ++i) icons[i] = gtk_widget_render_icon(mWidget, kIconNames[i], GTK_ICON_SIZE_MENU, nullptr);
    if (icons[0]) {
      iconWidth = gdk_pixbuf_get_width(icons[0]);
      iconHeight = gdk_pixbuf_get_height(icons[0]);
    }
  }
  GdkPixbuf* icon = icons[button - 1];
  const int innerWidth = device.Width() - 6;
  const int innerHeight = device.Height() - 6;
  if (!icon || iconWidth <= 0 || iconHeight <= 0 || innerWidth <= 0 || innerHeight <= 0) return;
  GdkPixbuf* scaled = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, innerWidth, innerHeight);
  if (!scaled) return;
  gdk_pixbuf_fill(scaled, 0);
  gdk_pixbuf_scale(icon, scaled, 0, 0, innerWidth, innerHeight, 0, 0, double(innerWidth) / iconWidth,
                   double(innerHeight) / iconHeight, GDK_INTERP_BILINEAR);
  gdk_draw_pixbuf(drawable, gtkPort->GetGC(), scaled, 0, 0, device.left + 3, device.top + 3, innerWidth, innerHeight,
                  GDK_RGB_DITHER_NONE, 0, 0);
  g_object_unref(scaled);
}

}  // namespace vorn
