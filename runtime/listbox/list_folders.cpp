// Folder rows: the depth that makes a row one of a folder's, and opening and closing folders,
// whose events may change the rows while the list is changing them.
#include "listbox/list_rows.h"

#include <vector>

namespace vorn {

int32_t ListRows::GetRowDepth(int32_t row) const {
  const RowEntry* entry = EntryOrNil(row);
  return entry ? entry->mDepth : 0;
}

int32_t ListRows::GetNextSiblingRow(int32_t row) const {
  const int32_t depth = GetRowDepth(row);
  int32_t next = row + 1;
  while (next < RowCount() && GetRowDepth(next) > depth) ++next;
  return next;
}

bool ListRows::IsExpanded(int32_t row) const {
  const RowEntry* entry = EntryOrNil(row);
  return entry && entry->mFolderState == kExpandedFolder;
}

bool ListRows::ExpandFolder(int32_t row) {
  RowEntry* entry = EntryOrNil(row);
  if (!entry || entry->mFolderState != kCollapsedFolder) return false;
  entry->mFolderState = kExpandedFolder;
  ExpandPoint point{entry->mId, row, row, false, mExpanding};
  mExpanding = &point;
  FireExpandRow(row);
  mExpanding = point.outer;
  if (IsListClosing()) return true;
  row = FindRowId(point.folderId, row);
  if (row >= 0) InvalidateRow(row);
  return true;
}

ListRows::ExpandPoint* ListRows::OpenExpandPoint() {
  ExpandPoint* point = mExpanding;
  if (!point || mBound) return nullptr;
  if (!point->known) {
    point->folder = FindRowId(point->folderId, point->folder);
    point->end = point->folder >= 0 ? GetNextSiblingRow(point->folder) : -1;
    point->known = true;
  }
  // A folder closed by its own ExpandRow handler takes no rows under it.
  return point->folder >= 0 && IsExpanded(point->folder) ? point : nullptr;
}

void ListRows::ExpandPointsRowInserted(int32_t index) {
  const int16_t depth = mRows[static_cast<size_t>(index)].mDepth;
  for (ExpandPoint* p = mExpanding; p; p = p->outer) {
    if (!p->known || p->folder < 0 || index > p->end) continue;
    if (index <= p->folder) {
      ++p->folder;
      ++p->end;
    } else {
      // A row no deeper than the folder ends the rows under it.
      p->end = depth > mRows[static_cast<size_t>(p->folder)].mDepth ? p->end + 1 : index;
    }
  }
}

void ListRows::ExpandPointsRowRemoved(int32_t index) {
  for (ExpandPoint* p = mExpanding; p; p = p->outer) {
    if (!p->known || p->folder < 0 || index > p->end) continue;
    if (index < p->folder) {
      --p->folder;
      --p->end;
    } else if (index == p->folder) {
      p->folder = -1;
    } else if (index < p->end) {
      --p->end;
    } else {
      p->known = false;  // the rows that followed the folder's may now lie under it
    }
  }
}

void ListRows::ForgetExpandPoints() {
  for (ExpandPoint* p = mExpanding; p; p = p->outer) p->known = false;
}

bool ListRows::CollapseFolder(int32_t row) {
  const RowEntry* entry = EntryOrNil(row);
  if (!entry || entry->mFolderState != kExpandedFolder) return false;
  const uint32_t id = entry->mId;
  FireCollapseRow(row);
  // The handler may have moved or removed the folder.
  row = FindRowId(id, row);
  if (row < 0 || IsListClosing()) return true;
  // The folder stays open until its rows are gone: the Change handlers their removals raise
  // find an open folder with fewer rows, never a closed one with rows under it.
  if (mHierarchical) RemoveDescendants(row);
  row = FindRowId(id, row);
  if (row < 0 || IsListClosing()) return true;
  mRows[static_cast<size_t>(row)].mFolderState = kCollapsedFolder;
  InvalidateRow(row);
  return true;
}

// Each removal may raise Change, whose handler may add, move or remove rows. The rows go last
// first, each with whatever lies under it by then, so that every handler finds a tree: the rows
// under the folder when it began to close, wherever a handler moves them, then any a handler
// puts under the folder meanwhile.
void ListRows::RemoveDescendants(int32_t folder) {
  const uint32_t folderId = mRows[static_cast<size_t>(folder)].mId;
  std::vector<uint32_t> descendants;
  for (int32_t next = folder + 1, end = GetNextSiblingRow(folder); next < end; ++next)
    descendants.push_back(mRows[static_cast<size_t>(next)].mId);
  for (auto i = static_cast<int32_t>(descendants.size()) - 1; i >= 0; --i)
    RemoveRowsUnder(descendants[static_cast<size_t>(i)], folder + 1 + i, true);
  RemoveRowsUnder(folderId, folder, false);
}

int32_t ListRows::LastRowUnder(int32_t row) const {
  int32_t last = GetNextSiblingRow(row) - 1;
  while (last > row && IsBeingRemoved(mRows[static_cast<size_t>(last)].mId)) --last;
  return last;
}

// The last row under the row goes, until none is left, and then, with `itself`, the row. Rows
// whose removal is under way further up the call chain are left to it.
void ListRows::RemoveRowsUnder(uint32_t id, int32_t hint, bool itself) {
  for (int32_t at = FindRowId(id, hint); at >= 0 && !IsListClosing(); at = FindRowId(id, at)) {
    const int32_t last = LastRowUnder(at);
    if (last == at) {
      if (itself) RemoveRow(at);
      return;
    }
    RemoveRow(last);
  }
}

}  // namespace vorn
