// A fake port that also records the shapes, pixels and icons it is asked for, a target that
// counts what the language layer asks of it, and the base fixture of the Graphics class
// tests: no object may outlive a test and no exception may stay pending.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/support/fake_port.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

std::string Describe(const Rect& r);

class RecordingTarget : public FakeTarget {
 public:
  using FakeTarget::FakeTarget;
  bool IsDrawablePane() const override { return mDrawable; }
  void PrepareToDraw() override { ++mPrepared; }

  bool mDrawable = false;
  int mPrepared = 0;
};

class RecordingPort : public FakePort {
 public:
  explicit RecordingPort(GraphicsTarget* target, bool* destroyed = nullptr)
      : FakePort(target), mDestroyed(destroyed) {}
  ~RecordingPort() override {
    if (mDestroyed) *mDestroyed = true;
  }

  void DrawRect(const Rect& r) override { Log("DrawRect " + Describe(r)); }
  void FillRect(const Rect& r) override { Log("FillRect " + Describe(r)); }
  void ClearRect(const Rect& r) override { Log("ClearRect " + Describe(r)); }
  void DrawOval(const Rect& r) override { Log("DrawOval " + Describe(r)); }
  void FillOval(const Rect& r) override { Log("FillOval " + Describe(r)); }
  void DrawFocusRing(const Rect& r) override { Log("DrawFocusRing " + Describe(r)); }
  void DrawRoundRect(const Rect& r, int32_t aw, int32_t ah) override;
  void FillRoundRect(const Rect& r, int32_t aw, int32_t ah) override;
  void MoveTo(int32_t h, int32_t v) override;
  void LineTo(int32_t h, int32_t v) override;
  void DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill) override;
  void DrawWrappedText(const string& text, const Rect& r, int32_t alignment) override;
  void DrawIcon(int32_t kind, int32_t h, int32_t v, int32_t width, int32_t height) override;
  void GetPixel(int32_t h, int32_t v, RGB48* out) override;
  void SetPixel(int32_t h, int32_t v, const RGB48& color) override;
  int32_t StringHeight(const string& text, int32_t wrapWidth) override;

  void Log(const std::string& line) { mCalls.push_back(line); }

  std::vector<std::string> mCalls;
  RGB48 mPixel{0x1200, 0x3400, 0x5600};
  bool* mDestroyed;
};

class GraphicsObjectTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();
  // The pending exception's class name, taken and released; "" when none.
  static std::string TakePendingClassName();

 protected:
  void SetUp() override;
  void TearDown() override;
  // Keeps the object's reference until the test ends; answers the object.
  RuntimeObject* Hold(RuntimeObject* object);

 private:
  int32_t mBaseline = 0;
  std::vector<RuntimeObject*> mHeld;
};

}  // namespace vorn::testing
