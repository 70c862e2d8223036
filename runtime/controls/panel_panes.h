// The panes of PagePanel and TabPanel: containers whose children belong to numbered pages and
// show only while their page is current. The page panel has no frame of its own; the tab
// panel is a GtkNotebook with one empty page per tab (the controls stay children of the panel
// pane, their widgets siblings of the notebook).
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "objects/runtime_class.h"
#include "windows/container_pane.h"

namespace vorn {

class PanelPane : public ContainerPane {
 public:
  PanelPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* control);

  // The current page, counted from 1 (0 when there is none).
  virtual int32_t CurrentPage() = 0;
  // Shows the children of the current page and hides the others, as far as the panel shows.
  void ApplyPages();
  // The control object while it still owns this pane; nil once it let the pane go.
  RuntimeObject* Control() const { return mRunControl ? mControl : nullptr; }
  void ForgetControl() { mControl = nullptr; }

  bool Encloses(SubPane* other, bool checkVisible, bool checkTabIndex) override;
  void SetShownByContainer(bool shown) override;
  void ShowWidget(bool show) override;
  int32_t CurrentPanelPage() override { return CurrentPage(); }

 protected:
  // Renumbers the children after a page was inserted or removed at `index` (0-based); a
  // removal closes the children of the page that goes first.
  void ShiftPagesForInsert(int32_t index);
  void ClosePageAndShift(int32_t index);

  RuntimeObject* mControl;

 private:
  void SetChildPage(SubPane* child, int32_t page);
  void MovePages(bool insertion, int32_t index);
};

class PagePanel : public PanelPane {
 public:
  PagePanel(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* control);

  virtual void AppendPage();
  virtual int32_t GetPageCount();
  virtual int32_t GetCurrentPage() { return mCurrentPage; }
  virtual void InsertPage(int32_t index);
  virtual void RemovePage(int32_t index);

  // Makes page n (1-based) current and shows its children.
  void SetCurrentPage(int32_t page);
  int32_t CurrentPage() override { return mCurrentPage; }
  SubPane* AsPagePanel() override { return this; }
  bool PassesClickThrough() override { return true; }

 private:
  int32_t mCurrentPage = 1;
};

class TabPanelDelegate {
 public:
  virtual ~TabPanelDelegate() = default;
  virtual void Change(SubPane* pane) = 0;
  virtual void GotFocus(SubPane* pane) = 0;
  virtual void LostFocus(SubPane* pane) = 0;
  virtual bool MouseDown(SubPane* pane, int32_t x, int32_t y) = 0;
};

class TabPanel : public PanelPane {
 public:
  TabPanel(TabPanelDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
           const Rect& bounds, int32_t facing, RuntimeObject* control);
  ~TabPanel() override;

  virtual void SetFacing(int32_t code);
  virtual void SetTextStyle(const vorn::TextStyle& style);
  virtual void AppendTab(const string& caption);
  virtual void InsertTab(int32_t index, const string& caption);
  virtual void RemoveTab(int32_t index);
  virtual void SetTabCaption(int32_t index, const string& caption);
  virtual string GetTabCaption(int32_t index);
  virtual int32_t GetTabCount();
  // The 0-based tab under a point relative to the panel, -1 outside the tab strip.
  virtual int32_t TabAt(int32_t x, int32_t y);

  // Selects tab n (1-based) and reports the change once.
  void SelectPage(int32_t page);
  // Selects tab n (1-based) without reporting it.
  void ShowPage(int32_t page);
  int32_t CurrentPage() override;
  int32_t Facing() const { return mFacing; }
  const vorn::TextStyle& Style() const { return mStyle; }
  void ClearDelegate() { mTabDelegate = nullptr; }
  // The delegate while the control still owns this pane.
  TabPanelDelegate* Delegate() const { return mRunControl && !mClosing ? mTabDelegate : nullptr; }
  // The label widget of a tab, nil outside the tabs.
  NativeWidget TabLabel(int32_t index);

  SubPane* AsTabPanel() override { return this; }
  bool CanFocus() override;
  void GotFocus() override;
  void LostFocus() override;
  void MouseDrag(int32_t, int32_t) override {}
  void MouseUp(int32_t, int32_t) override {}
  void DrawInto(Graphics* port) override;

  // The notebook's "switch-page": the user picked a tab.
  void PageSwitched(int32_t page);

 private:
  vorn::TextStyle mStyle;
  TabPanelDelegate* mTabDelegate;
  int32_t mFacing = 0;
};

// A page panel or tab panel pane for the control object of a PagePanel or TabPanel.
TabPanel* NewTabPanel(TabPanelDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                      int32_t tabPanelIndex, const Rect& bounds, int32_t facing, RuntimeObject* control);

}  // namespace vorn
