// The runtime's own drag on a real display: a press on a control of one window starts a drag
// of its text, the pointer carries the outline into another window, and the release delivers
// the item to the control or window under it that accepts text.
#include <gtest/gtest.h>

#include <string>

#include "controls/canvas_class.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "vorn/control_api.h"
#include "vorn/drag_item_api.h"
#include "vorn/window_api.h"
#include "windows/drag_item.h"
#include "windows/gtk_drops.h"
#include "windows/support/compiled_window_fixture.h"
#include "windows/support/window_test_classes.h"

namespace vorn {
namespace {

using test::EventLog;
using test::Pump;
using test::Script;

void* Fn(auto f) { return reinterpret_cast<void*>(f); }

std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

std::string Describe(const char* who, RuntimeObject* d) {
  return std::string(who) + ":" + Take(dragItemTextGetter(d, 0)) + ":" + std::to_string(dragItemDropLeft(d, 0)) +
         "," + std::to_string(dragItemDropTop(d, 0)) + "," + std::to_string(dragItemDropWidth(d, 0)) + "," +
         std::to_string(dragItemDropHeight(d, 0));
}

// The source canvas drags its own rectangle with a text when pressed.
uint8_t OnSourceMouseDown(VornRuntimeObject* self, int32_t, int32_t) {
  RuntimeObject* d = controlNewDragItem(self, 10, 10, 50, 50);
  static string text("dragged text");
  dragItemTextSetter(d, 0, text.Rep());
  DragItemDrag(d);
  EventLog().push_back("DragDone:" + std::to_string(d->refCount));
  RuntimeUnlockObject(d);
  return 0;
}

void OnWindowDrop(VornRuntimeObject*, VornRuntimeObject* d) { EventLog().push_back(Describe("Window", d)); }
void OnTargetDrop(VornRuntimeObject*, VornRuntimeObject* d) { EventLog().push_back(Describe("Target", d)); }

RuntimeClass* DropWindowClass() {
  return test::MakeClass("DropWindow", "MainWindow", static_cast<int32_t>(sizeof(test::TestWindowObject)),
                         {{"#DropObject%%o<DropWindow>o<DragItem>", Fn(&OnWindowDrop), nullptr, 0}});
}

RuntimeClass* SourceCanvasClass() {
  return test::MakeClass("SourceCanvas", "Canvas", GetCanvasClassDefinition()->mInstanceSize,
                         {{"#MouseDown%b%o<SourceCanvas>i4i4", Fn(&OnSourceMouseDown), nullptr, 0}});
}

RuntimeClass* TargetCanvasClass() {
  return test::MakeClass("TargetCanvas", "TestCanvas", VORN_CONTROL_INSTANCE_SIZE,
                         {{"#DropObject%%o<TargetCanvas>o<DragItem>", Fn(&OnTargetDrop), nullptr, 0}});
}

class DragGuiTest : public test::CompiledWindowTest {
 protected:
  RuntimeObject* NewWindowAt(const Rect& bounds) {
    Script().bounds = bounds;
    Script().canvasCount = 0;
    RuntimeObject* window = Keep(RuntimeNewObject(DropWindowClass()));
    WindowDefaultConstructor(window);
    RuntimeShowWindow(window);
    Pump(300);
    // Placed where asked, side by side: the default placement staggers new windows.
    windowPosSetter(window, 0, bounds.left);
    windowPosSetter(window, 1, bounds.top);
    Pump(200);
    return window;
  }

  RuntimeObject* AddControl(RuntimeObject* window, RuntimeClass* cls, const char* name, const Rect& bounds) {
    RuntimeObject* object = Keep(WindowAllocateObject(window, cls));
    ControlObject* control = AsControl(object);
    control->name = string(name).GetRetainedRep();
    SetControlBounds(control, bounds);
    control->visible = 1;
    control->enabled = 1;
    control->index = kNotInControlArray;
    WindowAddControl(window, control->name, object);
    return object;
  }

  // Presses at a point of one window, moves in steps to a point of another and lets go, from
  // outside the process while the drag loop runs inside it.
  static void DragBetween(RuntimeObject* from, int32_t h, int32_t v, RuntimeObject* to, int32_t h2, int32_t v2) {
    int32_t x, y, x2, y2;
    test::ScreenPoint(View(from), h, v, &x, &y);
    test::ScreenPoint(View(to), h2, v2, &x2, &y2);
    std::string script = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 mousedown 1";
    for (int step = 1; step <= 8; ++step) {
      script += " sleep 0.05 mousemove " + std::to_string(x + (x2 - x) * step / 8) + " " +
                std::to_string(y + (y2 - y) * step / 8);
    }
    script += " sleep 0.2 mouseup 1";
    test::Shell("(" + script + ") >/dev/null 2>&1 &");
  }

  static bool WaitForPrefix(const std::string& prefix) {
    for (int i = 0; i < 200; ++i) {
      if (!test::LogEntries(prefix).empty()) return true;
      Pump(20);
    }
    return false;
  }
};

TEST_F(DragGuiTest, ATextDraggedFromAControlReachesTheControlOrWindowItIsDroppedOn) {
  RuntimeObject* source = NewWindowAt(MakeRect(40, 60, 340, 260));
  RuntimeObject* target = NewWindowAt(MakeRect(440, 60, 740, 260));
  formAcceptTextDrop(target);
  AddControl(source, SourceCanvasClass(), "Source", MakeRect(10, 10, 60, 60));
  controlAcceptTextDrop(AddControl(target, TargetCanvasClass(), "Target", MakeRect(100, 100, 200, 160)));
  Pump(100);
  EventLog().clear();

  // Pressed 20 pixels into the 50 x 50 canvas at (10, 10); let go over the target canvas.
  DragBetween(source, 30, 30, target, 150, 130);
  ASSERT_TRUE(WaitForPrefix("DragDone"));
  EXPECT_EQ(test::LogEntries("Target:"), std::vector<std::string>{"Target:dragged text:30,10,50,50"})
      << "the outline was let go 30 and 10 pixels into the canvas";
  EXPECT_TRUE(test::LogEntries("Window:").empty()) << "the control under the pointer takes the drop";
  EXPECT_EQ(test::LogEntries("DragDone:"), std::vector<std::string>{"DragDone:1"})
      << "nothing keeps the item after the drag";
  EXPECT_EQ(GetCurrentDragItem(), nullptr);
  EXPECT_FALSE(IsDragTracking());

  // Let go over the bare window.
  Pump(200);
  EventLog().clear();
  DragBetween(source, 30, 30, target, 250, 40);
  ASSERT_TRUE(WaitForPrefix("DragDone"));
  EXPECT_EQ(test::LogEntries("Window:"), std::vector<std::string>{"Window:dragged text:230,20,50,50"});
  EXPECT_TRUE(test::LogEntries("Target:").empty());

  // Let go where nothing accepts text: nobody hears of it.
  Pump(200);
  EventLog().clear();
  DragBetween(source, 30, 30, source, 200, 150);
  ASSERT_TRUE(WaitForPrefix("DragDone"));
  EXPECT_TRUE(test::LogEntries("Window:").empty());
  EXPECT_TRUE(test::LogEntries("Target:").empty());
}

}  // namespace
}  // namespace vorn
