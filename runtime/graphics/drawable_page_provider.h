// A source of pages to print, each a drawable.
#pragma once

#include <cstdint>

#include "graphics/drawable.h"
#include "strings/vstring.h"

namespace vorn {

class DrawablePageProvider {
 public:
  virtual ~DrawablePageProvider() = default;
  virtual int32_t PageCount() = 0;
  // Page `index` (from 0), for the caller to release; nil when there is none.
  virtual Drawable* Page(int32_t index) = 0;
};

// The pages of a picture file. This platform cannot render them, so it offers none.
class QT4DrawablePageProvider : public DrawablePageProvider {
 public:
  QT4DrawablePageProvider(int32_t pageCount, const string& name) : mPageCount(pageCount), mName(name) {}

  int32_t PageCount() override { return mPageCount; }
  Drawable* Page(int32_t) override { return nullptr; }
  const string& Name() const { return mName; }

 private:
  int32_t mPageCount;
  string mName;
};

}  // namespace vorn
