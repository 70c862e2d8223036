// Fields of a text split at a delimiter, as the language's NthField and CountFields see them.
//
// A text of k delimiters has k + 1 fields (empty ones included: "a,,b" has three, "a," two);
// the empty text has none. An empty delimiter makes a non-empty text one field. The text
// functions find the delimiter as InStr does (without regard to case, in the text
// SearchableText gives); the B functions compare bytes. Fields keep the text's encoding.
#pragma once

#include <cstdint>
#include <vector>

#include "strings/vstring.h"

namespace vorn {

int32_t CountFields(const string& source, const string& delimiter);
int32_t CountFieldsB(const string& source, const string& delimiter);

// Field n, counting from 1; the empty string when n < 1 or there are fewer fields.
string NthField(const string& source, const string& delimiter, int32_t n);
string NthFieldB(const string& source, const string& delimiter, int32_t n);

// Appends every field of the source, in order, to the vector (nothing for an empty source).
void SplitToVector(const string& source, const string& delimiter, std::vector<string>& pieces);
void SplitToVectorB(const string& source, const string& delimiter, std::vector<string>& pieces);

// Empties the vector, then fills it with the pieces of the text, converted to UTF-8, between
// separator bytes: a leading separator gives an empty first piece, two adjacent separators an
// empty piece, a final separator no piece; the empty text gives none. Pieces are tagged UTF-8.
void SplitStringAtChar(const string& text, uint8_t separator, std::vector<string>& pieces);
std::vector<string> SplitStringAtChar(const string& text, uint8_t separator);

}  // namespace vorn
