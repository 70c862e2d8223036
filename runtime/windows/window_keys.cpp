// Window: key handling, tab navigation and the focus pane of a window.
#include <gtk/gtk.h>

#include <algorithm>

#include "windows/edit_control_queries.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {

constexpr uint8_t kCharTab = 9;
constexpr uint8_t kCharReturn = 13;
constexpr uint8_t kCharEnter = 3;
constexpr uint8_t kCharEscape = 27;

bool IsTextWidget(NativeWidget widget) {
  if (!widget) return false;
  if (GTK_IS_ENTRY(widget)) return true;
  if (!GTK_IS_SCROLLED_WINDOW(widget)) return false;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  bool found = false;
  for (GList* l = children; l && !found; l = l->next) found = GTK_IS_TEXT_VIEW(l->data);
  g_list_free(children);
  return found;
}

}  // namespace

bool Window::KeyDown(int32_t, int32_t, int32_t) { return false; }

bool Window::KeyDownInParent(int32_t, int32_t, int32_t) {
  // No key counts as the cancel key on this platform, so the cancel button is never pushed here.
  return false;
}

bool Window::HandleKeyPress(uint32_t keyval, uint32_t state) {
  // Whatever the key's handlers close, this window and the focus pane last the call out.
  DispatchScope dispatch;
  if (mClosing) return true;
  int32_t modifiers = ModifiersFromGdkState(state);
  SetLastEventModifiers(modifiers);
  if (keyval >= 0xFFE1 && keyval <= 0xFFE6) return false;
  if (keyval == 0xFFE9 || keyval == 0xFFEA) {
    SetLastEventModifiers(modifiers | kModifierOption);
    return false;
  }
  SubPane* focus = vorn::GetFocusPane();
  // Shift+F10 and the Menu key ask for the contextual menu of the focus, as a right click would.
  if ((keyval == 0xFFC7 && modifiers == kModifierShift) || (keyval == 0xFF67 && modifiers == 0)) {
    int32_t x = focus ? focus->Bounds().left : 0;
    int32_t y = focus ? focus->Bounds().top : 0;
    if (ContextualMenuAt(x, y)) return true;
  }

  uint8_t character = KeyValueToCharCode(keyval);
  int32_t keyCode = static_cast<int32_t>(keyval & 0xFF);
  bool countAsHandled = false;
  if (GetWindowLayerHooks().dispatchMenuShortcut) {
    // Character codes of Latin-1 keys are their code points.
    char text[2] = {static_cast<char>(character), 0};
    int32_t length = 1;
    if (character >= 0x80) {
      text[0] = static_cast<char>(0xC0 | (character >> 6));
      text[1] = static_cast<char>(0x80 | (character & 0x3F));
      length = 2;
    }
    string key(text, length, kEncodingUTF8);
    if (GetWindowLayerHooks().dispatchMenuShortcut(this, key, modifiers, &countAsHandled)) return true;
    // The menu enabling pass runs handlers: they may have closed this window or moved the focus.
    if (mClosing) return true;
    focus = vorn::GetFocusPane();
  }

  // Disabling takes the focus away; a focus inside a container disabled since hears nothing,
  // and its widget must not take the key either.
  const bool deafFocus = focus && focus != this && !focus->HearsInput();
  if (focus && focus != this && !deafFocus) {
    if (focus->KeyDown(character, keyCode, modifiers)) return true;
    if (mClosing) return true;
    if (IsTextWidget(focus->Widget())) {
      auto* edit = dynamic_cast<EditControlQueries*>(focus);
      bool readOnly = edit && edit->IsReadOnly();
      if (!readOnly) {
        if (character != kCharTab) return false;
        if (!edit || edit->AcceptsTab()) return false;
      }
    }
  }

  if (KeyDown(character, keyCode, modifiers)) return true;

  bool handled = false;
  if (character == kCharTab && !(modifiers & (kModifierControl | kModifierOption | kModifierCommand))) {
    handled = HandleTabKey(modifiers);
  } else if (character == kCharReturn || character == kCharEnter) {
    if (SubPane* button = FindDefaultButton()) {
      button->Press();
      handled = true;
    }
  } else if (character == kCharEscape) {
    if (SubPane* button = FindCancelButton()) {
      button->Press();
      handled = true;
    }
  }
  return handled || countAsHandled || deafFocus;
}

bool Window::HandleTabKey(int32_t modifiers) {
  if (gTabNavigationDisabled) return false;
  SubPane* focus = vorn::GetFocusPane();
  SubPane* found = nullptr;
  if (focus) {
    // The cycle is the window first, then its panes in creation order, wrapping at both ends.
    std::vector<SubPane*> cycle;
    cycle.push_back(this);
    cycle.insert(cycle.end(), mPanes.begin(), mPanes.end());
    auto at = std::find(cycle.begin(), cycle.end(), focus->GetOwner());
    if (at == cycle.end()) return false;
    size_t n = cycle.size();
    size_t index = static_cast<size_t>(at - cycle.begin());
    bool backwards = (modifiers & kModifierShift) != 0;
    for (size_t step = 1; step < n; ++step) {
      size_t i = backwards ? (index + n - step) % n : (index + step) % n;
      if (cycle[i]->CanFocus()) {
        found = cycle[i];
        break;
      }
    }
  } else if (CanFocus()) {
    found = this;
  } else {
    for (SubPane* pane : mPanes) {
      if (pane->CanFocus()) {
        found = pane;
        break;
      }
    }
  }
  if (!found || found == focus) return false;
  found->WillTakeTabFocus();
  found->SetFocus();
  return true;
}

SubPane* Window::GetFocusPane() {
  if (mFocusPane && mFocusPane->IsDisplayed()) return mFocusPane;
  mFocusPane = nullptr;
  for (SubPane* pane : mPanes) {
    if (pane->CanFocus()) return pane;
  }
  return this;
}

SubPane* Window::PreviousFocusPane(SubPane* pane) {
  SubPane* owner = pane ? pane->GetOwner() : nullptr;
  auto at = std::find(mPanes.begin(), mPanes.end(), owner);
  if (at == mPanes.end()) at = mPanes.begin();
  for (auto it = at; it != mPanes.begin();) {
    --it;
    if ((*it)->CanFocus()) return *it;
  }
  for (auto it = mPanes.end(); it != at;) {
    --it;
    if (it != at && (*it)->CanFocus()) return *it;
  }
  return nullptr;
}

SubPane* Window::NextFocusPane(SubPane* pane) {
  SubPane* owner = pane ? pane->GetOwner() : nullptr;
  auto at = std::find(mPanes.begin(), mPanes.end(), owner);
  auto start = at == mPanes.end() ? mPanes.begin() : at + 1;
  for (auto it = start; it != mPanes.end(); ++it) {
    if ((*it)->CanFocus()) return *it;
  }
  for (auto it = mPanes.begin(); it != start && it != mPanes.end(); ++it) {
    if (it != at && (*it)->CanFocus()) return *it;
  }
  return nullptr;
}

void Window::Activate() {
  SubPane::Activate();
  if (mKind == 1 || mKind == 7) return;
  SetFocusPane(GetFocusPane());
}

void Window::Deactivate() {
  // Only the runtime's focus goes: the GtkWindow keeps its focus widget, so typing goes on
  // where it was when the window comes back.
  SubPane* focus = vorn::GetFocusPane();
  if (focus && focus->GetWindow() == this) SetFocusPane(nullptr);
}

}  // namespace vorn
