// The OLEContainer control on a display: its pane is a blank area that takes no focus, Create
// answers false for every program ID, Content stays nil, and its events are never raised.
#include <gtest/gtest.h>

#include <cstddef>

#include "controls/ole_container_class.h"
#include "controls/ole_container_pane.h"
#include "controls/support/class_fixture.h"
#include "graphics/drawable_pane.h"
#include "graphics/graphics_gtk.h"
#include "graphics/picture_object.h"
#include "objects/runtime_object.h"

namespace vorn {
namespace {

int gRaised = 0;
extern "C" void OLEEventSeen(VornRuntimeObject*) { ++gRaised; }

class OLEContainerGuiTest : public test::ControlClassTest {
 protected:
  RuntimeObject* NewContainer() {
    RuntimeObject* ctl = AddControl(GetOLEContainerClassDefinition(), "Sheet", MakeRect(20, 20, 120, 80), host);
    for (const char* event : {"ShowObject", "GotFocus", "LostFocus"}) {
      Install(ctl, event, reinterpret_cast<void*>(&OLEEventSeen));
    }
    return ctl;
  }
  static OLEContainer* PaneOf(RuntimeObject* ctl) { return dynamic_cast<OLEContainer*>(ControlPane(AsControl(ctl))); }
};

TEST_F(OLEContainerGuiTest, NothingIsEverEmbedded) {
  gRaised = 0;
  RuntimeObject* ctl = NewContainer();
  string id("Shell.Explorer");
  stringSetter(ctl, static_cast<int32_t>(offsetof(VornOLEContainerObject, programID)), id.Rep());
  MakePane(ctl);
  OLEContainer* pane = PaneOf(ctl);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->Bounds().left, 20);
  EXPECT_FALSE(pane->CanFocus()) << "no active object to take the focus";
  EXPECT_EQ(OLEContainerCreateObject(ctl), 0);
  EXPECT_EQ(OLEContainerContentGetter(ctl, 0), nullptr);
  OLEContainerDestroyObject(ctl);
  EXPECT_TRUE(pane->ProgramID().IsEmpty());

  test::ShowAndSettle(native);
  test::ClickAt(native, 50, 40);
  test::PressKeys("Tab");
  EXPECT_EQ(gRaised, 0) << "the events exist for compiled code but nothing raises them";
}

TEST_F(OLEContainerGuiTest, DrawsABlankAreaAtItsPlace) {
  RuntimeObject* ctl = NewContainer();
  MakePane(ctl);
  DrawablePane* bitmap = NewDrawablePane(200, 120, 24);
  ASSERT_NE(bitmap, nullptr);
  Graphics* port = bitmap->NewGraphics();
  ASSERT_NE(port, nullptr);
  port->SetForeColor({0, 0, 0xFFFF});
  port->FillRect(MakeRect(0, 0, 200, 120));
  PaneOf(ctl)->DrawInto(port);
  delete port;
  bitmap->PrepareToDraw();
  EXPECT_EQ(BitmapPixel(bitmap, 60, 50), 0xFFFFFFu) << "inside the control";
  EXPECT_EQ(BitmapPixel(bitmap, 10, 10), 0x0000FFu) << "outside it";
  bitmap->Release();
}

}  // namespace
}  // namespace vorn
