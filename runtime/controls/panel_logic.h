// The page rules of page and tab panels apart from any widget. Page numbers of panes count
// from 1 (0: on no page); Value and the language's page and tab arguments count from 0.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vorn {

// The tab captions of a TabDefinition whose line endings are all carriage returns already: a
// caption per line, a NUL ends the definition, a final line ending adds no empty tab.
inline std::vector<std::string_view> SplitTabDefinition(std::string_view text) {
  std::vector<std::string_view> captions;
  if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\r', start);
    if (end == std::string_view::npos) end = text.size();
    captions.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return captions;
}

// The page number a child keeps when a page is inserted at `index` (0-based): pages from the
// inserted one on move up by one.
inline int32_t PageAfterInsert(int32_t page, int32_t index) { return page > index ? page + 1 : page; }

// The page number a child keeps when the page at `index` (0-based) goes; 0 for a child of
// that page (it goes with it).
inline int32_t PageAfterRemove(int32_t page, int32_t index) {
  if (page == index + 1) return 0;
  return page > index + 1 ? page - 1 : page;
}

// The page a page panel shows for Value v: the last page for a value past it, the first for
// a negative one (there is no page before it). Answers the 0-based page, -1 with no pages.
inline int32_t ClampPageValue(int32_t value, int32_t pageCount) {
  if (pageCount <= 0) return -1;
  if (value >= pageCount) return pageCount - 1;
  return value < 0 ? 0 : value;
}

// Whether a child on page `childPage` shows in a panel showing `currentPage` (both 1-based).
inline bool PageChildShown(int32_t childPage, int32_t currentPage, bool panelShown) {
  return panelShown && childPage >= 1 && childPage == currentPage;
}

}  // namespace vorn
