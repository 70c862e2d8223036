#include "editfield/support/edit_field_fixture.h"

#include "editfield/edit_router.h"
#include "vorn/editfield_api.h"

namespace vorn::test {

namespace {

std::string Held(StringRep* rep) {
  std::string out(RepText(rep));
  RuntimeUnlockString(rep);
  return out;
}

void OnTextChange(RuntimeObject* self) {
  ++Events().textChanges;
  Events().textsSeen.push_back(Held(editTextGetter(self, 0)));
  if (!Events().textToSetInChange.empty()) {
    editTextSetter(self, 0, string(Events().textToSetInChange.c_str()).Rep());
  }
}

void OnSelChange(RuntimeObject*) { ++Events().selChanges; }
void OnGotFocus(RuntimeObject*) { ++Events().gotFocus; }
void OnLostFocus(RuntimeObject*) { ++Events().lostFocus; }

uint8_t OnKeyDown(RuntimeObject*, StringRep* key) {
  std::string k(RepText(key));
  Events().keys.push_back(k);
  return !Events().refusedKey.empty() && k == Events().refusedKey;
}

void RecordEnabled(const char* item) { Events().enabledItems.emplace_back(item); }

}  // namespace

EditEvents& Events() {
  static EditEvents events;
  return events;
}

void EditFieldTest::SetUp() {
  GetEditFieldClassDefinition();
  ControlClassTest::SetUp();
  Events() = EditEvents();
  SetEditMenuItemEnabler(&RecordEnabled);
}

void EditFieldTest::TearDown() {
  SetEditMenuItemEnabler(nullptr);
  ControlClassTest::TearDown();
}

RuntimeObject* EditFieldTest::NewField(const PackedStream& stream, const Rect& bounds, const char* name) {
  std::string own = "Field" + std::to_string(++mFieldCount);
  RuntimeObject* field = AddControl(GetEditFieldClassDefinition(), name ? name : own.c_str(), bounds, host, &stream);
  Install(field, "TextChange", reinterpret_cast<void*>(&OnTextChange));
  Install(field, "SelChange", reinterpret_cast<void*>(&OnSelChange));
  Install(field, "GotFocus", reinterpret_cast<void*>(&OnGotFocus));
  Install(field, "LostFocus", reinterpret_cast<void*>(&OnLostFocus));
  Install(field, "KeyDown", reinterpret_cast<void*>(&OnKeyDown));
  MakePane(field);
  return field;
}

EditControlGTK* EditFieldTest::PaneOf(RuntimeObject* field) {
  return dynamic_cast<EditControlGTK*>(ControlPane(AsControl(field)));
}

std::string EditFieldTest::Text(RuntimeObject* field) { return Held(editTextGetter(field, 0)); }
std::string EditFieldTest::SelText(RuntimeObject* field) { return Held(editSelTextGetter(field, 0)); }

void EditFieldTest::SetText(RuntimeObject* field, const std::string& text) {
  editTextSetter(field, 0, string(text, kEncodingUTF8).Rep());
}

void EditFieldTest::Click(RuntimeObject* field, int32_t dx, int32_t dy) {
  Rect b = PaneOf(field)->Bounds();
  int32_t x, y;
  ScreenPoint(native, b.left + dx, b.top + dy, &x, &y);
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  PumpFor(150);
}

void EditFieldTest::ShowAndClick(RuntimeObject* field, int32_t dx, int32_t dy) {
  ShowAndSettle(native);
  Click(field, dx, dy);
}

void EditFieldTest::Type(const std::string& text) {
  Shell("xdotool type --delay 40 '" + text + "'");
  PumpFor(200);
}

void EditFieldTest::Keys(const std::string& keys) {
  Shell("xdotool key --delay 40 " + keys);
  PumpFor(200);
}

}  // namespace vorn::test
