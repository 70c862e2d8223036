#include "database/db_tree.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace vorn {
namespace {

// Deeper than any tree of a file that fits in 2 GB: a longer path means the pages loop.
constexpr size_t kMostDepth = 24;

constexpr size_t kEntryKeyOffset = 12;
// An offset that ends the page whatever it holds.
constexpr uint32_t kPastAnyPage = 0xFFFF;
constexpr size_t kMasterRootOffset = 10;
constexpr size_t kMasterNameOffset = 18;

bool SameName(const uint8_t* bytes, size_t length, const std::string& name) {
  return length == name.size() &&
         strncasecmp(reinterpret_cast<const char*>(bytes), name.data(), length) == 0;
}

// Leaf records count one each, interior entries the count they carry.
uint16_t CountRecords(uint32_t tag, const uint8_t* bytes, size_t length) {
  uint32_t count = 0;
  for (size_t at = 0; at < length; at += DbGet16(bytes + at))
    count += tag == kDbInteriorPage ? DbGet16(bytes + at + 6) : 1;
  return uint16_t(std::min<uint32_t>(count, 0xFFFF));
}

Bytes MakeEntry(const Bytes& key, uint16_t count, uint32_t child, uint32_t serial) {
  Bytes entry(kEntryKeyOffset + key.size(), 0);
  DbPut16(entry.data(), uint16_t(kEntryKeyOffset + key.size()));
  DbStamp(entry.data(), kDbLive, serial);
  DbPut16(entry.data() + 6, count);
  DbPut32(entry.data() + 8, child);
  if (!key.empty()) std::memcpy(entry.data() + kEntryKeyOffset, key.data(), key.size());
  return entry;
}

void Fill(vndbPage* page, const Bytes& first, const Bytes& second) {
  std::memcpy(page->Data(), first.data(), first.size());
  if (!second.empty()) std::memcpy(page->Data() + first.size(), second.data(), second.size());
  page->SetUsed(uint16_t(first.size() + second.size()));
}

// Whether a record put at `offset` of a full leaf continues a run of neighbouring keys: rows
// added after the last one, before the first one, or next to the record put there last. Such a
// run fills the pages it leaves behind when the split is made where the record goes.
bool ContinuesRun(const vndbPage& page, uint32_t offset) {
  return offset == page.Used() || offset == 0 || offset == page.insertedAt || offset == page.insertedEnd;
}

// The record boundary of `joined` (a full leaf's records with the new one in place) that leaves
// the two sides nearest in size with both fitting a page, or 0 when there is none.
size_t EvenCut(const Bytes& joined) {
  size_t total = joined.size();
  size_t best = 0;
  size_t bestGap = SIZE_MAX;
  for (size_t at = 0; at + 2 <= total;) {
    size_t length = DbGet16(joined.data() + at);
    if (length == 0) return 0;
    at += length;
    if (at >= total || at > size_t(kDbDataSize)) break;
    if (total - at > size_t(kDbDataSize)) continue;
    size_t gap = at * 2 > total ? at * 2 - total : total - at * 2;
    if (gap < bestGap) {
      best = at;
      bestGap = gap;
    }
  }
  return best;
}

}  // namespace

vndbTree::vndbTree(vndbFile& file) : mFile(file), mUndos(file.Undos()) {}

vndbTree::vndbTree(vndbFile& file, std::string name, Bytes keyFields)
    : mFile(file), mNamed(true), mName(std::move(name)), mKeyFields(std::move(keyFields)), mUndos(file.Undos()) {}

void vndbTree::DropStalePaths() {
  if (mUndos == mFile.Undos()) return;
  mUndos = mFile.Undos();
  mPath.clear();
  mAtStart = true;
  mAppendValid = false;
}

std::unique_ptr<vndbTree> vndbTree::OpenNamedTree(vndbFile& file, const std::string& name,
                                                  const Bytes& keyFields) {
  std::unique_ptr<vndbTree> tree(new vndbTree(file, name, keyFields));
  if (!tree->LocateMasterRecord()) return nullptr;
  return tree;
}

bool vndbTree::CreateNamedTree(vndbFile& file, const std::string& name) {
  if (name.empty() || name.size() > kDbMostTreeNameLength) return false;
  vndbPage* page = file.NewPageWithTag(kDbRowLeaf);
  if (!page) return false;
  Bytes record(kMasterNameOffset, 0);
  DbPut16(record.data(), uint16_t(kMasterNameOffset + name.size()));
  DbStamp(record.data(), kDbLive, file.CurrentSerial());
  DbPut32(record.data() + kDbRecordIdOffset, file.NewRecordId());
  DbPut32(record.data() + kMasterRootOffset, page->number);
  DbPut32(record.data() + 14, uint32_t(name.size()));
  record.insert(record.end(), name.begin(), name.end());
  vndbTree master(file);
  return master.InsertRecord(record, false) == InsertResult::kInserted;
}

bool vndbTree::ListTrees(vndbFile& file, std::vector<std::string>* names) {
  const uint64_t troubles = file.Troubles();
  vndbTree master(file);
  while (master.Next()) {
    size_t length = 0;
    const uint8_t* record = master.IsCurrentVisible() ? master.CurrentRecord(&length) : nullptr;
    if (!record) continue;
    std::string name(reinterpret_cast<const char*>(record + kMasterNameOffset), length - kMasterNameOffset);
    file.SetTreeHint(name, {master.mPath.back().page, master.mPath.back().offset, DbGet32(record + kDbRecordIdOffset)});
    names->push_back(std::move(name));
  }
  return file.Troubles() == troubles;
}

namespace {

constexpr uint32_t kNoTree = UINT32_MAX;

// Leaves all lie at one depth, so the interior pages are read level by level and the last
// level's children are only counted against the file, not read. Every page is named once in
// the whole file: `owners` holds the tree that named each page met so far; the tree that named
// a page met again goes to `other`.
bool ReachesInside(vndbFile& file, uint32_t root, uint32_t tree, std::vector<uint32_t>& owners, uint32_t* other) {
  std::vector<uint32_t> level{root};
  for (size_t depth = 0; !level.empty() && depth < kMostDepth; ++depth) {
    for (uint32_t number : level) {
      if (number >= file.PageCount()) {
        file.ReportDamage("page " + std::to_string(number) + " lies outside the file");
        return false;
      }
      if (owners[number] != kNoTree) {
        *other = owners[number];
        file.ReportDamage("page " + std::to_string(number) + " is reached twice");
        return false;
      }
      owners[number] = tree;
    }
    std::vector<uint32_t> below;
    for (uint32_t number : level) {
      vndbPage* page = file.GetPage(number);
      if (!page) return false;
      if (page->Tag() != kDbInteriorPage) return true;
      for (uint32_t at = 0; at + kEntryKeyOffset <= page->Used(); at += DbGet16(page->Data() + at))
        below.push_back(DbGet32(page->Data() + at + 8));
    }
    level.swap(below);
  }
  return true;
}

}  // namespace

bool vndbTree::CheckReach(vndbFile& file, std::vector<std::string>* sharing) {
  // Tree 0 is the master tree, tree i the named tree of the i-th master record.
  std::vector<uint32_t> owners(file.PageCount(), kNoTree);
  std::vector<std::pair<std::string, uint32_t>> trees = {{"", file.MasterRoot()}};
  uint32_t other = kNoTree;
  if (!ReachesInside(file, file.MasterRoot(), 0, owners, &other)) return false;
  vndbTree master(file);
  while (master.Next()) {
    size_t length = 0;
    const uint8_t* record = master.CurrentRecord(&length);
    if (record && record[2] == kDbLive)
      trees.emplace_back(std::string(reinterpret_cast<const char*>(record + kMasterNameOffset), length - kMasterNameOffset),
                         DbGet32(record + kMasterRootOffset));
  }
  if (file.IsDamaged()) return false;
  for (uint32_t tree = 1; tree < trees.size(); ++tree) {
    if (ReachesInside(file, trees[tree].second, tree, owners, &other)) continue;
    if (sharing && other != kNoTree) *sharing = {trees[other].first, trees[tree].first};
    return false;
  }
  return true;
}

bool vndbTree::LocateMasterRecord() {
  // Where the record was last found, when it is still there: the master tree is walked once
  // per tree, not once per row inserted.
  vndbFile::TreeHint hint;
  if (mFile.FindTreeHint(mName, &hint)) {
    vndbPage* page = mFile.GetPage(hint.page);
    if (page && page->Tag() == kDbMasterLeaf && hint.offset + kMasterNameOffset <= page->Used()) {
      const uint8_t* record = page->Data() + hint.offset;
      size_t length = DbGet16(record);
      if (record[2] == kDbLive && DbGet32(record + kDbRecordIdOffset) == hint.id &&
          length >= kMasterNameOffset && hint.offset + length <= page->Used() &&
          SameName(record + kMasterNameOffset, length - kMasterNameOffset, mName)) {
        mMasterId = hint.id;
        mMasterAt = {hint.page, hint.offset};
        return true;
      }
    }
  }
  vndbTree master(mFile);
  while (master.Next()) {
    if (!master.IsCurrentVisible()) continue;
    size_t length = 0;
    const uint8_t* record = master.CurrentRecord(&length);
    if (SameName(record + kMasterNameOffset, length - kMasterNameOffset, mName)) {
      mMasterId = DbGet32(record + kDbRecordIdOffset);
      mMasterAt = master.mPath.back();
      mFile.SetTreeHint(mName, {mMasterAt.page, mMasterAt.offset, mMasterId});
      return true;
    }
  }
  return false;
}

uint32_t vndbTree::Root() {
  if (!mNamed) return mFile.MasterRoot();
  for (int attempt = 0; attempt < 2; ++attempt) {
    vndbPage* page = mFile.GetPage(mMasterAt.page);
    if (page && page->Tag() == kDbMasterLeaf && mMasterAt.offset < page->Used()) {
      const uint8_t* record = page->Data() + mMasterAt.offset;
      if (DbGet32(record + kDbRecordIdOffset) == mMasterId && record[2] == kDbLive)
        return DbGet32(record + kMasterRootOffset);
    }
    // The master tree changed shape since the record was found.
    if (attempt == 0 && !LocateMasterRecord()) break;
  }
  return kDbNoPage;
}

bool vndbTree::SetRoot(uint32_t root) {
  if (!mNamed) {
    mFile.SetMasterRoot(root);
    return true;
  }
  if (Root() == kDbNoPage) return false;
  vndbPage* page = mFile.GetPage(mMasterAt.page);
  mFile.MarkModified(page);
  DbPut32(page->Data() + mMasterAt.offset + kMasterRootOffset, root);
  return true;
}

vndbPage* vndbTree::PathPage(uint32_t number) {
  if (mPath.size() >= kMostDepth) {
    mFile.ReportDamage("a tree is deeper than any file could hold");
    return nullptr;
  }
  for (const vndbTreeLevel& level : mPath) {
    if (level.page == number) {
      mFile.ReportDamage("page " + std::to_string(number) + " is reached twice on one path");
      return nullptr;
    }
  }
  vndbPage* page = mFile.GetPage(number);
  if (!page) return nullptr;
  if (page->Tag() != kDbInteriorPage && page->Tag() != LeafTag()) {
    mFile.ReportDamage("page " + std::to_string(number) + " belongs to another kind of tree");
    return nullptr;
  }
  return page;
}

bool vndbTree::SettleForward() {
  if (!mPath.empty()) {
    // Most steps stay on the leaf they are on.
    vndbPage* page = mFile.GetPage(mPath.back().page);
    if (page && page->Tag() != kDbInteriorPage && mPath.back().offset < page->Used()) return true;
  }
  mSavedPath = mPath;
  while (!mPath.empty()) {
    vndbTreeLevel& top = mPath.back();
    vndbPage* page = mFile.GetPage(top.page);
    if (!page) break;
    if (top.offset < page->Used()) {
      if (page->Tag() != kDbInteriorPage) return true;
      if (top.offset + kEntryKeyOffset > page->Used()) break;
      uint32_t child = DbGet32(page->Data() + top.offset + 8);
      if (!PathPage(child)) break;
      mPath.push_back({child, 0});
      continue;
    }
    mPath.pop_back();
    if (mPath.empty()) break;
    vndbTreeLevel& parent = mPath.back();
    vndbPage* parentPage = mFile.GetPage(parent.page);
    if (!parentPage) break;
    if (parent.offset + 2 > parentPage->Used()) break;
    parent.offset += DbGet16(parentPage->Data() + parent.offset);
  }
  mPath = mSavedPath;
  return false;
}

bool vndbTree::Find(const Bytes& key, bool* found) {
  DropStalePaths();
  *found = false;
  mPastEnd = false;
  mPath.clear();
  mAtStart = true;
  uint32_t number = Root();
  if (number == kDbNoPage) return false;
  bool lastLeaf = true;  // every level took its page's last entry
  bool placed = false;   // mPlacePath holds where a record of the key goes
  for (;;) {
    vndbPage* page = PathPage(number);
    if (!page) {
      mPath.clear();
      return false;
    }
    const uint8_t* data = page->Data();
    if (page->Tag() == kDbInteriorPage) {
      // The child of the last entry whose key is below `key`, else of the first entry; the
      // entries stand in key order, so they are searched by halves.
      const std::vector<uint16_t>& offsets = RecordOffsets(page);
      size_t low = 0;
      size_t high = offsets.size();
      while (low < high) {
        size_t middle = (low + high) / 2;
        uint32_t at = offsets[middle];
        uint16_t length = DbGet16(data + at);
        if (DbCompareKeys(data + at + kEntryKeyOffset, length - kEntryKeyOffset, key.data(), key.size()) < 0)
          low = middle + 1;
        else
          high = middle;
      }
      int64_t chosen = offsets.empty() ? -1 : int64_t(offsets[low > 0 ? low - 1 : 0]);
      if (chosen < 0) {
        mFile.ReportDamage("interior page " + std::to_string(number) + " is empty");
        mPath.clear();
        return false;
      }
      lastLeaf = lastLeaf && page->offsetsSound && low == offsets.size();
      mPath.push_back({number, uint32_t(chosen)});
      number = DbGet32(data + chosen + 8);
      continue;
    }
    const LeafSeek seek = SeekInLeaf(page, key);
    mPath.push_back({number, seek.live});
    // Deleted records whose keys are >= key and that stand before the first live one: a record
    // of this key goes before them, or the tree would fall out of key order.
    placed = seek.insert < seek.live;
    if (placed) {
      mPlacePath = mPath;
      mPlacePath.back().offset = seek.insert;
    }
    // Past the tree's last record (rows added in key order) there is nothing to walk on to.
    if (lastLeaf && seek.live >= page->Used()) {
      if (placed) mPath.swap(mPlacePath);
      mPastEnd = !placed;
      return !mFile.IsDamaged();
    }
    break;
  }
  // Records may sit a page or more further on than the separators suggest (a page split where
  // its first record went keeps the separator it had); walk to the first live one at or beyond
  // the key, searching each further leaf by halves too.
  uint32_t sought = mPath.back().page;
  while (SettleForward()) {
    vndbTreeLevel& at = mPath.back();
    if (at.page != sought) {
      sought = at.page;
      vndbPage* page = mFile.GetPage(at.page);
      if (!page) continue;
      const LeafSeek seek = SeekInLeaf(page, key);
      // Live records below the key stand between an earlier place and this page's.
      if (seek.liveBelow) placed = false;
      if (!placed && seek.insert < seek.live && seek.insert >= at.offset) {
        placed = true;
        mPlacePath = mPath;
        mPlacePath.back().offset = seek.insert;
      }
      at.offset = std::max(at.offset, seek.live);
      continue;
    }
    size_t length = 0;
    const uint8_t* record = CurrentRecord(&length);
    if (!record) {
      mPath.back().offset = kPastAnyPage;
      continue;
    }
    if (record[2] == kDbLive) {
      BuildKeyInto(mScratchKey, record, length);
      int order = DbCompareKeys(mScratchKey, key);
      if (order >= 0) {
        *found = order == 0;
        if (placed && !*found) mPath.swap(mPlacePath);
        return true;
      }
      placed = false;
    }
    mPath.back().offset += uint32_t(length);
  }
  if (placed) mPath.swap(mPlacePath);
  return !mFile.IsDamaged();
}

bool vndbTree::Next() {
  DropStalePaths();
  if (mPath.empty()) {
    bool found = false;
    if (!Find({}, &found)) return false;
  }
  if (mAtStart) {
    mAtStart = false;
  } else {
    size_t length = 0;
    if (CurrentRecord(&length))
      mPath.back().offset += uint32_t(length);
    else if (!mPath.empty())
      mPath.back().offset = kPastAnyPage;
  }
  return SettleForward();
}

bool vndbTree::SeekEnd() {
  DropStalePaths();
  mPath.clear();
  mAtStart = false;
  uint32_t number = Root();
  while (number != kDbNoPage) {
    vndbPage* page = PathPage(number);
    if (!page) break;
    if (page->Tag() != kDbInteriorPage) {
      mPath.push_back({number, page->Used()});
      return true;
    }
    const std::vector<uint16_t>& entries = RecordOffsets(page);
    if (entries.empty() || !page->offsetsSound) {
      mFile.ReportDamage("interior page " + std::to_string(number) + " cannot be read to its end");
      break;
    }
    mPath.push_back({number, entries.back()});
    number = DbGet32(page->Data() + entries.back() + 8);
  }
  mPath.clear();
  return false;
}

// Interior entries and live leaf records stand in offset order in their pages' lists, so the one
// before a position is found by halves; at a page's start the walk climbs to the entry before
// and goes down its last entries to the end of the leaf there.
bool vndbTree::PreviousLive() {
  DropStalePaths();
  if (mPath.empty()) return false;
  mSavedPath = mPath;
  mAtStart = false;
  while (!mPath.empty()) {
    vndbPage* page = mFile.GetPage(mPath.back().page);
    if (!page) break;
    const std::vector<uint16_t>& offsets = RecordOffsets(page);
    if (!page->offsetsSound) {
      mFile.ReportDamage("page " + std::to_string(mPath.back().page) + " cannot be read backwards");
      break;
    }
    const auto at = std::lower_bound(offsets.begin(), offsets.end(), mPath.back().offset);
    if (at == offsets.begin()) {
      mPath.pop_back();
      continue;
    }
    mPath.back().offset = *std::prev(at);
    if (page->Tag() != kDbInteriorPage) return true;
    // Down the entry to the end of the last leaf below it, whose live records are looked at next.
    bool down = true;
    while (down) {
      const vndbTreeLevel level = mPath.back();
      vndbPage* above = mFile.GetPage(level.page);
      vndbPage* below = above ? PathPage(DbGet32(above->Data() + level.offset + 8)) : nullptr;
      if (!below) break;
      if (below->Tag() != kDbInteriorPage) {
        mPath.push_back({below->number, below->Used()});
        down = false;
        continue;
      }
      const std::vector<uint16_t>& entries = RecordOffsets(below);
      if (entries.empty() || !below->offsetsSound) {
        mFile.ReportDamage("interior page " + std::to_string(below->number) + " cannot be read to its end");
        break;
      }
      mPath.push_back({below->number, entries.back()});
    }
    if (down) break;
  }
  mPath = mSavedPath;
  return false;
}

vndbPage* vndbTree::CurrentLeaf() {
  DropStalePaths();
  if (mPath.empty()) return nullptr;
  vndbPage* page = mFile.GetPage(mPath.back().page);
  return page && page->Tag() != kDbInteriorPage ? page : nullptr;
}

const uint8_t* vndbTree::CurrentRecordIn(vndbPage* page, size_t* length) const {
  if (!page || mPath.back().offset >= page->Used()) return nullptr;
  const uint8_t* record = page->Data() + mPath.back().offset;
  *length = DbGet16(record);
  // A walk whose page was changed under it through another cursor must not read past it.
  if (*length < kDbRowFieldsOffset || mPath.back().offset + *length > page->Used()) return nullptr;
  return record;
}

const uint8_t* vndbTree::CurrentRecord(size_t* length) { return CurrentRecordIn(CurrentLeaf(), length); }

bool vndbTree::Visible(const uint8_t* record, size_t length) const {
  return record && record[2] == kDbLive && (!mHasFilter || DbKeyHasPrefix(BuildKey(record, length), mFilter));
}

bool vndbTree::EndsKeyWalk(const uint8_t* record, size_t length, const Bytes& prefix) const {
  return record && record[2] == kDbLive && !DbKeyHasPrefix(BuildKey(record, length), prefix);
}

bool vndbTree::IsCurrentVisible() {
  size_t length = 0;
  const uint8_t* record = CurrentRecord(&length);
  return Visible(record, length);
}

Bytes vndbTree::CurrentKey() {
  Bytes key;
  CurrentKeyInto(key);
  return key;
}

void vndbTree::CurrentKeyInto(Bytes& key) {
  size_t length = 0;
  const uint8_t* record = CurrentRecord(&length);
  if (record)
    BuildKeyInto(key, record, length);
  else
    key.clear();
}

DbFieldRef vndbTree::GetField(uint8_t field) {
  size_t length = 0;
  const uint8_t* record = CurrentRecord(&length);
  if (!record || !mNamed) return {};
  return DbFindField(record, length, field);
}

const uint8_t* vndbTree::RecordOn(uint32_t number, uint32_t id, size_t* length) {
  // A page a rollback took is no longer there to be asked.
  vndbPage* page = mNamed && number < mFile.PageCount() ? mFile.GetPage(number) : nullptr;
  if (!page || page->Tag() != LeafTag()) return nullptr;
  const uint8_t* data = page->Data();
  // A row replaced where it stands keeps its id: the live record before the deleted ones.
  const uint8_t* deleted = nullptr;
  size_t deletedLength = 0;
  for (uint32_t at = 0; at + kDbRowFieldsOffset <= page->Used();) {
    *length = DbGet16(data + at);
    if (*length < kDbRowFieldsOffset || at + *length > page->Used()) return nullptr;
    if (DbGet32(data + at + kDbRecordIdOffset) == id) {
      if (data[at + 2] == kDbLive) return data + at;
      if (!deleted) deleted = data + at, deletedLength = *length;
    }
    at += uint32_t(*length);
  }
  *length = deletedLength;
  return deleted;
}

Bytes vndbTree::BuildKey(const uint8_t* record, size_t length) const {
  Bytes key;
  BuildKeyInto(key, record, length);
  return key;
}

void vndbTree::BuildKeyInto(Bytes& key, const uint8_t* record, size_t length) const {
  if (!mNamed) {
    std::string name(reinterpret_cast<const char*>(record) + kMasterNameOffset,
                     length - kMasterNameOffset);
    key = DbMasterKey(name);
    return;
  }
  DbRowKeyInto(key, record, length, mKeyFields);
}

const std::vector<uint16_t>& vndbTree::RecordOffsets(vndbPage* page) {
  if (page->offsetsVersion == page->version) return page->offsets;
  const uint8_t* data = page->Data();
  uint32_t used = page->Used();
  bool interior = page->Tag() == kDbInteriorPage;
  uint32_t least = interior ? kEntryKeyOffset : kDbRowFieldsOffset;
  page->offsets.clear();
  page->records.clear();
  page->offsetsSound = true;
  for (uint32_t at = 0; at < used;) {
    uint16_t length = DbGet16(data + at);
    if (length < least || at + length > used) {
      page->offsetsSound = false;
      break;
    }
    if (interior || data[at + 2] == kDbLive) page->offsets.push_back(uint16_t(at));
    if (!interior) page->records.push_back(uint16_t(at));
    at += length;
  }
  page->offsetsVersion = page->version;
  return page->offsets;
}

// Live records of a leaf stand in key order, so they are searched by halves and only a few keys
// are built; a key past the last one, the common case of rows added in key order, takes one.
// Deleted records stand in key order with them too, but a page written by an earlier version
// may hold some out of order: only the ones between the two live records around the key are
// looked at, and they only place a new record.
vndbTree::LeafSeek vndbTree::SeekInLeaf(vndbPage* leaf, const Bytes& key) {
  const uint8_t* data = leaf->Data();
  const uint32_t used = leaf->Used();
  const std::vector<uint16_t>& offsets = RecordOffsets(leaf);
  if (!leaf->offsetsSound) return {};
  const std::vector<uint16_t>& records = leaf->records;
  auto keyAt = [&](uint32_t at) -> const Bytes& {
    BuildKeyInto(mScratchKey, data + at, DbGet16(data + at));
    return mScratchKey;
  };
  LeafSeek seek;
  size_t low = 0;
  if (key.empty() || offsets.empty()) {
    low = 0;
  } else if (DbCompareKeys(keyAt(offsets.back()), key) < 0) {
    low = offsets.size();
  } else {
    size_t high = offsets.size() - 1;
    while (low < high) {
      size_t middle = (low + high) / 2;
      if (DbCompareKeys(keyAt(offsets[middle]), key) < 0)
        low = middle + 1;
      else
        high = middle;
    }
  }
  seek.live = low < offsets.size() ? offsets[low] : used;
  seek.liveBelow = low > 0;
  // The deleted records between the live record below the key and `live`.
  auto first = low > 0 ? std::upper_bound(records.begin(), records.end(), offsets[low - 1]) : records.begin();
  auto last = std::lower_bound(first, records.end(), uint16_t(std::min<uint32_t>(seek.live, 0xFFFF)));
  if (key.empty() || first == last) {
    seek.insert = first == last ? seek.live : *first;
    return seek;
  }
  auto at = std::partition_point(first, last, [&](uint16_t record) { return DbCompareKeys(keyAt(record), key) < 0; });
  seek.insert = at == last ? seek.live : *at;
  return seek;
}

bool vndbTree::InsertHere(const Bytes& record) {
  if (BuildKey(record.data(), record.size()).size() > kDbMostKeyLength) return false;
  return PlaceHere(record);
}

bool vndbTree::PlaceHere(const Bytes& record) {
  if (record.size() > kDbDataSize || record.size() < kDbRowFieldsOffset) return false;
  DropStalePaths();
  if (mPath.empty()) {
    bool found = false;
    if (!Find({}, &found)) return false;
  }
  bool wasAtStart = mAtStart;
  mSplit = false;
  if (!InsertAt(mPath.size() - 1, record, mPath.back().offset)) return false;
  if (!mSplit) return true;
  bool ok = RepositionAfter(record);
  mAtStart = wasAtStart;
  // The position now stands just past the record.
  vndbPage* page = ok ? mFile.GetPage(mPath.back().page) : nullptr;
  if (page) {
    page->insertedEnd = mPath.back().offset;
    page->insertedAt = uint32_t(mPath.back().offset - record.size());
  }
  return ok;
}

bool vndbTree::RepositionAfter(const Bytes& inserted) {
  uint32_t id = DbGet32(inserted.data() + kDbRecordIdOffset);
  bool found = false;
  if (!Find(BuildKey(inserted.data(), inserted.size()), &found)) return false;
  for (;;) {
    size_t length = 0;
    const uint8_t* record = CurrentRecord(&length);
    if (!record) return false;
    mPath.back().offset += uint32_t(length);
    if (DbGet32(record + kDbRecordIdOffset) == id) return true;
    if (!SettleForward()) return false;
  }
}

bool vndbTree::InsertAt(size_t depth, const Bytes& record, uint32_t offset) {
  size_t n = record.size();
  vndbPage* page = mFile.GetPage(mPath[depth].page);
  if (!page || n > kDbDataSize) return false;
  uint32_t used = page->Used();
  if (offset > used) return false;
  bool listed = page->offsetsVersion == page->version && page->offsetsSound;
  mFile.MarkModified(page);
  uint8_t* data = page->Data();
  uint32_t tail = used - offset;
  if (used + n <= size_t(kDbDataSize)) {
    std::memmove(data + offset + n, data + offset, tail);
    std::memcpy(data + offset, record.data(), n);
    page->SetUsed(uint16_t(used + n));
    page->insertedAt = offset;
    page->insertedEnd = uint32_t(offset + n);
    if (mPath[depth].offset >= offset) mPath[depth].offset += uint32_t(n);
    if (listed) {
      // The offsets of the page's records follow the insertion instead of being read afresh.
      auto follow = [&](std::vector<uint16_t>& offsets, bool listsIt) {
        auto at = std::lower_bound(offsets.begin(), offsets.end(), uint16_t(offset));
        for (auto moved = at; moved != offsets.end(); ++moved) *moved = uint16_t(*moved + n);
        if (listsIt) offsets.insert(at, uint16_t(offset));
      };
      const bool interior = page->Tag() == kDbInteriorPage;
      follow(page->offsets, interior || record[2] == kDbLive);
      follow(page->records, !interior);
      page->offsetsVersion = page->version;
    }
    return true;
  }
  mSplit = true;
  uint32_t serial = mFile.CurrentSerial();
  if (depth == 0) {
    vndbPage* root = mFile.NewPageWithTag(kDbInteriorPage);
    if (!root) return false;
    Fill(root, MakeEntry({}, 0, mPath[0].page, serial), {});
    if (!SetRoot(root->number)) return false;
    mPath.insert(mPath.begin(), {root->number, 0});
    ++depth;
    ++mRootSplits;
    page = mFile.GetPage(mPath[depth].page);
    data = page->Data();
  }
  uint32_t tag = page->Tag();
  uint32_t word = DbGet32(page->bytes + 4);
  Bytes tailBytes(data + offset, data + used);
  // A page split at its start keeps its separator above the record put there, so the separator
  // of a page split off it may not be lower: the entries of an interior page stay in key order,
  // which a search by halves needs.
  vndbPage* above = mFile.GetPage(mPath[depth - 1].page);
  const uint32_t entry = mPath[depth - 1].offset;
  if (!above || entry + kEntryKeyOffset > above->Used()) return false;
  const Bytes floor(above->Data() + entry + kEntryKeyOffset, above->Data() + entry + DbGet16(above->Data() + entry));
  auto keyOf = [&](const Bytes& bytes) {
    uint16_t length = DbGet16(bytes.data());
    Bytes key = tag == kDbInteriorPage ? Bytes(bytes.begin() + kEntryKeyOffset, bytes.begin() + length)
                                       : BuildKey(bytes.data(), length);
    return DbCompareKeys(key, floor) < 0 ? floor : key;
  };
  std::vector<Bytes> entries;
  uint32_t keep = offset;
  // Keys scattered over a leaf split it in halves; a run keeps the cases below, which leave
  // the page behind it full.
  Bytes joined;
  size_t cut = 0;
  if (tag != kDbInteriorPage && !ContinuesRun(*page, offset)) {
    joined.reserve(used + n);
    joined.assign(data, data + offset);
    joined.insert(joined.end(), record.begin(), record.end());
    joined.insert(joined.end(), data + offset, data + used);
    cut = EvenCut(joined);
  }
  if (cut > 0) {
    vndbPage* right = mFile.NewPage(tag, word);
    if (!right) return false;
    Bytes moved(joined.begin() + long(cut), joined.end());
    Fill(right, moved, {});
    std::memcpy(data, joined.data(), cut);
    keep = uint32_t(cut);
    entries.push_back(MakeEntry(keyOf(moved), CountRecords(tag, moved.data(), moved.size()),
                                right->number, serial));
  } else if (offset + n <= size_t(kDbDataSize)) {
    vndbPage* right = mFile.NewPage(tag, word);
    if (!right) return false;
    Fill(right, tailBytes, {});
    std::memcpy(data + offset, record.data(), n);
    keep = uint32_t(offset + n);
    entries.push_back(MakeEntry(keyOf(tailBytes), CountRecords(tag, tailBytes.data(), tail),
                                right->number, serial));
  } else if (n + tail <= size_t(kDbDataSize)) {
    vndbPage* right = mFile.NewPage(tag, word);
    if (!right) return false;
    Fill(right, record, tailBytes);
    uint16_t count = uint16_t(std::min<uint32_t>(
        0xFFFF, CountRecords(tag, record.data(), n) + CountRecords(tag, tailBytes.data(), tail)));
    entries.push_back(MakeEntry(keyOf(record), count, right->number, serial));
  } else {
    vndbPage* alone = mFile.NewPage(tag, word);
    vndbPage* right = alone ? mFile.NewPage(tag, word) : nullptr;
    if (!right) return false;
    Fill(alone, record, {});
    Fill(right, tailBytes, {});
    entries.push_back(MakeEntry(keyOf(tailBytes), CountRecords(tag, tailBytes.data(), tail),
                                right->number, serial));
    entries.push_back(MakeEntry(keyOf(record), CountRecords(tag, record.data(), n),
                                alone->number, serial));
  }
  page = mFile.GetPage(mPath[depth].page);
  std::memset(page->Data() + keep, 0, kDbDataSize - keep);
  page->SetUsed(uint16_t(keep));
  for (const Bytes& entry : entries) {
    size_t parent = depth - 1;
    vndbPage* parentPage = mFile.GetPage(mPath[parent].page);
    if (!parentPage) return false;
    uint32_t after = mPath[parent].offset + DbGet16(parentPage->Data() + mPath[parent].offset);
    size_t splits = mRootSplits;
    if (!InsertAt(parent, entry, after)) return false;
    depth += mRootSplits - splits;
  }
  return true;
}

bool vndbTree::DeleteCurrent() {
  DropStalePaths();
  if (mPath.empty()) return false;
  vndbPage* page = mFile.GetPage(mPath.back().page);
  size_t length = 0;
  if (!page || !CurrentRecord(&length)) return false;
  mFile.MarkModified(page);
  DbStamp(page->Data() + mPath.back().offset, kDbDeleted, mFile.CurrentSerial());
  return true;
}

vndbTree::InsertResult vndbTree::ReplaceCurrent(Bytes record, bool stayOnRow) {
  size_t length = 0;
  const uint8_t* current = CurrentRecord(&length);
  if (!current || current[2] != kDbLive || record.size() < kDbRowFieldsOffset) return InsertResult::kFailed;
  const Bytes oldKey = BuildKey(current, length);
  DbStamp(record.data(), kDbLive, mFile.CurrentSerial());
  DbPut32(record.data() + kDbRecordIdOffset, DbGet32(current + kDbRecordIdOffset));
  const Bytes key = BuildKey(record.data(), record.size());
  const bool moved = key != oldKey;
  if (record.size() > kDbDataSize || (moved && key.size() > kDbMostKeyLength)) return InsertResult::kTooLong;
  if (moved && !mKeyFields.empty()) {
    // Refused before the old row goes, so that a refusal changes nothing.
    std::vector<vndbTreeLevel> at = mPath;
    const bool atStart = mAtStart;
    bool found = false;
    const bool searched = Find(key, &found);
    mPath.swap(at);
    mAtStart = atStart;
    if (!searched) return InsertResult::kFailed;
    if (found) return InsertResult::kDuplicate;
  }
  if (!DeleteCurrent()) return InsertResult::kFailed;
  // Either insert leaves the position just past the new record, on its page, split or not.
  if (moved ? InsertRecord(record, false) != InsertResult::kInserted : !InsertHere(record))
    return InsertResult::kFailed;
  if (stayOnRow) mPath.back().offset -= uint32_t(record.size());
  return InsertResult::kInserted;
}

vndbTree::InsertResult vndbTree::InsertRecord(const Bytes& record, bool unique) {
  if (record.size() > kDbDataSize) return InsertResult::kTooLong;
  BuildKeyInto(mInsertKey, record.data(), record.size());
  if (mInsertKey.size() > kDbMostKeyLength) return InsertResult::kTooLong;
  bool found = false;
  const bool resumed = ResumeAppend(mInsertKey);
  if (!resumed && !Find(mInsertKey, &found)) return InsertResult::kFailed;
  if (unique && found) return InsertResult::kDuplicate;
  const bool pastEnd = mPastEnd;
  mAppendValid = false;
  if (!PlaceHere(record)) return InsertResult::kFailed;
  // After a split the path is found afresh by the next insert.
  if (pastEnd && !mSplit) {
    // Resumed and not split, only the leaf changed: the levels above keep their versions.
    if (resumed) KeepAppend(mInsertKey);
    else RememberAppend(mInsertKey);
  }
  return InsertResult::kInserted;
}

void vndbTree::KeepAppend(const Bytes& key) {
  vndbPage* leaf = mFile.GetPage(mPath.back().page);
  if (!leaf || mPath.size() != mAppendPath.size()) return;
  mAppendPath.back().offset = mPath.back().offset;
  mAppendVersions.back() = leaf->version;
  mAppendKey = key;
  mAppendValid = true;
}

void vndbTree::RememberAppend(const Bytes& key) {
  mAppendPath = mPath;
  mAppendVersions.clear();
  for (const vndbTreeLevel& level : mPath) {
    vndbPage* page = mFile.GetPage(level.page);
    if (!page) {
      mAppendPath.clear();
      return;
    }
    mAppendVersions.push_back(page->version);
  }
  mAppendKey = key;
  mAppendValid = true;
}

bool vndbTree::ResumeAppend(const Bytes& key) {
  DropStalePaths();
  if (!mAppendValid || mAppendPath.empty() || mFile.IsDamaged() || Root() != mAppendPath.front().page ||
      DbCompareKeys(key.data(), key.size(), mAppendKey.data(), mAppendKey.size()) <= 0)
    return false;
  // Any change of a page on the way (a record put after ours, a split, a rollback that read the
  // page again) gives it another version.
  for (size_t i = 0; i < mAppendPath.size(); ++i) {
    vndbPage* page = mFile.GetPage(mAppendPath[i].page);
    if (!page || page->version != mAppendVersions[i]) return false;
    if (i + 1 == mAppendPath.size() && mAppendPath[i].offset != page->Used()) return false;
  }
  mPath = mAppendPath;
  mAtStart = true;
  mPastEnd = true;
  return true;
}

}  // namespace vorn
