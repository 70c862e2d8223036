// Fuzzes packed property streams against the progress bar, shape and panel classes before
// they have panes: the first byte picks the class, the rest is the stream. Line end points
// move the control's bounds, shape sizes are cut to 16 bits, and a TabDefinition is split
// into tab captions as a tab panel's pane would split it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "controls/panel_classes.h"
#include "controls/panel_logic.h"
#include "controls/progress_bar_class.h"
#include "controls/shape_classes.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/line_endings.h"
#include "strings/runtime_error.h"
#include "windows/packed_properties.h"

namespace {

bool Quiet(const std::string&) { return true; }

vorn::ObjectDefinition* Pick(uint8_t selector) {
  using namespace vorn;
  switch (selector % 7) {
    case 0: return GetProgressBarClassDefinition();
    case 1: return GetRectangleClassDefinition();
    case 2: return GetRoundRectangleClassDefinition();
    case 3: return GetOvalClassDefinition();
    case 4: return GetLineClassDefinition();
    case 5: return GetPagePanelClassDefinition();
    default: return GetTabPanelClassDefinition();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  if (size == 0) return 0;
  SetRuntimeErrorPresenter(Quiet);
  RuntimeObject* ctl = CreateInstanceFromDefinition(Pick(data[0]));
  // Exactly the stream's bytes, in a buffer of their own: any read past them is caught.
  const size_t length = size - 1;
  auto* bytes = static_cast<uint8_t*>(std::malloc(length ? length : 1));
  if (length) std::memcpy(bytes, data + 1, length);
  ApplyPackedProperties(ctl, bytes, length);
  std::free(bytes);
  if (RuntimeObject* pending = TakePendingException()) RuntimeUnlockObject(pending);
  if (TabPanelObject* tabs = AsTabPanelObject(ctl)) {
    string text = RuntimeReplaceLineEndings(string::Share(tabs->tabDefinition), string("\r"));
    size_t total = 0;
    for (std::string_view caption : SplitTabDefinition(text.View())) total += caption.size() + 1;
    if (total > text.View().size() + 1) std::abort();
  }
  RuntimeUnlockObject(ctl);
  return 0;
}
