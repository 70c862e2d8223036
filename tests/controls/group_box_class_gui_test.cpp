// The GroupBox class: a caption and style stored before the pane and shown by it, later
// changes reaching the frame at once, and mouse events relative to the box.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "controls/group_box_class.h"
#include "controls/static_text_class.h"
#include "controls/support/class_fixture.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

int32_t gDownX = -1, gDownY = -1;

extern "C" uint8_t GroupMouseDown(VornRuntimeObject*, int32_t x, int32_t y) {
  gDownX = x;
  gDownY = y;
  return 0;
}

class GroupBoxClassTest : public test::ControlClassTest {
 protected:
  static GroupBox* PaneOf(RuntimeObject* group) { return dynamic_cast<GroupBox*>(ControlPane(AsControl(group))); }
  static std::string FrameLabel(GroupBox* pane) {
    GtkWidget* label = gtk_frame_get_label_widget(GTK_FRAME(pane->Widget()));
    return label ? gtk_label_get_text(GTK_LABEL(label)) : "";
  }
};

TEST_F(GroupBoxClassTest, CaptionAndStyleSetBeforeThePaneAreShownAndLaterOnesAtOnce) {
  RuntimeObject* group = AddControl(GetGroupBoxClassDefinition(), "Observer", MakeRect(20, 20, 300, 160), host);
  groupCaptionSetter(group, 0, string("Sky && Eye").Rep());
  groupBoldSetter(group, 0, 1);
  groupTextSizeSetter(group, 0, 13);
  MakePane(group);
  GroupBox* pane = PaneOf(group);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(FrameLabel(pane), "Sky & Eye");
  EXPECT_EQ(pane->Style().mBold, 1);
  EXPECT_EQ(pane->Style().mSize, 13);
  groupCaptionSetter(group, 0, string("Observer").Rep());
  EXPECT_EQ(FrameLabel(pane), "Observer");
  groupItalicSetter(group, 0, 1);
  EXPECT_EQ(pane->Style().mItalic, 1);

  RuntimeObject* inside = AddControl(GetStaticTextClassDefinition(), "Age", MakeRect(40, 60, 200, 80), host);
  staticCaptionSetter(inside, 0, string("Age 40").Rep());
  MakePane(inside);
  EXPECT_EQ(ControlPane(AsControl(inside))->GetParent(), pane) << "a control over the box lies inside it";
  test::ShowAndSettle(native);
  test::PictureTool("import -window " + std::to_string(test::XidOf(native)) + " " + VORN_BINARY_DIR +
              "/group_box_class.png");
}

TEST_F(GroupBoxClassTest, MouseDownGetsCoordinatesRelativeToTheBox) {
  RuntimeObject* group = AddControl(GetGroupBoxClassDefinition(), "Box", MakeRect(20, 30, 300, 160), host);
  Install(group, "MouseDown", reinterpret_cast<void*>(&GroupMouseDown));
  MakePane(group);
  EXPECT_FALSE(PaneOf(group)->MouseDown(50, 70, 0)) << "a refused click goes on to the panes beneath";
  EXPECT_EQ(gDownX, 30);
  EXPECT_EQ(gDownY, 40);
}

}  // namespace
}  // namespace vorn
