// The four binder classes: small objects that wire a source to a destination through the
// data-binding interfaces. A binder refers to its source and dest without holding them (a
// source that notifies holds the binder in its receiver list, and a reference back would keep
// both alive for ever); instead the binder layer watches object destruction and clears a
// binder's reference to an object that dies, so a binder never calls into a dead object.
#pragma once

#include <cstddef>

#include "objects/runtime_class.h"
#include "vorn/popup_api.h"

namespace vorn {

struct BinderObject {
  RuntimeObject header;
  RuntimeObject* source;
  RuntimeObject* dest;
};

constexpr int32_t kBinderSourceOffset = static_cast<int32_t>(offsetof(BinderObject, source));
constexpr int32_t kBinderDestOffset = static_cast<int32_t>(offsetof(BinderObject, dest));

// Whether the object is a control: its class or an ancestor is "Control".
bool IsControlObject(RuntimeObject* object);
// Sets a control's Enabled property through its class's accessor; false when it has none.
bool SetControlEnabled(RuntimeObject* control, bool enabled);

// What a string binder does for an edit-field dest after setString: the edit field layer
// installs it (it leaves its previous data notifier and registers with the source). Nil: no
// such step. Answers the previous hook.
using StringBinderDestHook = void (*)(RuntimeObject* dest, RuntimeObject* source);
StringBinderDestHook SetStringBinderDestHook(StringBinderDestHook hook);

// Binders currently referring to at least one object (for tests).
int32_t WatchingBinderCount();

}  // namespace vorn
