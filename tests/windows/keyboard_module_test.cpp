// The Keyboard module's modifier keys, fed through the held-key set as the key snooper feeds it.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "objects/runtime_object.h"
#include "vorn/desktop_api.h"
#include "windows/gtk_helper.h"
#include "windows/keyboard_module.h"

namespace vorn {
namespace {

TEST(KeyboardModuleTest, ModifiersFollowTheHeldKeysOutsideAnEvent) {
  RuntimeObject* keyboard = getKeyboardObject();
  ASSERT_NE(keyboard, nullptr);
  ClearHeldKeys();
  NoteKeyPressed(62, GDK_Shift_R);
  NoteKeyPressed(64, GDK_Alt_L);
  struct Case {
    int32_t modifier;
    uint8_t down;
  } cases[] = {{kKeyboardShift, 1},   {kKeyboardControl, 0}, {kKeyboardOption, 1},        {kKeyboardAlt, 1},
               {kKeyboardCommand, 0}, {kKeyboardMenuShortcut, 0}, {-1, 0}, {6, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(asyncModifierKeyGetter(keyboard, c.modifier), c.down) << c.modifier;
    EXPECT_EQ(modifierKeyGetter(keyboard, c.modifier), c.down) << c.modifier;
  }
  NoteKeyReleased(62);
  EXPECT_EQ(asyncModifierKeyGetter(keyboard, kKeyboardShift), 0);
  ClearHeldKeys();
  // The same module every time, and nil for it changes nothing.
  RuntimeObject* again = getKeyboardObject();
  EXPECT_EQ(again, keyboard);
  EXPECT_EQ(asyncModifierKeyGetter(nullptr, kKeyboardOption), 0);
  RuntimeUnlockObject(again);
  RuntimeUnlockObject(keyboard);
}

}  // namespace
}  // namespace vorn
