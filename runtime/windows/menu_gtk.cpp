#include "windows/menu_gtk.h"

#include <gtk/gtk.h>

#include "graphics/text_style.h"
#include "objects/runtime_object.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_window_order.h"
#include "windows/menu_enabling.h"
#include "windows/menu_routing.h"
#include "windows/pane_assert.h"
#include "windows/window.h"

namespace vorn {

namespace {

constexpr const char* kMenuGtkSource = "../Common/Linux/XMenuGTK.cpp";
// Items of a menu in which something is checked move right to make room for the mark.
constexpr const char* kCheckIndent = "    ";
constexpr int32_t kCheckMarkWidth = 20;

struct ShortcutRecord {
  XMenuGTK* node = nullptr;
  string key;
  uint32_t modifiers = 0;
};

GtkAccelGroup* sAccelGroup = nullptr;

MenuVector<ShortcutRecord>& Shortcuts() {
  static MenuVector<ShortcutRecord> table;
  return table;
}

void RegisterShortcut(XMenuGTK* node, const string& key, uint32_t modifiers) {
  Shortcuts().Append(ShortcutRecord{node, key, modifiers});
}

void UnregisterShortcuts(XMenuGTK* node) {
  MenuVector<ShortcutRecord>& table = Shortcuts();
  for (uint32_t i = 0; i < table.Count(); ++i) {
    if (table[i].node == node) {
      table.RemoveAt(i);
      return;
    }
  }
}

// The widgets of a node stay alive as long as the node, whoever else holds them.
NativeWidget Keep(NativeWidget widget) {
  g_object_ref_sink(widget);
  return widget;
}

// The last character of a shortcut text and its key value; 0 for an empty text.
uint32_t LastCharacterKey(const string& text, string* character) {
  string utf8 = text.ToUTF8();
  if (utf8.IsEmpty()) return 0;
  const char* begin = utf8.CString();
  const char* last = g_utf8_find_prev_char(begin, begin + utf8.Length());
  if (!last) last = begin;
  *character = string(last, static_cast<int32_t>(begin + utf8.Length() - last), kEncodingUTF8);
  return gdk_unicode_to_keyval(g_utf8_get_char_validated(last, begin + utf8.Length() - last));
}

void OnItemActivate(GtkMenuItem*, gpointer data) { static_cast<XMenuGTK*>(data)->Activated(); }

gboolean OnItemExpose(GtkWidget*, GdkEventExpose* event, gpointer data) {
  return static_cast<XMenuGTK*>(data)->Exposed(event);
}

}  // namespace

uint32_t ShortcutModifiers(const string& commandKey) {
  if (commandKey.IsEmpty()) return 0;
  std::string folded = FoldName(commandKey.View());
  uint32_t mask = GDK_CONTROL_MASK;
  auto has = [&](const char* word) { return folded.find(FoldName(word)) != std::string::npos; };
  if (has("shift") || has("shft")) mask |= GDK_SHIFT_MASK;
  if (has("option") || has("alt")) mask |= GDK_MOD1_MASK;
  return mask;
}

int32_t ShortcutRecordCount() { return static_cast<int32_t>(Shortcuts().Count()); }

// --- construction --------------------------------------------------------------------------

XMenuGTK::XMenuGTK(bool isMenuBar) : mSource(this), mIsMenuBar(isMenuBar ? 1 : 0) {
  if (!sAccelGroup) sAccelGroup = gtk_accel_group_new();
  if (isMenuBar) mMenuBarWidget = Keep(gtk_menu_bar_new());
  mMenuWidget = Keep(gtk_menu_new());
  gtk_menu_set_accel_group(GTK_MENU(mMenuWidget), sAccelGroup);
  ReplaceItemWidget(gtk_menu_item_new_with_label(""));
}

XMenuGTK::~XMenuGTK() {
  UnregisterShortcuts(this);
  // Clones of a source that goes stand on their own from now on.
  if (mSource == this) {
    for (XMenuGTK* clone : mClones) clone->mSource = clone;
  }
  DetachFromSource();
  // Child nodes are clones placed under this node: they go with it.
  for (XMenuGTK* child : mChildNodes) {
    if (child) {
      child->mParent = nullptr;
      delete child;
    }
  }
  if (mItemWidget) {
    g_signal_handlers_disconnect_matched(mItemWidget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    g_object_unref(mItemWidget);
  }
  if (mMenuWidget) {
    gtk_widget_destroy(mMenuWidget);
    g_object_unref(mMenuWidget);
  }
  if (mMenuBarWidget) g_object_unref(mMenuBarWidget);
}

template <typename Step>
void XMenuGTK::ForSourceAndClones(Step step) {
  XMenuGTK* source = GetSourceNode();
  step(source);
  // A step may run compiled code that changes the list: walk it by index.
  for (uint32_t i = 0; i < source->mClones.Count(); ++i) step(source->mClones[i]);
}

XMenuGTK* XMenuGTK::GetSourceNode() {
  XMenuGTK* node = this;
  while (node->mSource != node) node = node->mSource;
  return node;
}

XMenuGTK* XMenuGTK::ChildNodeAt(int32_t position) const {
  if (position < 0 || position >= static_cast<int32_t>(mChildNodes.Count())) return nullptr;
  return mChildNodes[static_cast<uint32_t>(position)];
}

void XMenuGTK::AttachAccelGroup(Window* window) {
  mWindow = window;
  if (!window || !window->GtkWindowWidget()) return;
  GSList* groups = gtk_accel_groups_from_object(G_OBJECT(window->GtkWindowWidget()));
  if (!g_slist_find(groups, sAccelGroup)) gtk_window_add_accel_group(GTK_WINDOW(window->GtkWindowWidget()), sAccelGroup);
}

// --- flags and texts -----------------------------------------------------------------------

void XMenuGTK::EnableHere() {
  mEnabled = 1;
  if (mIsSeparator) return;
  if (mParent && !mParent->IsEnabled()) mParent->Enable();
  gtk_widget_set_sensitive(mItemWidget, TRUE);
}

void XMenuGTK::DisableHere() {
  mEnabled = 0;
  // The titles of a menu bar stay sensitive so their menus still open.
  if (IsInMenuBar() || mIsSeparator) return;
  gtk_widget_set_sensitive(mItemWidget, FALSE);
}

void XMenuGTK::Enable() {
  ForSourceAndClones([](XMenuGTK* node) { node->EnableHere(); });
}

void XMenuGTK::Disable() {
  ForSourceAndClones([](XMenuGTK* node) { node->DisableHere(); });
}

void XMenuGTK::SetText(const string& text) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mText = text;
    node->RefreshItemWidget();
  });
}

void XMenuGTK::SetIndex(int32_t index) {
  ForSourceAndClones([&](XMenuGTK* node) { node->mIndex = index; });
}

void XMenuGTK::SetTag(RuntimeObject* tag) {
  ForSourceAndClones([&](XMenuGTK* node) { node->Menu::SetTag(tag); });
}

void XMenuGTK::SetChecked(bool checked) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mChecked = checked ? 1 : 0;
    if (node->mIsSeparator) return;
    if (node->mParent) {
      node->mParent->RefreshCheckIndent();
    } else {
      node->RefreshItemWidget();
    }
    if (node->mItemWidget) gtk_widget_queue_draw(node->mItemWidget);
  });
}

void XMenuGTK::SetVisible(bool visible) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mVisible = visible ? 1 : 0;
    if (visible) {
      gtk_widget_show(node->mItemWidget);
    } else {
      gtk_widget_hide(node->mItemWidget);
    }
  });
}

void XMenuGTK::SetCommandKey(const string& key) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mCommandKey = key;
    node->RefreshItemWidget();
  });
}

void XMenuGTK::SetBold(bool bold) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mBold = bold ? 1 : 0;
    node->ApplyLabelStyle();
  });
}

void XMenuGTK::SetItalic(bool italic) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mItalic = italic ? 1 : 0;
    node->ApplyLabelStyle();
  });
}

void XMenuGTK::SetUnderline(bool underline) {
  ForSourceAndClones([&](XMenuGTK* node) {
    node->mUnderline = underline ? 1 : 0;
    node->ApplyLabelStyle();
  });
}

void XMenuGTK::RefreshCheckIndent() {
  for (XMenuGTK* child : mChildNodes) {
    if (child && !child->mIsSeparator) child->RefreshItemWidget();
  }
}

void XMenuGTK::ReplaceItemWidget(NativeWidget widget) {
  NativeWidget old = mItemWidget;
  GtkWidget* container = nullptr;
  gint position = -1;
  if (old) {
    g_signal_handlers_disconnect_matched(old, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    if (gtk_menu_item_get_submenu(GTK_MENU_ITEM(old))) gtk_menu_item_set_submenu(GTK_MENU_ITEM(old), nullptr);
    container = gtk_widget_get_parent(old);
    if (container) {
      GList* children = gtk_container_get_children(GTK_CONTAINER(container));
      position = g_list_index(children, old);
      g_list_free(children);
      gtk_container_remove(GTK_CONTAINER(container), old);
    }
    g_object_unref(old);
  }
  // The accelerators went with the old widget.
  mAccelKey = mAccelMods = 0;
  mItemWidget = Keep(widget);
  g_signal_connect(mItemWidget, "activate", G_CALLBACK(OnItemActivate), this);
  g_signal_connect(mItemWidget, "expose-event", G_CALLBACK(OnItemExpose), this);
  // A widget made anew takes the old one's place, with its submenu and state.
  if (mHasSubmenu && !mIsSeparator) gtk_menu_item_set_submenu(GTK_MENU_ITEM(mItemWidget), mMenuWidget);
  if (!mEnabled && !mIsSeparator && !IsInMenuBar()) gtk_widget_set_sensitive(mItemWidget, FALSE);
  if (container) {
    gtk_menu_shell_insert(GTK_MENU_SHELL(container), mItemWidget, position);
    if (mVisible || IsInMenuBar()) gtk_widget_show(mItemWidget);
  }
}

void XMenuGTK::RefreshItemWidget() {
  UnregisterShortcuts(this);
  if (mText.View() == "-") {
    if (!mIsSeparator) {
      mIsSeparator = 1;
      ReplaceItemWidget(gtk_separator_menu_item_new());
    }
    return;
  }
  if (mIsSeparator) {
    mIsSeparator = 0;
    ReplaceItemWidget(gtk_menu_item_new_with_label(""));
  }
  bool indent = false;
  if (mParent) {
    for (XMenuGTK* sibling : mParent->mChildNodes) indent = indent || (sibling && sibling->mChecked);
  } else {
    indent = mChecked != 0;
  }
  string caption = indent ? string(kCheckIndent) + mText : mText;
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(mItemWidget));
  if (label && GTK_IS_LABEL(label)) {
    gtk_label_set_text_with_mnemonic(GTK_LABEL(label), ConvertMnemonicCaption(caption).CString());
  }
  ApplyLabelStyle();

  if (mAccelKey) {
    gtk_widget_remove_accelerator(mItemWidget, sAccelGroup, mAccelKey, static_cast<GdkModifierType>(mAccelMods));
    mAccelKey = mAccelMods = 0;
  }
  string character;
  uint32_t keyval = LastCharacterKey(mCommandKey, &character);
  uint32_t mask = ShortcutModifiers(mCommandKey);
  if (mask && keyval) {
    gtk_widget_add_accelerator(mItemWidget, "activate", sAccelGroup, keyval, static_cast<GdkModifierType>(mask),
                               GTK_ACCEL_VISIBLE);
    mAccelKey = keyval;
    mAccelMods = mask;
  }
  if (!character.IsEmpty()) RegisterShortcut(this, character, mask);
}

void XMenuGTK::ApplyLabelStyle() {
  if (mIsSeparator) return;
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(mItemWidget));
  if (!label) return;
  TextStyle style;
  style.mBold = mBold;
  style.mItalic = mItalic;
  style.mUnderline = mUnderline;
  SetWidgetFont(label, style);
}

bool XMenuGTK::Exposed(GdkEventExpose* event) {
  if (!mChecked || mHasSubmenu || mIsSeparator) return false;
  GtkWidget* widget = mItemWidget;
  GTK_WIDGET_GET_CLASS(widget)->expose_event(widget, event);
  gtk_paint_check(widget->style, widget->window, static_cast<GtkStateType>(GTK_WIDGET_STATE(widget)), GTK_SHADOW_IN, &event->area, widget,
                  "check", widget->allocation.x, widget->allocation.y, kCheckMarkWidth, widget->allocation.height);
  return true;
}

// --- children ------------------------------------------------------------------------------

void XMenuGTK::PlaceChild(XMenuGTK* child, int32_t position) {
  child->mParent = this;
  if (!mIsMenuBar && !mHasSubmenu) {
    mHasSubmenu = 1;
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(mItemWidget), mMenuWidget);
    // A node with a submenu carries no shortcut.
    SetCommandKey(string());
  }
  GtkMenuShell* shell = GTK_MENU_SHELL(mIsMenuBar ? mMenuBarWidget : mMenuWidget);
  if (position < 0) {
    gtk_menu_shell_append(shell, child->mItemWidget);
  } else {
    gtk_menu_shell_insert(shell, child->mItemWidget, position);
  }
  if (mIsMenuBar || child->mVisible) gtk_widget_show(child->mItemWidget);
  // The new item may change whether this menu indents for check marks.
  if (child->mChecked) RefreshCheckIndent();
}

void XMenuGTK::Append(RuntimeObject* item) {
  auto* menu = dynamic_cast<XMenuGTK*>(ChildMenu(item));
  if (!menu) return;
  XMenuGTK* child = menu->Clone();
  Menu::Append(item);
  mChildNodes.Append(child);
  PlaceChild(child, -1);
  for (uint32_t i = 0; i < mClones.Count(); ++i) mClones[i]->Append(item);
}

void XMenuGTK::Insert(RuntimeObject* item, int32_t position) {
  auto* menu = dynamic_cast<XMenuGTK*>(ChildMenu(item));
  if (!menu) return;
  XMenuGTK* child = menu->Clone();
  Menu::Insert(item, position);
  mChildNodes.Insert(static_cast<uint32_t>(position), child);
  PlaceChild(child, position);
  for (uint32_t i = 0; i < mClones.Count(); ++i) mClones[i]->Insert(item, position);
}

void XMenuGTK::Remove(RuntimeObject* item) {
  for (int32_t i = 0; i < Count(); ++i) {
    if (ChildAt(i) == item) {
      RemoveAt(i);
      return;
    }
  }
}

void XMenuGTK::RemoveAt(int32_t position) { GetSourceNode()->RemoveChildAt(position); }

void XMenuGTK::RemoveChildAt(int32_t position) {
  if (position < 0 || position >= Count()) return;
  XMenuGTK* child = ChildNodeAt(position);
  if (child && child->mItemWidget) {
    GtkWidget* container = gtk_widget_get_parent(child->mItemWidget);
    if (container) gtk_container_remove(GTK_CONTAINER(container), child->mItemWidget);
  }
  for (uint32_t i = 0; i < mClones.Count(); ++i) mClones[i]->RemoveChildAt(position);
  // Only this entry goes: the same item may sit elsewhere in the menu with a node of its own.
  DropChildAt(position);
  if (position < static_cast<int32_t>(mChildNodes.Count())) mChildNodes.RemoveAt(static_cast<uint32_t>(position));
  if (child) {
    child->mParent = nullptr;
    delete child;
  }
}

XMenuGTK* XMenuGTK::Clone() {
  auto* node = new XMenuGTK(mIsMenuBar != 0);
  node->SetIndex(mIndex);
  node->SetName(mName);
  node->SetText(mText);
  node->SetBold(mBold);
  node->SetItalic(mItalic);
  node->SetUnderline(mUnderline);
  node->mAutoEnable = mAutoEnable;
  node->SetCommandKey(mCommandKey);
  node->SetVisible(mVisible);
  node->SetChecked(mChecked);
  node->SetTag(mTag);
  if (mEnabled) {
    node->Enable();
  } else {
    node->Disable();
  }
  XMenuGTK* source = GetSourceNode();
  node->mSource = source;
  source->AppendChildrenTo(node);
  source->mClones.Append(node);
  return node;
}

void XMenuGTK::AppendChildrenTo(XMenuGTK* clone) {
  for (int32_t i = 0; i < Count(); ++i) clone->Append(ChildAt(i));
}

void XMenuGTK::DetachFromSource() {
  XMenuGTK* source = mSource;
  if (source != this) {
    int32_t at = source->mClones.IndexOf(this);
    if (at >= 0) source->mClones.RemoveAt(static_cast<uint32_t>(at));
    mSource = this;
  }
  UnregisterShortcuts(this);
  for (XMenuGTK* child : mChildNodes) {
    if (child) child->DetachFromSource();
  }
}

RuntimeObject* XMenuGTK::FindMenuItemObject(XMenuGTK* node) {
  if (!node) return nullptr;
  XMenuGTK* target = node->GetSourceNode();
  for (int32_t i = 0; i < Count(); ++i) {
    RuntimeObject* child = ChildAt(i);
    auto* menu = dynamic_cast<XMenuGTK*>(MenuOf(child));
    if (!menu) continue;
    if (menu == target) {
      RuntimeLockObject(child);
      return child;
    }
    if (RuntimeObject* found = menu->GetSourceNode()->FindMenuItemObject(node)) return found;
  }
  return nullptr;
}

// --- choosing ------------------------------------------------------------------------------

void XMenuGTK::Activated() {
  if (mHasSubmenu || !mEnabled) return;
  XMenuGTK* top = this;
  for (XMenuGTK* node = this; node; node = node->mParent) {
    if (node->mChooseCallback) {
      node->mChooseCallback(this);
      return;
    }
    top = node;
  }
  RuntimeObject* object = top->FindMenuItemObject(this);
  if (!object) {
    ReportPaneAssertion(kMenuGtkSource, __LINE__, "object");
    return;
  }
  HandleMenuItemChosen(object, GetFrontWindowPane());
  RuntimeUnlockObject(object);
}

bool FindMenuShortcut(const string& key, int32_t modifiers, Window* window, bool* handled) {
  uint32_t mask = 0;
  if (modifiers & 0x0800) mask |= GDK_MOD1_MASK;
  if (modifiers & 0x0200) mask |= GDK_SHIFT_MASK;
  if (modifiers & 0x1000) mask |= GDK_CONTROL_MASK;
  if (mask && window) EnableMenuItemsForWindow(window->IsModal(), window);
  *handled = false;
  MenuVector<ShortcutRecord>& table = Shortcuts();
  for (uint32_t i = 0; i < table.Count(); ++i) {
    const ShortcutRecord& record = table[i];
    if (record.modifiers != mask || record.key.Compare(key) != 0) continue;
    XMenuGTK* top = record.node;
    while (top->GetParent()) top = top->GetParent();
    if (top->GetWindow() != window || !record.node->IsEnabled()) continue;
    RuntimeObject* object = top->FindMenuItemObject(record.node);
    if (!object) continue;
    *handled = true;
    bool result = HandleMenuItemChosen(object, window);
    RuntimeUnlockObject(object);
    return result;
  }
  return false;
}

}  // namespace vorn
