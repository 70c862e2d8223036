// Edit fields in a host window: making them from packed properties, reading their text,
// counting their events, and typing and clicking into them with xdotool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/support/class_fixture.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/edit_field_class.h"

namespace vorn::test {

// Property indices of EditField in packed streams.
enum EditFieldProperty : uint16_t {
  kEfText = 26, kEfBorder = 28, kEfMultiLine = 29, kEfReadOnly = 30, kEfPassword = 31, kEfStyled = 32, kEfAcceptTabs = 33,
  kEfScrollBarHorizontal = 36, kEfScrollBarVertical = 37, kEfTextSize = 40, kEfLimitText = 47, kEfFormat = 65, kEfMask = 67,
};

// What the handlers of the fields heard, reset for every test.
struct EditEvents {
  int textChanges = 0;
  int selChanges = 0;
  int gotFocus = 0;
  int lostFocus = 0;
  std::vector<std::string> keys;
  std::vector<std::string> textsSeen;  // Text as each TextChange saw it
  std::string refusedKey;              // KeyDown answers true for this key
  std::string textToSetInChange;       // TextChange assigns this when not empty
  std::vector<std::string> enabledItems;
};
EditEvents& Events();

class EditFieldTest : public ControlClassTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A field with the stream's properties, its pane made and every event handler installed;
  // without a name it gets one of its own.
  RuntimeObject* NewField(const PackedStream& stream, const Rect& bounds = MakeRect(20, 20, 220, 46),
                          const char* name = nullptr);
  static EditControlGTK* PaneOf(RuntimeObject* field);
  static std::string Text(RuntimeObject* field);
  static std::string SelText(RuntimeObject* field);
  static void SetText(RuntimeObject* field, const std::string& text);

  // Shows the window and clicks into the field, which takes the focus.
  void ShowAndClick(RuntimeObject* field, int32_t dx = 10, int32_t dy = 10);
  void Click(RuntimeObject* field, int32_t dx, int32_t dy);
  // xdotool's type and key commands, then time for the events to arrive.
  static void Type(const std::string& text);
  static void Keys(const std::string& keys);

 private:
  int mFieldCount = 0;
};

}  // namespace vorn::test
