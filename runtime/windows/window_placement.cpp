#include "windows/window_placement.h"

#include <cmath>
#include <limits>

#include "windows/pane_assert.h"
#include "windows/window.h"

namespace vorn {

namespace {

void MoveRectTo(Rect* r, int32_t left, int32_t top) { OffsetRect(r, left - r->left, top - r->top); }

Rect AvailableOf(const std::vector<ScreenInfo>& screens, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(screens.size())) return Rect{};
  return screens[index].Available();
}

int32_t BestScreenForPoint(int32_t h, int32_t v, const std::vector<ScreenInfo>& screens) {
  return BestScreenForRect(MakeRect(h, v, h + 1, v + 1), screens);
}

struct ReferenceSearch {
  int32_t layer;
  Window* found;
};

bool FindFrontOfLayer(Window* window, intptr_t value) {
  auto* search = reinterpret_cast<ReferenceSearch*>(value);
  if (WindowKindLayer(window->Kind()) != search->layer) return true;
  search->found = window;
  return false;
}

}  // namespace

int32_t BestScreenForRect(const Rect& r, const std::vector<ScreenInfo>& screens) {
  int32_t best = -1;
  int64_t bestArea = 0;
  for (size_t i = 0; i < screens.size(); ++i) {
    Rect overlap;
    if (!IntersectRect(r, screens[i].Full(), &overlap)) continue;
    int64_t area = static_cast<int64_t>(overlap.Width()) * overlap.Height();
    if (area > bestArea) {
      bestArea = area;
      best = static_cast<int32_t>(i);
    }
  }
  if (best >= 0) return best;
  double nearest = std::numeric_limits<double>::max();
  best = 0;
  for (size_t i = 0; i < screens.size(); ++i) {
    double dx = screens[i].left - r.left;
    double dy = screens[i].top - r.top;
    double distance = std::sqrt(dx * dx + dy * dy);
    if (distance < nearest) {
      nearest = distance;
      best = static_cast<int32_t>(i);
    }
  }
  return best;
}

void PlaceRectOnScreens(Rect* r, int32_t mode, const std::vector<ScreenInfo>& screens) {
  if (screens.empty()) return;
  int32_t index = 0;
  switch (mode) {
    case 2: index = BestScreenForPoint(r->left, r->top, screens); break;
    case 3: index = BestScreenForPoint(r->left, r->bottom, screens); break;
    default: index = BestScreenForRect(*r, screens); break;
  }
  Rect s = AvailableOf(screens, index);
  if (mode == 0 || mode == 1) {
    auto fixRight = [&] {
      if (r->right > s.right - 2) OffsetRect(r, (s.right - 2) - r->right, 0);
    };
    auto fixBottom = [&] {
      if (r->bottom > s.bottom - 2) OffsetRect(r, 0, (s.bottom - 2) - r->bottom);
    };
    auto fixLeft = [&] {
      if (r->left < s.left) OffsetRect(r, (s.left + 2) - r->left, 0);
    };
    if (mode == 0) {
      fixLeft();
      fixBottom();
      fixRight();
    } else {
      fixRight();
      fixBottom();
      fixLeft();
    }
    if (r->top < s.top + 25) OffsetRect(r, 0, (s.top + 25) - r->top);
    if (mode == 1) {
      if (r->right > s.right - 2) r->right = static_cast<int16_t>(s.right - 2);
      if (r->bottom > s.bottom - 2) r->bottom = static_cast<int16_t>(s.bottom - 2);
    }
  } else if (mode == 2) {
    if (r->bottom > s.bottom - 2) r->bottom = static_cast<int16_t>(s.bottom - 2);
  } else if (mode == 3) {
    if (r->top < s.top + 2) r->top = static_cast<int16_t>(s.top + 2);
  }
}

void PositionRect(Rect* r, int32_t placement, const Rect* reference,
                  const std::vector<ScreenInfo>& screens) {
  int32_t width = r->Width();
  int32_t height = r->Height();
  if (placement == 1 && !reference) placement = 2;
  switch (placement) {
    case 0:
      OffsetRect(r, 4, 100);
      break;
    case 1:
      MoveRectTo(r, reference->left + (reference->Width() - width) / 2, reference->top + 30);
      break;
    case 2:
    case 3:
    case 5: {
      int32_t index = placement == 2 || !reference ? 0 : BestScreenForRect(*reference, screens);
      Rect s = index < static_cast<int32_t>(screens.size()) ? screens[index].Full() : Rect{};
      int32_t divisor = placement == 5 ? 2 : 3;
      MoveRectTo(r, s.left + (s.Width() - width) / 2, s.top + (s.Height() - height) / divisor);
      break;
    }
    case 4: {
      bool staggered = false;
      if (reference) {
        Rect next = *reference;
        OffsetRect(&next, 20, 20);
        Rect s = AvailableOf(screens, BestScreenForRect(*reference, screens));
        if (RectIsInsideRect(MakeRect(next.left, next.top, next.left + width, next.top + height), s)) {
          MoveRectTo(r, next.left, next.top);
          staggered = true;
        }
      }
      if (!staggered) MoveRectTo(r, 10, 50);
      break;
    }
    default:
      break;
  }
  PlaceRectOnScreens(r, 0, screens);
}

std::vector<ScreenInfo> CurrentScreens() {
  std::vector<ScreenInfo> screens;
  for (int32_t i = 0; i < GetScreenInfoCount(); ++i) {
    ScreenInfo s;
    if (GetScreenInfo(i, &s)) screens.push_back(s);
  }
  return screens;
}

void PositionNewWindow(Rect* r, int32_t placement, int32_t kind) {
  if (!r) {
    ReportPaneAssertion("../Common/ClassLib/window", 3529, "rBounds");
    return;
  }
  ReferenceSearch search{WindowKindLayer(StoredWindowKind(kind)), nullptr};
  ForEachWindow(FindFrontOfLayer, reinterpret_cast<intptr_t>(&search));
  Rect reference;
  if (search.found) search.found->GetScreenBounds(&reference);
  PositionRect(r, placement, search.found ? &reference : nullptr, CurrentScreens());
}

void PlaceWindowOnScreen(Rect* r, int32_t mode) { PlaceRectOnScreens(r, mode, CurrentScreens()); }

}  // namespace vorn
