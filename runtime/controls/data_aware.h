// What a data-aware pane asks of the database layer: find the data control a name binds to,
// and register or drop a bound control with it. The database layer installs the hooks; until
// then binding finds nothing and a pane stays unbound.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "strings/vstring.h"

namespace vorn {

// Kinds of bound control a data control keeps.
enum BoundControlKind : int32_t {
  kBoundEditField = 0,
  kBoundStaticText = 1,
  kBoundListBox = 2,
  kBoundPopupMenu = 3,
  kBoundCheckBox = 4,
};

struct DataBindingHooks {
  // The first control of the owner's window that is a Control named `name` (letter case
  // ignored); nil when there is none.
  RuntimeObject* (*findDataControl)(RuntimeObject* owner, const string& name) = nullptr;
  void (*addBoundControl)(RuntimeObject* dataControl, RuntimeObject* control, int32_t kind) = nullptr;
  void (*removeBoundControl)(RuntimeObject* dataControl, RuntimeObject* control, int32_t kind) = nullptr;
  void (*refreshBoundControls)(RuntimeObject* dataControl) = nullptr;
};
void SetDataBindingHooks(const DataBindingHooks& hooks);
const DataBindingHooks& GetDataBindingHooks();

// The mix-in of panes that bind to a data control by name.
class DataAwareClass {
 public:
  virtual ~DataAwareClass() = default;
  virtual void BindDataSource() = 0;
  virtual void UnbindDataSource() = 0;

  const string& DataSourceName() const { return mDataSourceName; }
  void SetDataSourceName(const string& name) { mDataSourceName = name; }
  RuntimeObject* BoundDataControl() const { return mBoundDataControl; }
  // The data control lets go of this control (it is going away, or dropped its list).
  void ForgetDataControl(RuntimeObject* dataControl) {
    if (mBoundDataControl == dataControl) mBoundDataControl = nullptr;
  }

 protected:
  // Binds `owner` as a control of `kind` to the data control the name gives, after dropping
  // any earlier binding.
  void BindOwner(RuntimeObject* owner, int32_t kind);
  void UnbindOwner(RuntimeObject* owner, int32_t kind);

  string mDataSourceName;
  RuntimeObject* mBoundDataControl = nullptr;  // not owned: the data control's list holds us
};

}  // namespace vorn
