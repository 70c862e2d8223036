#include "controls/panel_panes.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "controls/panel_logic.h"
#include "controls/panel_objects.h"
#include "vorn/control_api.h"
#include "windows/control_containment.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {

// The control whose pane is `pane`, looked up among the controls of the panel's window.
RuntimeObject* ControlOfPane(RuntimeObject* panelControl, SubPane* pane) {
  ControlObject* panel = AsControl(panelControl);
  if (!panel) return nullptr;
  ControlMap* map = GetControlMap(panel).map;
  if (!map) return nullptr;
  std::unique_ptr<StringMapIterator<RuntimeObject*>> it(map->NewIterator());
  RuntimeObject* value = nullptr;
  while (it->Next(&value)) {
    if (ControlObject* c = AsControl(value); c && ControlPane(c) == pane) return value;
  }
  return nullptr;
}

}  // namespace

// --- shared page behaviour ---------------------------------------------------------------

PanelPane::PanelPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* control)
    : ContainerPane(parent, tabPanelIndex, bounds), mControl(control) {}

void PanelPane::ApplyPages() {
  const int32_t page = CurrentPage();
  const bool shown = IsDisplayed();
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) child->SetShownByContainer(PageChildShown(child->TabPanelIndex(), page, shown));
}

bool PanelPane::Encloses(SubPane* other, bool, bool) {
  if (!other || other->TabPanelIndex() < 1 || !mShownByContainer || mBounds.IsEmpty()) return false;
  return RectIsInsideRect(other->Bounds(), mBounds);
}

void PanelPane::SetShownByContainer(bool shown) {
  const int32_t page = CurrentPage();
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) child->SetShownByContainer(PageChildShown(child->TabPanelIndex(), page, shown && mVisible));
  if (shown == mShownByContainer) return;
  if (!mVisible) {
    mShownByContainer = shown;
    return;
  }
  if (!shown && GetFocusPane() == this) ClearFocusPane();
  mShownByContainer = shown;
  ShowWidget(shown);
}

void PanelPane::ShowWidget(bool show) {
  if (show) ApplyPages();
  SubPane::ShowWidget(show);
}

void PanelPane::SetChildPage(SubPane* child, int32_t page) {
  if (RuntimeObject* control = ControlOfPane(Control(), child)) {
    ControlTabPanelIndexSetter(control, 0, page);
  } else {
    child->SetTabPanelIndex(page);
  }
}

// Pages are moved one whole page at a time, into a number no page holds by then (from the
// last page down for an insertion, from the first up for a removal): the radio groups of two
// pages never meet on the way, so each keeps its own selection.
void PanelPane::MovePages(bool insertion, int32_t index) {
  std::vector<std::pair<SubPane*, int32_t>> moves;
  for (SubPane* child : mSubPanes.children) {
    const int32_t page = child->TabPanelIndex();
    const int32_t moved = insertion ? PageAfterInsert(page, index) : PageAfterRemove(page, index);
    if (moved != page && moved != 0) moves.emplace_back(child, moved);
  }
  std::stable_sort(moves.begin(), moves.end(), [insertion](const auto& a, const auto& b) {
    return insertion ? a.second > b.second : a.second < b.second;
  });
  for (const auto& [child, page] : moves) SetChildPage(child, page);
}

void PanelPane::ShiftPagesForInsert(int32_t index) { MovePages(true, index); }

void PanelPane::ClosePageAndShift(int32_t index) {
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (child->TabPanelIndex() != index + 1) continue;
    if (RuntimeObject* control = ControlOfPane(Control(), child)) {
      ControlClose(control);
    } else {
      child->Close();
    }
  }
  MovePages(false, index);
}

// --- page panel --------------------------------------------------------------------------

PagePanel::PagePanel(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* control)
    : PanelPane(parent, tabPanelIndex, bounds, control) {}

void PagePanel::AppendPage() {
  PagePanelObject* o = AsPagePanelObject(Control());
  if (o && o->panelCount < INT32_MAX) ++o->panelCount;
}

int32_t PagePanel::GetPageCount() {
  PagePanelObject* o = AsPagePanelObject(Control());
  return o ? o->panelCount : 0;
}

void PagePanel::InsertPage(int32_t index) {
  PagePanelObject* o = AsPagePanelObject(Control());
  if (!o || o->panelCount == INT32_MAX) return;
  ++o->panelCount;
  if (index < 0 || index > o->panelCount) return;
  ShiftPagesForInsert(index);
  if (o->panelCount > 1 && index < mCurrentPage) {
    // The page shown stays shown: its number, and Value, follow it.
    o->value = mCurrentPage++;
    ApplyPages();
  } else if (index == mCurrentPage - 1) {
    ApplyPages();
  }
}

void PagePanel::RemovePage(int32_t index) {
  PagePanelObject* o = AsPagePanelObject(Control());
  if (!o) return;
  --o->panelCount;
  ClosePageAndShift(index);
  if (index < mCurrentPage - 1) {
    o->value = --mCurrentPage - 1;
    ApplyPages();
  } else if (o->panelCount > 0 && index == mCurrentPage - 1) {
    // The page after the removed one takes its place; past the end, the new last page.
    mCurrentPage = ClampPageValue(index, o->panelCount) + 1;
    ApplyPages();
  }
}

void PagePanel::SetCurrentPage(int32_t page) {
  mCurrentPage = page;
  if (mVisible) ApplyPages();
}

}  // namespace vorn
