#include "windows/pane_port.h"

#include <gtk/gtk.h>

#include "graphics/graphics_gtk.h"
#include "windows/gtk_pane_support.h"
#include "windows/window.h"

namespace vorn {

namespace {

GdkWindow* ToplevelGdkWindow(Window* window) {
  if (!window || !window->GtkWindowWidget()) return nullptr;
  return gtk_widget_get_window(window->GtkWindowWidget());
}

GdkWindow* PaneGdkWindow(SubPane* pane) {
  if (!pane) return nullptr;
  if (pane->IsWindow()) return ToplevelGdkWindow(static_cast<Window*>(pane));
  NativeWidget widget = pane->Widget();
  if (widget && gtk_widget_get_window(widget)) return gtk_widget_get_window(widget);
  // A pane without widget of its own draws where its window draws.
  return ToplevelGdkWindow(pane->GetWindow());
}

Graphics* NewPortForPane(Pane* pane) {
  auto* sub = dynamic_cast<SubPane*>(pane);
  if (!sub) return nullptr;
  Graphics* port = NewGraphics(new PaneGraphicsTarget(sub));
  if (port) port->SetOwnsPane(true);
  return port;
}

void SetPortFont(Graphics* port, const string& font) { port->SetTextFont(font); }
void SetPortSize(Graphics* port, int32_t size) { port->SetTextSize(size); }
void SetPortStyle(Graphics* port, uint8_t style) { port->SetTextStyle(style); }
void SetPortClip(Graphics* port, const Rect& clip) { port->SetClipRect(clip); }
Rect GetPortClip(Graphics* port) {
  const Rect* clip = port->GetClipRect();
  return clip ? *clip : MakeRect(-32767, -32767, 32767, 32767);
}
void ClearPortRect(Graphics* port, const Rect& r) { port->ClearRect(r); }

}  // namespace

_GdkDrawable* PaneGraphicsTarget::GetGdkDrawable() {
  GdkWindow* w = PaneGdkWindow(mPane.Get());
  return w ? GDK_DRAWABLE(w) : nullptr;
}

_GdkGC* PaneGraphicsTarget::NewGC() {
  SubPane* pane = mPane.Get();
  if (!pane) return nullptr;
  if (pane->Widget() && gtk_widget_get_window(pane->Widget())) return pane->NewGC();
  Window* window = pane->GetWindow();
  return window ? window->NewGC() : nullptr;
}

Rect PaneGraphicsTarget::GetPaneBounds() const {
  SubPane* pane = mPane.Get();
  return pane ? pane->Bounds() : Rect{};
}

TargetPlacement PaneGraphicsTarget::Placement() const {
  SubPane* pane = mPane.Get();
  if (!pane) return TargetPlacement::kOffscreen;
  if (pane->IsWindow()) return TargetPlacement::kWindow;
  GdkWindow* own = PaneGdkWindow(pane);
  GdkWindow* top = ToplevelGdkWindow(pane->GetWindow());
  return own && top && own != top ? TargetPlacement::kOwnGdkWindow : TargetPlacement::kInWindow;
}

int32_t PaneGraphicsTarget::MenuBarHeight() const {
  SubPane* pane = mPane.Get();
  return pane ? GetMenuBarHeight(pane->IsWindow() ? static_cast<Window*>(pane) : pane->GetWindow())
              : 0;
}

WindowBackground PaneGraphicsTarget::GetWindowBackground() const {
  WindowBackground background;
  SubPane* pane = mPane.Get();
  Window* window = pane ? (pane->IsWindow() ? static_cast<Window*>(pane) : pane->GetWindow()) : nullptr;
  if (!window) return background;
  background.inWindow = true;
  background.hasBackColor = window->HasBackColor();
  background.backColor = window->BackColor();
  return background;
}

_GtkWidget* PaneGraphicsTarget::GetWidget() {
  SubPane* pane = mPane.Get();
  return pane ? pane->Widget() : nullptr;
}

void PaneGraphicsTarget::Erase() {
  if (SubPane* pane = mPane.Get()) pane->Erase();
}

void EnsurePanePorts() {
  static bool installed = false;
  if (installed || GetPanePortHooks().newGraphics) return;
  installed = true;
  PanePortHooks hooks;
  hooks.newGraphics = &NewPortForPane;
  hooks.disposeGraphics = &DisposeGraphics;
  hooks.setTextFont = &SetPortFont;
  hooks.setTextSize = &SetPortSize;
  hooks.setTextStyle = &SetPortStyle;
  hooks.setClipRect = &SetPortClip;
  hooks.getClipRect = &GetPortClip;
  hooks.clearRect = &ClearPortRect;
  SetPanePortHooks(hooks);
}

_GdkDrawable* PortDrawable(Graphics* port) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  return gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
}

}  // namespace vorn
