#include "controls/ole_container_pane.h"

#include "graphics/drawable_pane.h"
#include "graphics/graphics.h"
#include "objects/runtime_object.h"

namespace vorn {

// No embedded object ever becomes active on this platform, so the pane keeps no use for its
// control.
OLEContainer::OLEContainer(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* /*control*/,
                           OLEContainerDelegate* delegate)
    : ContainerPane(parent, tabPanelIndex, bounds), mContainerDelegate(delegate) {}

OLEContainer::~OLEContainer() {
  DiscardObject();
  delete mContainerDelegate;
}

bool OLEContainer::CanFocus() { return mActive && IsDisplayed(); }

void OLEContainer::DrawInto(Graphics* port) {
  if (!port) return;
  if (Width() > 0 && Height() > 0) {
    if (DrawablePane* blank = NewDrawablePane(Width(), Height(), 32)) {
      port->DrawPicturePart(mBounds.left, mBounds.top, blank, 0, 0, Width(), Height(), false);
      blank->Release();
    }
  }
  SubPane::DrawInto(port);
}

bool OLEContainer::CreateObject(const string&) {
  DiscardObject();
  return false;
}

void OLEContainer::DiscardObject() {
  mProgramID = string();
  RuntimeObject* content = mContent;
  mContent = nullptr;
  RuntimeUnlockObject(content);
}

RuntimeObject* OLEContainer::Content() const {
  if (mContent) RuntimeLockObject(mContent);
  return mContent;
}

}  // namespace vorn
