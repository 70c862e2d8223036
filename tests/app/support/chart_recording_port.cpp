#include "app/support/chart_recording_port.h"

#include "graphics/color_types.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_target.h"

namespace vorn::testing {

namespace {

class BoundsOnlyTarget : public GraphicsTarget {
 public:
  _GdkDrawable* GetGdkDrawable() override { return nullptr; }
  _GdkGC* NewGC() override { return nullptr; }
  Rect GetPaneBounds() const override { return MakeRect(0, 0, 2000, 2000); }
};

}  // namespace

ChartRecordingPort::ChartRecordingPort() : Graphics(nullptr), mOwnTarget(new BoundsOnlyTarget) {
  mTarget = mOwnTarget;
}

ChartRecordingPort::~ChartRecordingPort() { delete mOwnTarget; }

void ChartRecordingPort::LineTo(int32_t h, int32_t v) {
  mLines.push_back({PenH(), PenV(), h, v, RGB48ToColor(ForeColor()), PenWidth()});
  Graphics::LineTo(h, v);
}

void ChartRecordingPort::DrawText(const string& text, int32_t h, int32_t v, int32_t) {
  mTexts.push_back({std::string(text.View()), h, v, RGB48ToColor(ForeColor())});
}

void ChartRecordingPort::Shape(const char* kind, const Rect& r) {
  mShapes.push_back({kind, r, RGB48ToColor(ForeColor())});
}

RuntimeObject* NewRecordingGraphics(ChartRecordingPort** port) {
  *port = new ChartRecordingPort;
  return NewGraphicsObject(*port);
}

}  // namespace vorn::testing
