// The pane of the OLEContainer control: a blank area that would hold an embedded component
// object on platforms that have them. It never holds one.
#pragma once

#include "objects/runtime_class.h"
#include "strings/vstring.h"
#include "windows/container_pane.h"

namespace vorn {

class OLEContainer;

// What an embedded object would tell its control; nothing calls it on this platform.
class OLEContainerDelegate {
 public:
  virtual ~OLEContainerDelegate() = default;
  virtual RuntimeObject* EventTriggered(OLEContainer* pane, const string& eventName, RuntimeObject* parameters) = 0;
  virtual void ShowObject(OLEContainer* pane) = 0;
  virtual void GotFocus(OLEContainer* pane) = 0;
  virtual void LostFocus(OLEContainer* pane) = 0;
};

class OLEContainer : public ContainerPane {
 public:
  // Owns the delegate.
  OLEContainer(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* control,
               OLEContainerDelegate* delegate);
  ~OLEContainer() override;

  bool CanFocus() override;
  void GotFocus() override {}
  void LostFocus() override {}
  void DrawInto(Graphics* port) override;

  // Discards the current object; no object can be made here, so the answer is false.
  bool CreateObject(const string& programID);
  void DiscardObject();
  // Nil in practice; locked for the caller otherwise.
  RuntimeObject* Content() const;
  const string& ProgramID() const { return mProgramID; }

 private:
  RuntimeObject* mContent = nullptr;  // locked while held
  string mProgramID;
  bool mActive = false;  // an embedded object is active; never on this platform
  OLEContainerDelegate* mContainerDelegate;
};

}  // namespace vorn
