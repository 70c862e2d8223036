// A cursor over one B-tree of a database file: the master tree that names every other tree,
// or one named tree (a table, a catalogue tree, the large-object store). It keeps the path
// from the root to the current record as page numbers and offsets and fetches pages afresh
// for every step, so it holds nothing that a rollback could leave dangling.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/db_file.h"
#include "database/db_row.h"

namespace vorn {

// Keys longer than this are refused, so that every interior page holds several entries.
constexpr size_t kDbMostKeyLength = 2000;
constexpr size_t kDbMostTreeNameLength = 255;

struct vndbTreeLevel {
  uint32_t page = 0;
  uint32_t offset = 0;
};

class vndbTree {
 public:
  // The master tree.
  explicit vndbTree(vndbFile& file);
  vndbTree(const vndbTree&) = delete;
  vndbTree& operator=(const vndbTree&) = delete;

  // The named tree (case-insensitive), keyed by the given field numbers (empty: by record id).
  static std::unique_ptr<vndbTree> OpenNamedTree(vndbFile& file, const std::string& name,
                                                 const Bytes& keyFields = {});
  static bool CreateNamedTree(vndbFile& file, const std::string& name);
  // The names of the named trees in key order, each remembered where its master record stands;
  // false when the master tree cannot be read whole (the damage reported).
  static bool ListTrees(vndbFile& file, std::vector<std::string>* names);
  // Whether every page that the trees' interior pages and the master records name lies inside
  // the file (a file cut short names pages that new ones would take over) and is named once (a
  // page named twice reads one tree's rows in another); damage reported. When two trees name one
  // page, `sharing` gets their names (empty for the master tree).
  static bool CheckReach(vndbFile& file, std::vector<std::string>* sharing = nullptr);

  // Keeps only records whose key begins with `prefix`.
  void SetFilter(Bytes prefix) { mFilter = std::move(prefix); mHasFilter = true; }

  // Positions at the live record of that key (found), else where a record of that key goes:
  // before the first record whose key is greater, or at the end; deleted records of the key
  // may stand around it.
  bool Find(const Bytes& key, bool* found);
  // The next leaf record in key order (the first call after Find or opening stays put).
  bool Next();
  // The live leaf record before the position in key order; false at the tree's start (or on
  // damage, reported), the position then as it was.
  bool PreviousLive();
  // Puts the position past the tree's last record, for PreviousLive to step back from.
  bool SeekEnd();
  bool IsCurrentVisible();
  // The current leaf record, or null; valid until the tree or file next changes.
  const uint8_t* CurrentRecord(size_t* length);
  // The leaf page holding it, or null; and the record read from that page, for a walk that
  // looks at both (a page is fetched once).
  vndbPage* CurrentLeaf();
  const uint8_t* CurrentRecordIn(vndbPage* leaf, size_t* length) const;
  // Whether a record of this tree is live and passes the filter.
  bool Visible(const uint8_t* record, size_t length) const;
  // Whether a walk of the keys that begin with `prefix` ends at this record: only a live record
  // without it does, as a deleted one may stand out of key order (a page an earlier version
  // wrote) and tells nothing of what follows it.
  bool EndsKeyWalk(const uint8_t* record, size_t length, const Bytes& prefix) const;
  Bytes CurrentKey();
  // The same into a buffer kept by the caller, which a walk reuses row after row.
  void CurrentKeyInto(Bytes& key);
  DbFieldRef GetField(uint8_t field);
  // The record with that id in the leaf `page`, wherever the page now holds it (a page read
  // again leaves its deleted records out, moving the rest); null when it is not there.
  const uint8_t* RecordOn(uint32_t page, uint32_t id, size_t* length);

  // The key of a leaf record of this tree.
  Bytes BuildKey(const uint8_t* record, size_t length) const;
  void BuildKeyInto(Bytes& key, const uint8_t* record, size_t length) const;

  // Inserts a stamped leaf record at the current position.
  bool InsertHere(const Bytes& record);
  bool DeleteCurrent();
  // Finds the record's key and inserts it there; `unique` refuses an equal live key.
  enum class InsertResult { kInserted, kDuplicate, kTooLong, kFailed };
  InsertResult InsertRecord(const Bytes& record, bool unique);
  // Deletes the current record and inserts `record` (stamped with the current record's id, so
  // that the row stays the one it was: a row of a table without a primary key keeps its key and
  // its place, and a walk knows a row it moved wherever it meets it) in its place or,
  // when its key changed, where that key belongs, at once, so that every reader and commit has
  // it. A changed key that a live record of a keyed tree holds (kDuplicate) or that is too long
  // is refused with nothing changed. The position is left past the new record, or on it with
  // `stayOnRow`, so that the row can be read and written again; a walk that goes on after the
  // old key meets a record whose new key lies ahead again, and must skip it.
  InsertResult ReplaceCurrent(Bytes record, bool stayOnRow = false);

  vndbFile& File() { return mFile; }
  const Bytes& KeyFields() const { return mKeyFields; }

 private:
  vndbTree(vndbFile& file, std::string name, Bytes keyFields);

  uint32_t LeafTag() const { return mNamed ? kDbRowLeaf : kDbMasterLeaf; }
  // The root page, or kDbNoPage when it cannot be found.
  uint32_t Root();
  bool SetRoot(uint32_t page);
  bool LocateMasterRecord();
  // A rollback since the paths were taken may have taken their pages: they are found afresh.
  void DropStalePaths();
  // A page along the path, checked to be of a kind this tree may hold.
  vndbPage* PathPage(uint32_t number);
  // Pushes levels down the leftmost records below the entry at the last level.
  bool DescendFirst();
  // Moves from the current position to the next leaf record; false at the end of the tree.
  bool SettleForward();
  // InsertHere once the record's key is known to be short enough.
  bool PlaceHere(const Bytes& record);
  bool InsertAt(size_t depth, const Bytes& record, uint32_t offset);
  // Where a key stands in a leaf: `live` is the offset of the first live record whose key is
  // >= key (or the page's end); `insert` is where a record of that key goes, before the deleted
  // records just ahead of `live` whose keys are >= key too, so that deleted records stay in key
  // order with the rest; `liveBelow` tells whether live records of the leaf sort below the key.
  struct LeafSeek {
    uint32_t live = 0;
    uint32_t insert = 0;
    bool liveBelow = false;
  };
  LeafSeek SeekInLeaf(vndbPage* leaf, const Bytes& key);
  // The offsets of an interior page's entries or of a leaf's live records (and of all its
  // records), kept with the page until it changes.
  const std::vector<uint16_t>& RecordOffsets(vndbPage* page);
  bool RepositionAfter(const Bytes& record);

  vndbFile& mFile;
  bool mNamed = false;
  std::string mName;
  Bytes mKeyFields;
  // Where this tree's master record was last seen.
  uint32_t mMasterId = 0;
  vndbTreeLevel mMasterAt;
  uint64_t mUndos = 0;  // the file's count of rollbacks when the paths were taken
  std::vector<vndbTreeLevel> mPath;
  std::vector<vndbTreeLevel> mSavedPath;  // kept to reuse its storage
  // Where Find puts a key it does not find when deleted records of greater keys stand before
  // the next live one.
  std::vector<vndbTreeLevel> mPlacePath;
  bool mAtStart = true;
  bool mHasFilter = false;
  Bytes mFilter;
  // Where the last record inserted past the tree's end went, with the version of every page
  // on the way: rows added in key order go straight there while none of them changed.
  bool mPastEnd = false;  // set by Find when the key is beyond every record
  std::vector<vndbTreeLevel> mAppendPath;
  bool mAppendValid = false;
  std::vector<uint64_t> mAppendVersions;
  Bytes mAppendKey;
  // Puts the path back at the tree's end for `key`, when the last append's path still stands.
  bool ResumeAppend(const Bytes& key);
  void RememberAppend(const Bytes& key);
  // After an append that resumed that path and split nothing: only the leaf moved on.
  void KeepAppend(const Bytes& key);
  Bytes mScratchKey;
  Bytes mInsertKey;
  size_t mRootSplits = 0;
  bool mSplit = false;
};

}  // namespace vorn
