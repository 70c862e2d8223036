// The PopupMenu and ComboBox classes through their entry points: rows from the window's
// design, ListIndex and Change, range errors, data receivers, string binders, bound lists and
// the row-tag part.
#include <gtk/gtk.h>

#include "controls/binding_binders.h"
#include "controls/binding_interfaces.h"
#include "controls/group_box_class.h"
#include "controls/popup_class.h"
#include "controls/popup_pane.h"
#include "controls/support/binding_fakes.h"
#include "controls/support/popup_gui_support.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"
#include "vorn/controls_api.h"
#include "windows/control.h"

namespace vorn::testing {
namespace {

int sChanges = 0;
int32_t sIndexSeen = -2;
void CountChange(RuntimeObject* self) {
  ++sChanges;
  sIndexSeen = RuntimeComboBoxSelectionGetter(self, 0);
}

std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

// The pending exception's class name, taken and released; "" when none.
std::string ObjectTestPending() {
  RuntimeObject* exception = TakePendingException();
  std::string name = exception ? std::string(exception->classPtr->mName.View()) : "";
  RuntimeUnlockObject(exception);
  return name;
}

PopupRowTagObject* AsPopupRowTag(RuntimeObject* object) { return reinterpret_cast<PopupRowTagObject*>(object); }

const char kCurves[] =
    "None\nAperture\nObstruction\nMagnification\nSeeing\nTransmission\nSky brightness\nZenith distance\n"
    "Age\nExperience\nPupil\nExtinction\n";

// What closing a control does to its pane (these controls belong to no window object).
void ClosePane(RuntimeObject* popup) {
  if (SubPane* pane = DetachControlPane(AsControl(popup))) pane->Close();
}

class PopupClassTest : public PopupGuiTest {
 protected:
  void SetUp() override {
    PopupGuiTest::SetUp();
    sChanges = 0;
    sIndexSeen = -2;
    ReceiverLog().clear();
    mBaseline = LiveObjectCount();
  }
  void TearDown() override {
    for (RuntimeObject* popup : mPopups) {
      ClosePane(popup);
      RuntimeUnlockObject(popup);
    }
    PopupGuiTest::TearDown();
    EXPECT_EQ(PendingException(), nullptr);
    EXPECT_EQ(LiveObjectCount(), mBaseline - 1) << "objects left alive";  // the owner went in TearDown
  }

  RuntimeObject* NewPopup(const char* initial, bool combo = false) {
    RuntimeObject* popup = CreateInstanceFromDefinition(combo ? GetComboBoxClassDefinition() : GetPopupMenuClassDefinition());
    ControlObject* ctl = AsControl(popup);
    ctl->windowPane = window;
    SetControlBounds(ctl, Rect{20, 20, 46, 220});
    if (initial) stringSetter(popup, static_cast<int32_t>(offsetof(PopupMenuObject, initialValue)), string(initial).Rep());
    EventEntry* table = MakePrivateEventTable(popup);
    table[GetPopupMenuClassDefinition()->FindHook(string("Change"))->index].handler = reinterpret_cast<void*>(&CountChange);
    mPopups.push_back(popup);
    return popup;
  }

  std::vector<RuntimeObject*> mPopups;
  int32_t mBaseline = 0;
};

TEST_F(PopupClassTest, TheCurvesPopupGetsItsRowsFromTheDesignAndSelectsNone) {
  RuntimeObject* popup = NewPopup(kCurves);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 0);  // no pane yet
  EXPECT_EQ(RuntimeComboBoxSelectionGetter(popup, 0), -1);
  PopupMenuCreatePane(popup);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 12);  // the final line feed adds no row
  EXPECT_EQ(RuntimeComboBoxSelectionGetter(popup, 0), 0);
  EXPECT_EQ(Take(RuntimeComboBoxTextGetter(popup, 0)), "None");
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 11)), "Extinction");
  EXPECT_EQ(sChanges, 0);
  EXPECT_EQ(AsPopup(popup)->initialValue, nullptr);

  RuntimeComboBoxSelectionSetter(popup, 0, 4);
  EXPECT_EQ(sChanges, 1);
  EXPECT_EQ(sIndexSeen, 4);
  RuntimeComboBoxSelectionSetter(popup, 0, 4);
  EXPECT_EQ(sChanges, 2);
  EXPECT_EQ(Take(RuntimeComboBoxGetString(popup)), "Seeing");
}

TEST_F(PopupClassTest, RangeErrorsRaiseOutOfBoundsAndChangeNothing) {
  RuntimeObject* popup = NewPopup(kCurves);
  PopupMenuCreatePane(popup);
  RuntimeComboBoxRemoveRow(popup, RuntimeComboBoxCountGetter(popup, 0));
  EXPECT_EQ(ObjectTestPending(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeComboBoxGetRow(popup, -1), nullptr);
  EXPECT_EQ(ObjectTestPending(), "OutOfBoundsException");
  EXPECT_EQ(getPopupRowTag(popup, 12), nullptr);
  EXPECT_EQ(ObjectTestPending(), "OutOfBoundsException");
  setPopupRowTag(popup, -3, popup);
  EXPECT_EQ(ObjectTestPending(), "OutOfBoundsException");
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 12);

  RuntimeComboBoxInsertRow(popup, 17, string("Appended").Rep());  // not range-checked: appends
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 12)), "Appended");
  EXPECT_EQ(PendingException(), nullptr);
}

TEST_F(PopupClassTest, CarriageReturnsSplitRowsAndAPendingIndexIsSelectedWithoutChange) {
  RuntimeObject* popup = NewPopup("a\r\rb\r");
  RuntimeComboBoxSelectionSetter(popup, 0, 2);  // before the pane: only kept
  // Rows added before the window opens wait for it, after the design's, with their tags.
  RuntimeComboBoxAddRow(popup, string("kept").Rep());
  RuntimeComboBoxInsertRow(popup, 0, string("first").Rep());
  RuntimeComboBoxAddRow(popup, string("gone").Rep());
  RuntimeComboBoxRemoveRow(popup, 2);
  RuntimeComboBoxRemoveRow(popup, 5);
  EXPECT_EQ(ObjectTestPending(), "OutOfBoundsException");
  setPopupRowTag(popup, 1, popup);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 2);
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 1)), "kept");
  EXPECT_EQ(sChanges, 0);
  PopupMenuCreatePane(popup);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 5);
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 1)), "");
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 3)), "first");
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 4)), "kept");
  RuntimeObject* tag = getPopupRowTag(popup, 4);
  EXPECT_EQ(tag, popup);
  RuntimeUnlockObject(tag);
  EXPECT_EQ(RuntimeComboBoxSelectionGetter(popup, 0), 2);
  EXPECT_EQ(sChanges, 0);
  PopupMenuCreatePane(popup);  // a second CreatePane adds nothing
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 5);
}

TEST_F(PopupClassTest, ThePaneJoinsThePaneOfTheControlItWasDesignedIn) {
  RuntimeObject* group = CreateInstanceFromDefinition(GetGroupBoxClassDefinition());
  ControlObject* frame = AsControl(group);
  frame->windowPane = window;
  frame->visible = frame->enabled = 1;
  SetControlBounds(frame, Rect{10, 10, 120, 300});
  GroupBoxCreatePane(group);
  ASSERT_NE(ControlPane(frame), nullptr);
  RuntimeObject* popup = NewPopup("a\rb");
  AsControl(popup)->initialParent = group;
  PopupMenuCreatePane(popup);
  EXPECT_EQ(ControlPane(AsControl(popup))->GetParent(), ControlPane(frame));
  ClosePane(popup);
  ClosePane(group);
  RuntimeUnlockObject(group);
}

TEST_F(PopupClassTest, EntryPointsGivenAnotherClassDoNothing) {
  RuntimeObject* other = CreateInstanceFromDefinition(GetRuntimeExceptionClassDefinition());
  RuntimeComboBoxSelectionSetter(other, 0, 3);
  RuntimeComboBoxAddRow(other, string("x").Rep());
  RuntimeComboBoxTextSizeSetter(other, 0, 40);
  popupBindList(other, nullptr);
  EXPECT_EQ(RuntimeComboBoxCountGetter(other, 0), 0);
  EXPECT_EQ(RuntimeComboBoxSelectionGetter(other, 0), -1);
  EXPECT_EQ(PopupDataSourceGetter(other, 0), nullptr);
  EXPECT_EQ(ObjectTestPending(), "");
  RuntimeUnlockObject(other);
}

TEST_F(PopupClassTest, AComboBoxIsAnEditablePopupMenu) {
  RuntimeObject* combo = NewPopup("&Aperture\nSeeing", true);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(combo, GetPopupMenuClassDefinition()));
  PopupMenuCreatePane(combo);
  ASSERT_NE(PopupPaneOf(combo), nullptr);
  EXPECT_TRUE(PopupPaneOf(combo)->IsEditable());
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(combo, 0)), "&Aperture");
  RuntimeComboBoxTextSetter(combo, 0, string("seeing").Rep());
  EXPECT_EQ(sChanges, 1);
  EXPECT_EQ(RuntimeComboBoxSelectionGetter(combo, 0), 1);
  EXPECT_EQ(Take(RuntimeComboBoxTextGetter(combo, 0)), "seeing");

  RuntimeComboBoxTextSizeSetter(combo, 0, 10);
  RuntimeComboBoxBoldSetter(combo, 0, 1);
  EXPECT_EQ(RuntimeComboBoxTextSizeGetter(combo, 0), 10);
  EXPECT_EQ(AsPopup(combo)->textSize, 10);
  EXPECT_TRUE(PopupPaneOf(combo)->HasCustomFont());
  EXPECT_EQ(RuntimeComboBoxBoldGetter(combo, 0), 1);
}

TEST_F(PopupClassTest, ReceiversHearEveryChangeNewestFirst) {
  RuntimeObject* popup = NewPopup(kCurves);
  PopupMenuCreatePane(popup);
  RuntimeObject* first = NewLogReceiver(1);
  RuntimeObject* second = NewLogReceiver(2);
  popupAddDNR(popup, first);
  popupAddDNR(popup, second);
  RuntimeComboBoxSelectionSetter(popup, 0, 3);
  EXPECT_EQ(ReceiverLog(), (std::vector<std::string>{"2.DataChanged", "1.DataChanged"}));
  popupRemoveDNR(popup, second);
  RuntimeComboBoxSelectionSetter(popup, 0, 5);
  EXPECT_EQ(ReceiverLog().size(), 3u);
  EXPECT_TRUE(popupDataAvailable(popup));
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
}

TEST_F(PopupClassTest, AStringBinderShowsTheSelectedRowAndDisablesWithoutSelection) {
  RuntimeObject* popup = NewPopup("Aperture\nSeeing");
  AsPopup(popup)->pendingIndex = -1;
  PopupMenuCreatePane(popup);
  RuntimeObject* dest = NewFakeControl();
  RuntimeObject* binder = CreateInstanceFromDefinition(GetStringBinderClassDefinition());
  stringBinderBind(binder, popup, dest);
  auto* fake = reinterpret_cast<FakeDestObject*>(dest);
  EXPECT_EQ(TextOf(fake->text), "");
  EXPECT_EQ(fake->enabled, 0);
  RuntimeComboBoxSelectionSetter(popup, 0, 1);
  EXPECT_EQ(TextOf(fake->text), "Seeing");
  EXPECT_EQ(fake->enabled, 1);
  RuntimeUnlockObject(binder);  // the popup's receivers hold it
  RuntimeUnlockObject(dest);
}

TEST_F(PopupClassTest, BindListFillsRowsAndTagsFromAProvider) {
  RuntimeObject* popup = NewPopup("Old");
  PopupMenuCreatePane(popup);
  RuntimeObject* provider = NewFakeListProvider(3, 2);
  popupBindList(popup, provider);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 3);
  EXPECT_EQ(Take(RuntimeComboBoxGetRow(popup, 2)), "r3f1");
  RuntimeObject* tag = getPopupRowTag(popup, 1);
  EXPECT_EQ(Take(variantToString(tag)), "r2f2");
  RuntimeUnlockObject(tag);
  EXPECT_EQ(sChanges, 0);

  RuntimeObject* empty = NewFakeListProvider(4, 0);  // rows without fields give no rows
  popupBindList(popup, empty);
  EXPECT_EQ(RuntimeComboBoxCountGetter(popup, 0), 0);
  RuntimeUnlockObject(provider);
  RuntimeUnlockObject(empty);
}

TEST_F(PopupClassTest, TheRowTagPartProvidesTheSelectedTagAndOutlivesItsPopupSafely) {
  RuntimeObject* popup = NewPopup("Aperture\nSeeing");
  PopupMenuCreatePane(popup);
  EXPECT_EQ(popupGetBoundPart(popup, string("RowTag").Rep()), nullptr);
  RuntimeObject* part = popupGetBoundPart(popup, string("rowtagprovider").Rep());
  ASSERT_NE(part, nullptr);
  RuntimeObject* tag = stringToVariant(string("mm").Rep());
  setPopupRowTag(popup, 1, tag);
  RuntimeUnlockObject(tag);
  EXPECT_EQ(Take(popupRowTagGetString(part)), "");  // row 0 has no tag
  RuntimeObject* listener = NewLogReceiver(5);
  popupRowTagAddDNR(part, listener);
  RuntimeComboBoxSelectionSetter(popup, 0, 1);
  EXPECT_EQ(ReceiverLog(), std::vector<std::string>{"5.DataChanged"});
  EXPECT_EQ(Take(popupRowTagGetString(part)), "mm");
  EXPECT_TRUE(popupRowTagDataAvailable(part));

  // The popup goes first: the part forgets it instead of reading a dead object.
  popupRemoveDNR(popup, part);  // the caller's reference keeps the part
  mPopups.clear();
  RuntimeUnlockObject(popup);
  EXPECT_EQ(AsPopupRowTag(part)->owner, nullptr);
  EXPECT_EQ(Take(popupRowTagGetString(part)), "");
  EXPECT_FALSE(popupRowTagDataAvailable(part));
  RuntimeUnlockObject(part);
  RuntimeUnlockObject(listener);
  EXPECT_EQ(LivePopupRowTagCount(), 0);
}

}  // namespace
}  // namespace vorn::testing
