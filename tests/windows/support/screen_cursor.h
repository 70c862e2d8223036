// The X server's own idea of the cursor on screen, read through XFixes when the library is
// there (it is looked up at run time so the tests build without it).
#pragma once

#include <vector>

struct _XDisplay;

namespace vorn::test {

class ScreenCursor {
 public:
  // Reads through `display`; nil means GDK's connection.
  explicit ScreenCursor(_XDisplay* display = nullptr);
  ~ScreenCursor();
  ScreenCursor(const ScreenCursor&) = delete;
  ScreenCursor& operator=(const ScreenCursor&) = delete;
  bool Available() const { return mGetImage != nullptr; }

  struct Image {
    int width = 0, height = 0, xhot = 0, yhot = 0;
    std::vector<unsigned long> pixels;  // ARGB
    bool operator==(const Image&) const = default;
  };
  Image Current() const;

 private:
  _XDisplay* XDisplay() const;
  _XDisplay* mDisplay = nullptr;
  void* mLibrary = nullptr;
  void* (*mGetImage)(_XDisplay*) = nullptr;
  int (*mFree)(void*) = nullptr;
};

}  // namespace vorn::test
