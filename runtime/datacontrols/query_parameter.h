// Putting a parameter text in place of a query's "%1" markers as an SQL literal, never as SQL.
#pragma once

#include <optional>

#include "strings/vstring.h"

namespace vorn {

// Every "%1" of the query replaced by the parameter, both brought to UTF-8 first (the
// database's text): inside a quoted literal of the query the parameter's quote characters are
// doubled; anywhere else it becomes a literal of its own in single quotes. An empty parameter
// removes the markers, as queries written for an optional parameter expect. Nothing when
// either text does not convert.
std::optional<string> BindQueryParameter(const string& query, const string& parameter);

}  // namespace vorn
