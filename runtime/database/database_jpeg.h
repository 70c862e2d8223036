// Pictures kept in database columns as JPEG bytes, encoded and decoded in memory.
#pragma once

#include <optional>
#include <string>

#include "objects/runtime_object.h"

namespace vorn {

// A new Picture (one reference) from JPEG bytes; nil when the bytes are no JPEG image.
RuntimeObject* PictureFromJPEG(const std::string& bytes);
// The picture's pixels as JPEG bytes; nothing for nil or a picture without pixels.
std::optional<std::string> JPEGOfPicture(RuntimeObject* picture);

}  // namespace vorn
