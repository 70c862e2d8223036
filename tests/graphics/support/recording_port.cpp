#include "graphics/support/recording_port.h"

#include "graphics/graphics_defaults.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"

namespace vorn::testing {

namespace {

bool Collect(const std::string& text) {
  GraphicsObjectTest::Reports().push_back(text);
  return true;
}

std::string Num(int32_t n) { return std::to_string(n); }

}  // namespace

std::string Describe(const Rect& r) {
  return Num(r.left) + "," + Num(r.top) + "," + Num(r.right) + "," + Num(r.bottom);
}

void RecordingPort::DrawRoundRect(const Rect& r, int32_t aw, int32_t ah) {
  Log("DrawRoundRect " + Describe(r) + " " + Num(aw) + "x" + Num(ah));
}

void RecordingPort::FillRoundRect(const Rect& r, int32_t aw, int32_t ah) {
  Log("FillRoundRect " + Describe(r) + " " + Num(aw) + "x" + Num(ah));
}

void RecordingPort::MoveTo(int32_t h, int32_t v) {
  Graphics::MoveTo(h, v);
  Log("MoveTo " + Num(h) + "," + Num(v));
}

void RecordingPort::LineTo(int32_t h, int32_t v) { Log("LineTo " + Num(h) + "," + Num(v)); }

void RecordingPort::DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill) {
  std::string line = fill ? "FillPolygon" : "DrawPolygon";
  for (int32_t i = 1; i <= upperBound; ++i) line += " " + Num(elements[i]);
  Log(line);
}

void RecordingPort::DrawWrappedText(const string& text, const Rect& r, int32_t alignment) {
  Log("DrawWrappedText '" + std::string(text.View()) + "' " + Describe(r) + " " + Num(alignment));
}

void RecordingPort::DrawIcon(int32_t kind, int32_t h, int32_t v, int32_t width, int32_t height) {
  Log("DrawIcon " + Num(kind) + " " + Num(h) + "," + Num(v) + " " + Num(width) + "x" + Num(height));
}

void RecordingPort::GetPixel(int32_t h, int32_t v, RGB48* out) {
  Log("GetPixel " + Num(h) + "," + Num(v));
  *out = mPixel;
}

void RecordingPort::SetPixel(int32_t h, int32_t v, const RGB48& c) {
  Log("SetPixel " + Num(h) + "," + Num(v) + " " + Num(c.red) + "," + Num(c.green) + "," + Num(c.blue));
}

int32_t RecordingPort::StringHeight(const string& text, int32_t wrapWidth) {
  // One 12-pixel line per started wrap width of the fixed-width text.
  const int32_t width = StringWidth(text);
  if (wrapWidth <= 0 || width <= wrapWidth) return TextHeight();
  return TextHeight() * ((width + wrapWidth - 1) / wrapWidth);
}

std::vector<std::string>& GraphicsObjectTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

std::string GraphicsObjectTest::TakePendingClassName() {
  RuntimeObject* pending = TakePendingException();
  if (!pending) return "";
  std::string name(ClassOf(pending)->mName.View());
  RuntimeUnlockObject(pending);
  return name;
}

void GraphicsObjectTest::SetUp() {
  InitGraphicsDefaults();
  InitEllipsisString();
  Reports().clear();
  SetRuntimeErrorPresenter(&Collect);
  mBaseline = LiveObjectCount();
}

RuntimeObject* GraphicsObjectTest::Hold(RuntimeObject* object) {
  mHeld.push_back(object);
  return object;
}

void GraphicsObjectTest::TearDown() {
  for (RuntimeObject* object : mHeld) RuntimeUnlockObject(object);
  mHeld.clear();
  EXPECT_EQ(TakePendingClassName(), "") << "exception left pending";
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects still alive";
  SetRuntimeErrorPresenter(nullptr);
}

}  // namespace vorn::testing
