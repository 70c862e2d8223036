#include "controls/radio_group.h"

#include <algorithm>

namespace vorn {

RadioGroupRegistry::~RadioGroupRegistry() {
  for (RadioGroupRecord* group : mGroups) {
    if (mOps.destroyHiddenButton) mOps.destroyHiddenButton(group->hiddenButton);
    delete group;
  }
}

RadioGroupRecord* RadioGroupRegistry::Find(const void* key, int32_t page) const {
  for (RadioGroupRecord* group : mGroups) {
    if (group->key == key && group->page == page) return group;
  }
  return nullptr;
}

void RadioGroupRegistry::Leave(RadioGroupRecord* group) {
  auto it = std::find(mGroups.begin(), mGroups.end(), group);
  if (it == mGroups.end()) return;
  if (--group->members > 0) return;
  mGroups.erase(it);
  if (mOps.destroyHiddenButton) mOps.destroyHiddenButton(group->hiddenButton);
  delete group;
}

RadioGroupRecord* RadioGroupRegistry::Join(RadioGroupRecord* current, const void* key, int32_t page) {
  if (current && current->key == key && current->page == page) return current;
  if (current) Leave(current);
  if (RadioGroupRecord* group = Find(key, page)) {
    ++group->members;
    return group;
  }
  auto* group = new RadioGroupRecord{mOps.newHiddenButton ? mOps.newHiddenButton() : nullptr, key, page, 1};
  mGroups.push_back(group);
  return group;
}

}  // namespace vorn
