#include "graphics/graphics_target.h"

namespace vorn {

GraphicsTarget::~GraphicsTarget() = default;

}  // namespace vorn
