// The two questions a window asks an edit field that has the keyboard focus before it takes
// keys for its own navigation. The edit control pane implements this interface.
#pragma once

namespace vorn {

class EditControlQueries {
 public:
  virtual ~EditControlQueries() = default;
  // The field does not accept typing.
  virtual bool IsReadOnly() const = 0;
  // The field takes Tab as text instead of moving the focus.
  virtual bool AcceptsTab() const = 0;
};

}  // namespace vorn
