// Fuzzes column width expressions through the whole column model: the input's first byte picks
// the column count and the row area, each following line (at most 64) is one column's
// "width|minimum|maximum" expressions, and the model lays them out, is dragged and resized.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "listbox/list_columns.h"
#include "listbox/width_expression.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"

namespace {

bool Quiet(const std::string&) { return true; }

void DropPending() {
  if (vorn::RuntimeObject* pending = vorn::TakePendingException()) RuntimeUnlockObject(pending);
}

std::string_view Field(std::string_view line, int index) {
  for (int i = 0; i < index; ++i) {
    const size_t bar = line.find('|');
    if (bar == std::string_view::npos) return {};
    line.remove_prefix(bar + 1);
  }
  return line.substr(0, line.find('|'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  SetRuntimeErrorPresenter(Quiet);
  if (size == 0) return 0;
  const uint8_t shape = data[0];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  ListColumns columns((shape & 0x3F) * 13);
  columns.SetRowArea(shape & 7, (shape >> 3) * 40);
  columns.SetColumnCount(1 + (shape & 0x3F));

  int column = 0;
  while (!text.empty() && column < kMaxListColumns) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    const std::string_view parts[3] = {Field(line, 0), Field(line, 1), Field(line, 2)};
    const string width(parts[0], kEncodingUTF8);
    (void)ReadWidthExpression(width);
    columns.SetWidthExpression(column, width);
    DropPending();
    if (!parts[1].empty()) columns.SetMinWidthExpression(column, string(parts[1], kEncodingUTF8));
    DropPending();
    if (!parts[2].empty()) columns.SetMaxWidthExpression(column, string(parts[2], kEncodingUTF8));
    DropPending();
    ++column;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }

  columns.LayoutColumns();
  for (int i = 0; i < columns.ColumnCount(); ++i) {
    int32_t wanted = columns.GetColumnWidth(i) + (i % 2 ? 17 : -23);
    columns.ClampColumnResize(i, wanted, columns.GetColumnRight(i) + (i % 3) * 50);
    columns.SetColumnWidth(i, wanted);
    (void)columns.GetWidthExpression(i);
    (void)columns.GetMinWidthExpression(i);
    (void)columns.GetMaxWidthExpression(i);
  }
  for (int i = 0; i < columns.ColumnCount(); ++i) {
    if (columns.GetColumnWidth(i) < 0) abort();
  }
  columns.SetRowArea(0, (shape >> 2) * 17);
  columns.LayoutColumns();
  DropPending();
  return 0;
}
