// Sorting a list box by one column. A folder moves with its descendants, and the descendants
// of each folder are sorted among themselves first.
#include <algorithm>
#include <vector>

#include "listbox/list_rows.h"
#include "strings/sort_callbacks.h"

namespace vorn {

namespace {

struct SortGroup {
  int32_t first;
  int32_t count;
};

}  // namespace

// Everything one sort pass needs travels with it, so one list box sorting never disturbs
// another's sort.
// A CompareRows handler that adds, removes or moves rows leaves the groups pointing at rows
// that are no longer theirs: the sort then stops where it is, every row still in the list once.
// One that closes the list or its window stops it too.
struct ListSortContext {
  ListRows* list;
  int32_t direction;
  std::vector<SortGroup> groups;
  uint32_t generation;
  bool stopped = false;

  bool MayGoOn() {
    if (list->mRowsGeneration != generation || list->IsListClosing()) stopped = true;
    return !stopped;
  }

  static int32_t Compare(int32_t i, int32_t j, void* data) {
    auto* context = static_cast<ListSortContext*>(data);
    if (context->stopped) return 0;
    const int32_t order = context->list->CompareGroupRows(context->groups[i].first, context->groups[j].first,
                                                          context->direction);
    return context->MayGoOn() ? order : 0;
  }

  static void Swap(int32_t i, int32_t j, void* data) {
    auto* context = static_cast<ListSortContext*>(data);
    if (context->stopped) return;
    std::vector<SortGroup>& groups = context->groups;
    const int32_t lo = std::min(i, j);
    const int32_t hi = std::max(i, j);
    if (lo == hi) return;
    context->list->MoveRows(groups[lo].first, groups[lo].count, groups[hi].first, groups[hi].count);
    std::swap(groups[lo].count, groups[hi].count);
    int32_t next = groups[lo].first;
    for (int32_t g = lo; g <= hi; ++g) {
      groups[g].first = next;
      next += groups[g].count;
    }
  }
};

int32_t ListRows::GetSortDirection(int32_t column) const {
  return column >= 0 && column < kMaxListColumns ? mSortDirections[column] : 0;
}

void ListRows::SetSortDirection(int32_t column, int32_t direction) {
  if (column >= 0 && column < kMaxListColumns) mSortDirections[column] = direction;
}

int32_t ListRows::CompareGroupRows(int32_t row1, int32_t row2, int32_t direction) {
  int32_t result = 0;
  if (FireCompareRows(row1, row2, mSortedColumn, result)) {
    if (direction == 1) return result;
    return result < 0 ? 1 : (result > 0 ? -1 : 0);
  }
  const int32_t order = CellText(row1, mSortedColumn).Compare(CellText(row2, mSortedColumn));
  return direction == 1 ? order : -order;
}

void ListRows::SortRange(ListSortContext& context, int32_t first, int32_t count) {
  std::vector<SortGroup> groups;
  const int32_t end = first + count;
  for (int32_t row = first; row < end;) {
    const int32_t depth = GetRowDepth(row);
    int32_t next = row + 1;
    while (next < end && GetRowDepth(next) > depth) ++next;
    groups.push_back({row, next - row});
    row = next;
  }
  for (const SortGroup& group : groups) {
    if (group.count > 1) SortRange(context, group.first + 1, group.count - 1);
    if (context.stopped) return;
  }
  // Rows without children, compared by their text alone: each text is read once and the rows
  // are put in their new order in one pass, instead of being compared and moved pair by pair.
  const bool flat = std::all_of(groups.begin(), groups.end(), [](const SortGroup& g) { return g.count == 1; });
  if (flat && !ComparesRowsItself()) {
    SortFlatRange(first, count, context.direction);
    return;
  }
  context.groups = std::move(groups);
  SortWithCallbacks(0, static_cast<int32_t>(context.groups.size()), &ListSortContext::Compare,
                    &ListSortContext::Swap, &context);
}

void ListRows::MoveRowsTo(const std::vector<int32_t>& rows, int32_t position) {
  if (mBound || rows.empty()) return;
  // Every index is checked before the first row is taken out, so none is lost half-way.
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] < 0 || rows[i] >= RowCount() || (i > 0 && rows[i] <= rows[i - 1])) return;
  }
  NoteRowsChanged();
  ForgetExpandPoints();
  std::vector<RowEntry> taken;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int32_t at = rows[i] - static_cast<int32_t>(i);
    taken.push_back(mRows[static_cast<size_t>(at)]);
    mRows.erase(mRows.begin() + at);
  }
  position = std::clamp(position, 0, RowCount());
  mRows.insert(mRows.begin() + position, taken.begin(), taken.end());
  InvalidateAll();
}

void ListRows::SortFlatRange(int32_t first, int32_t count, int32_t direction) {
  struct Keyed {
    string text;
    RowEntry entry;
  };
  std::vector<Keyed> rows;
  rows.reserve(count);
  for (int32_t row = first; row < first + count; ++row) {
    rows.push_back({CellText(row, mSortedColumn), mRows[static_cast<size_t>(row)]});
  }
  std::stable_sort(rows.begin(), rows.end(), [direction](const Keyed& a, const Keyed& b) {
    const int order = a.text.Compare(b.text);
    return direction == 1 ? order < 0 : order > 0;
  });
  for (int32_t i = 0; i < count; ++i) mRows[static_cast<size_t>(first + i)] = rows[static_cast<size_t>(i)].entry;
  ForgetExpandPoints();
}

void ListRows::SortByColumn(int32_t column) {
  // A sort asked for from inside a running one (a CompareRows handler) would move rows under it.
  if (mSorting) return;
  if (GetSortDirection(column) == 0 || mBound) {
    InvalidateColumn(column);
    return;
  }
  // The edit's own events may change the rows and the selection: both are read after it.
  EndCellEdit(false);
  mSortedColumn = column;
  if (RowCount() == 0) return;
  // The one selected row, by its id: a handler may remove it meanwhile.
  int32_t selectedRow = -1;
  if (SelectedRowCount() == 1) {
    for (int32_t row = 0; row < RowCount() && selectedRow < 0; ++row) {
      if (IsRowSelected(row)) selectedRow = row;
    }
  }
  const uint32_t selectedId = selectedRow >= 0 ? mRows[static_cast<size_t>(selectedRow)].mId : 0;
  mSorting = true;
  bool sortedByHandler = false;
  FireSortColumn(column, sortedByHandler);
  const int32_t direction = GetSortDirection(column);
  if (direction != 0 && !sortedByHandler && !IsListClosing()) {
    ListSortContext context{this, direction, {}, mRowsGeneration};
    SortRange(context, 0, RowCount());
  }
  mSorting = false;
  // Nothing follows a handler that closed the list.
  if (IsListClosing()) return;
  if (direction != 0 && selectedRow >= 0) SelectOnly(FindRowId(selectedId, selectedRow));
  InvalidateAll();
}

}  // namespace vorn
