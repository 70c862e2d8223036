// Helpers of the plug-in API's object services.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// Splits a member signature (name "%" result "%" parameters) at its first "%": `name` gets
// the text before it (all of it when there is none), `rest` the text behind it; both keep the
// signature's encoding; either may be nil.
void SplitAtFirstPercent(const string& signature, string* name, string* rest);

}  // namespace vorn
