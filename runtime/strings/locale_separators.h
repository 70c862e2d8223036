// Separators of numbers, dates and times as the user's locale writes them.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// Fills each separator asked for (nil pointers are skipped), each as a UTF-8 string: thousands
// and decimal from the C library's numeric locale ("," and "." where the locale has none), the
// date separator "/" and the time separator ":".
void GetLocaleSeparators(string* thousands, string* decimal, string* date, string* time);

}  // namespace vorn
