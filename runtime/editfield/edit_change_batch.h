// GTK reports one replacement of the text as a deletion and an insertion, each with its own
// "changed" signal. The pane's own edits hold a batch so that the field hears of them once.
#pragma once

#include "editfield/edit_control_gtk.h"

namespace vorn {

class EditChangeBatch {
 public:
  explicit EditChangeBatch(EditControlGTK* pane) : mPane(pane) { ++pane->mChangeBatch; }
  ~EditChangeBatch() {
    if (--mPane->mChangeBatch > 0 || !mPane->mChangedInBatch) return;
    mPane->mChangedInBatch = false;
    if (mPane->mEditDelegate) mPane->mEditDelegate->TextChanged(mPane);
  }
  EditChangeBatch(const EditChangeBatch&) = delete;
  EditChangeBatch& operator=(const EditChangeBatch&) = delete;

  // A "changed" signal: reported now, or when the outermost batch ends.
  static void Report(EditControlGTK* pane) {
    pane->mRunsDirty = true;
    if (pane->mChangeBatch > 0) {
      pane->mChangedInBatch = true;
      return;
    }
    if (pane->mEditDelegate) pane->mEditDelegate->TextChanged(pane);
  }

 private:
  EditControlGTK* mPane;
};

}  // namespace vorn
