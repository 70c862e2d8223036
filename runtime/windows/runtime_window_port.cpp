#include "windows/runtime_window_port.h"

#include <gtk/gtk.h>

#include "windows/gtk_pane_support.h"
#include "windows/window.h"

namespace vorn {

namespace {

class PaneTarget : public GraphicsTarget {
 public:
  explicit PaneTarget(SubPane* pane) : mPane(pane) {}

  _GdkDrawable* GetGdkDrawable() override { return mPane->GetGdkDrawable(); }
  _GdkGC* NewGC() override { return mPane->NewGC(); }
  Rect GetPaneBounds() const override { return mPane->Bounds(); }

  TargetPlacement Placement() const override {
    if (mPane->IsWindow()) return TargetPlacement::kWindow;
    Window* window = mPane->GetWindow();
    NativeWidget own = mPane->Widget();
    NativeWidget top = window ? window->GtkWindowWidget() : nullptr;
    GdkWindow* ownWindow = own ? gtk_widget_get_window(own) : nullptr;
    if (ownWindow && top && ownWindow != gtk_widget_get_window(top)) return TargetPlacement::kOwnGdkWindow;
    return TargetPlacement::kInWindow;
  }

  int32_t MenuBarHeight() const override {
    Window* window = mPane->GetWindow();
    return window && window->HasMenuBar() ? GetMenuBarHeight(window) : 0;
  }

  WindowBackground GetWindowBackground() const override {
    WindowBackground background;
    if (Window* window = mPane->GetWindow()) {
      background.inWindow = true;
      background.hasBackColor = window->HasBackColor();
      background.backColor = window->BackColor();
    }
    return background;
  }

  _GtkWidget* GetWidget() override { return mPane->Widget(); }

 private:
  SubPane* mPane;
};

Graphics* NewPortForPane(Pane* pane) { return NewPanePort(dynamic_cast<SubPane*>(pane)); }

}  // namespace

Graphics* NewPanePort(SubPane* pane) {
  if (!pane) return nullptr;
  return NewGraphics(new PaneTarget(pane));
}

void DisposePanePort(Graphics* port) {
  if (!port) return;
  GraphicsTarget* target = port->Target();
  DisposeGraphics(port);
  delete dynamic_cast<PaneTarget*>(target);
}

void InstallPanePortHooks() {
  if (GetPanePortHooks().newGraphics) return;
  PanePortHooks hooks;
  hooks.newGraphics = &NewPortForPane;
  hooks.disposeGraphics = &DisposePanePort;
  hooks.setTextFont = [](Graphics* port, const string& font) { port->SetTextFont(font); };
  hooks.setTextSize = [](Graphics* port, int32_t size) { port->SetTextSize(size); };
  hooks.setTextStyle = [](Graphics* port, uint8_t style) { port->SetTextStyle(style); };
  hooks.setClipRect = [](Graphics* port, const Rect& clip) { port->SetClipRect(clip); };
  hooks.getClipRect = [](Graphics* port) {
    const Rect* clip = port->GetClipRect();
    return clip ? *clip : MakeRect(-32768, -32768, 32767, 32767);
  };
  hooks.clearRect = [](Graphics* port, const Rect& r) { port->ClearRect(r); };
  SetPanePortHooks(hooks);
}

}  // namespace vorn
