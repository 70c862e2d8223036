// Radio groups: which radio buttons exclude each other. A group is the set of buttons with the
// same parent pane on the same tab-panel page; each group owns one hidden native radio button
// that is on whenever none of the visible ones is. The registry keeps the groups while they
// have members and knows the native side only through two operations, so its bookkeeping
// runs without a display.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

struct RadioGroupRecord {
  void* hiddenButton;  // the native button that stands for "none selected"
  const void* key;     // the parent pane the group was made for
  int32_t page;        // tab-panel page index of its members
  int32_t members;
};

class RadioGroupRegistry {
 public:
  struct NativeOps {
    void* (*newHiddenButton)();
    void (*destroyHiddenButton)(void* button);
  };

  explicit RadioGroupRegistry(const NativeOps& ops) : mOps(ops) {}
  ~RadioGroupRegistry();
  RadioGroupRegistry(const RadioGroupRegistry&) = delete;
  RadioGroupRegistry& operator=(const RadioGroupRegistry&) = delete;

  // Leaves `current` (nil: no group yet) and joins the group of (key, page), making it when
  // there is none. Answers the group joined.
  RadioGroupRecord* Join(RadioGroupRecord* current, const void* key, int32_t page);
  // One member fewer; the last one takes the group and its hidden button away.
  void Leave(RadioGroupRecord* group);
  // The group of (key, page); nil when there is none.
  RadioGroupRecord* Find(const void* key, int32_t page) const;
  int32_t GroupCount() const { return static_cast<int32_t>(mGroups.size()); }

 private:
  NativeOps mOps;
  std::vector<RadioGroupRecord*> mGroups;
};

// The registry of the runtime's radio buttons, over GTK radio buttons.
RadioGroupRegistry& RadioGroups();

}  // namespace vorn
