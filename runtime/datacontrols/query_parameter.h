// Putting a parameter text in place of a query's "%1" markers as an SQL literal, never as SQL.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// Every "%1" of the query replaced by the parameter (first brought to the query's encoding):
// inside a quoted literal of the query the parameter's quote characters are doubled; anywhere
// else it becomes a literal of its own in single quotes. An empty parameter removes the
// markers, as queries written for an optional parameter expect.
string BindQueryParameter(const string& query, const string& parameter);

}  // namespace vorn
