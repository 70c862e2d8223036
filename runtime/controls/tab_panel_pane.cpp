#include <gtk/gtk.h>

#include <algorithm>
#include <vector>

#include "windows/pane_port.h"
#include "controls/panel_panes.h"
#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "strings/mnemonics.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"

namespace vorn {

namespace {

// One flag for the whole process: selecting a tab from inside the notebook's own page switch
// (or from code) emits "switch-page" again, which must not select once more.
bool sInPageSwitch = false;

void OnSwitchPage(GtkNotebook*, gpointer, guint page, gpointer data) {
  static_cast<TabPanel*>(data)->PageSwitched(static_cast<int32_t>(page));
}

GtkNotebook* Notebook(NativeWidget widget) { return widget ? GTK_NOTEBOOK(widget) : nullptr; }

string LabelText(NativeWidget label) {
  const char* text = label && GTK_IS_LABEL(label) ? gtk_label_get_text(GTK_LABEL(label)) : nullptr;
  return text ? string(std::string_view(text), kEncodingUTF8) : string();
}

}  // namespace

TabPanel* NewTabPanel(TabPanelDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                      int32_t tabPanelIndex, const Rect& bounds, int32_t facing, RuntimeObject* control) {
  return new TabPanel(delegate, style, parent, tabPanelIndex, bounds, facing, control);
}

TabPanel::TabPanel(TabPanelDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
                   const Rect& bounds, int32_t facing, RuntimeObject* control)
    : PanelPane(parent, tabPanelIndex, bounds, control), mTabDelegate(delegate) {
  EnsurePanePorts();
  SetWidget(gtk_notebook_new());
  AddPaneToWindow(this, true);
  SetTextStyle(style);
  SetFacing(facing);
  g_signal_connect(mWidget, "switch-page", G_CALLBACK(OnSwitchPage), this);
}

TabPanel::~TabPanel() {
  // The widget outlives the pane by a moment while GTK lets go of it.
  if (mWidget) g_signal_handlers_disconnect_by_func(mWidget, reinterpret_cast<gpointer>(&OnSwitchPage), this);
}

void TabPanel::SetFacing(int32_t code) {
  static const GtkPositionType kPositions[] = {GTK_POS_TOP, GTK_POS_BOTTOM, GTK_POS_RIGHT, GTK_POS_LEFT};
  mFacing = code;
  if (code >= 0 && code < 4 && mWidget) gtk_notebook_set_tab_pos(Notebook(mWidget), kPositions[code]);
}

void TabPanel::SetTextStyle(const vorn::TextStyle& style) {
  mStyle.Assign(style);
  for (int32_t i = 0, n = GetTabCount(); i < n; ++i) SetWidgetFont(TabLabel(i), mStyle);
}

NativeWidget TabPanel::TabLabel(int32_t index) {
  if (!mWidget || index < 0 || index >= GetTabCount()) return nullptr;
  GtkWidget* page = gtk_notebook_get_nth_page(Notebook(mWidget), index);
  return page ? gtk_notebook_get_tab_label(Notebook(mWidget), page) : nullptr;
}

void TabPanel::AppendTab(const string& caption) {
  if (!mWidget) return;
  GtkWidget* page = gtk_fixed_new();
  GtkWidget* label = gtk_label_new("");
  SetLabelCaption(label, caption, &mStyle);
  SetWidgetFont(label, mStyle);
  gtk_widget_show(page);
  gtk_widget_show(label);
  bool saved = sInPageSwitch;
  sInPageSwitch = true;  // the first tab becomes current without the user choosing it
  gtk_notebook_append_page(Notebook(mWidget), page, label);
  sInPageSwitch = saved;
}

void TabPanel::InsertTab(int32_t index, const string& caption) {
  const int32_t shown = CurrentPage();  // 0 without tabs
  AppendTab(caption);
  const int32_t count = GetTabCount();
  if (index < 0 || index > count) return;
  for (int32_t i = count - 1; i > index; --i) SetTabCaption(i, GetTabCaption(i - 1));
  SetTabCaption(index, caption);
  Invalidate();
  ShiftPagesForInsert(index);
  if (shown > 0 && index < shown) {
    // The tab shown stays shown, one place on; the user chose nothing, so no Change.
    ShowPage(shown + 1);
  } else if (index == CurrentPage() - 1) {
    ApplyPages();
  }
}

void TabPanel::RemoveTab(int32_t index) {
  if (!mWidget || index < 0 || index >= GetTabCount()) return;
  ClosePageAndShift(index);
  const int32_t current = CurrentPage() - 1;
  bool saved = sInPageSwitch;
  sInPageSwitch = true;
  gtk_notebook_remove_page(Notebook(mWidget), index);
  sInPageSwitch = saved;
  const int32_t count = GetTabCount();
  if (count > 0 && index == current) {
    ApplyPages();
    SelectPage(std::min(index, count - 1) + 1);
  } else if (index < current) {
    ApplyPages();  // the notebook kept the shown tab, whose controls now have its new number
  }
}

void TabPanel::SetTabCaption(int32_t index, const string& caption) {
  if (NativeWidget label = TabLabel(index)) SetLabelCaption(label, caption, &mStyle);
}

string TabPanel::GetTabCaption(int32_t index) { return LabelText(TabLabel(index)); }

int32_t TabPanel::GetTabCount() { return mWidget ? gtk_notebook_get_n_pages(Notebook(mWidget)) : 0; }

int32_t TabPanel::CurrentPage() {
  return mWidget ? gtk_notebook_get_current_page(Notebook(mWidget)) + 1 : 0;
}

void TabPanel::ShowPage(int32_t page) {
  if (mWidget) {
    bool saved = sInPageSwitch;
    sInPageSwitch = true;
    gtk_notebook_set_current_page(Notebook(mWidget), page - 1);
    sInPageSwitch = saved;
  }
  ApplyPages();
}

void TabPanel::SelectPage(int32_t page) {
  ShowPage(page);
  if (TabPanelDelegate* delegate = Delegate()) delegate->Change(this);
}

void TabPanel::PageSwitched(int32_t page) {
  if (sInPageSwitch) return;
  sInPageSwitch = true;
  SelectPage(page + 1);
  sInPageSwitch = false;
}

int32_t TabPanel::TabAt(int32_t x, int32_t y) {
  Graphics* port = GetGraphics();
  if (!port) return -1;
  port->SetTextFontFrom(mStyle);
  const int32_t strip = port->TextHeight() + 10;
  int32_t result = -1;
  const bool inStrip = (mFacing == 0 && y <= strip) || (mFacing == 1 && y >= mHeight - strip);
  if (inStrip) {
    int32_t left = 0;
    for (int32_t i = 0, n = GetTabCount(); i < n; ++i) {
      const int32_t right = left + port->StringWidth(StripAmpersandsCopy(GetTabCaption(i))) + 10;
      if (x >= left && x <= right) {
        result = i;
        break;
      }
      left = right + 1;
    }
  }
  DisposePaneGraphics(port);
  return result;
}

bool TabPanel::CanFocus() { return mEnabled && IsDisplayed(); }

void TabPanel::GotFocus() {
  if (TabPanelDelegate* delegate = Delegate()) delegate->GotFocus(this);
}

void TabPanel::LostFocus() {
  if (TabPanelDelegate* delegate = Delegate()) delegate->LostFocus(this);
}

void TabPanel::DrawInto(Graphics* port) {
  if (!port || !mWidget) return;
  if (!GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  auto* target = gtkPort ? reinterpret_cast<GdkWindow*>(gtkPort->GetGdkDrawable()) : nullptr;
  if (target && GTK_WIDGET_REALIZED(mWidget)) {
    port->SetTextFontFrom(mStyle);
    const int32_t strip = port->TextHeight() + 10;
    const int32_t ascent = port->FontAscent();
    Rect box = mBounds;
    if (mFacing == 0) box.top = static_cast<int16_t>(box.top + strip);
    if (mFacing == 1) box.bottom = static_cast<int16_t>(box.bottom - strip);
    GtkStyle* style = gtk_widget_get_style(mWidget);
    const GtkPositionType gapSide = mFacing == 1 ? GTK_POS_TOP : GTK_POS_BOTTOM;
    const int32_t current = CurrentPage() - 1;
    int32_t left = mBounds.left, currentLeft = left, currentWidth = 0;
    for (int32_t i = 0, n = GetTabCount(); i < n; ++i) {
      string caption = StripAmpersandsCopy(GetTabCaption(i));
      const int32_t width = port->StringWidth(caption) + 11;
      const int32_t shift = i == current ? 0 : (mFacing == 0 ? 2 : (mFacing == 1 ? -2 : 0));
      const int32_t top = (mFacing == 1 ? box.bottom : mBounds.top) + shift;
      Rect tab = gtkPort->ToDeviceRect(MakeRect(left, top, left + width, top + strip));
      gtk_paint_extension(style, target, i == current ? GTK_STATE_NORMAL : GTK_STATE_ACTIVE, GTK_SHADOW_OUT,
                          nullptr, mWidget, "tab", tab.left, tab.top, tab.Width(), tab.Height(), gapSide);
      port->DrawText(caption, left + 5, top + 5 + ascent, 0);
      if (i == current) {
        currentLeft = left;
        currentWidth = width;
      }
      left += width;
    }
    Rect page = gtkPort->ToDeviceRect(box);
    gtk_paint_box_gap(style, target, GTK_STATE_NORMAL, GTK_SHADOW_OUT, nullptr, mWidget, "notebook", page.left,
                      page.top, page.Width(), page.Height(), mFacing == 1 ? GTK_POS_BOTTOM : GTK_POS_TOP,
                      currentLeft - mBounds.left, currentWidth);
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
