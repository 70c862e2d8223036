// The rows of sorted runs taken in one order. The runs' head rows play a knockout: each inner
// node of the tree keeps the loser of the match played there and the root the winner, so that
// taking a row and putting its run's next row in its place replays one match per level, not a
// look at every run's head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "database/sql_row_store.h"

namespace vorn {

class SqlRunMerge {
 public:
  SqlRunMerge(std::vector<std::unique_ptr<SqlRowStore>> runs, SqlRowStore::Comparison compare,
              SqlRowStore::Prefixes prefixes);

  struct Taken {
    uint32_t run = 0;
    uint32_t row = 0;  // within the run
    SqlRowView view;   // where the run holds it: valid until the run is read again
  };
  enum class Step { kRow, kEnd, kFailed };
  // The next row in order (of rows the comparison finds equal, the earlier run's first);
  // kFailed when a run cannot give back a row it holds, and from then on.
  Step Next(Taken* taken);
  // A row taken before, read again from its run.
  std::optional<SqlRowView> Read(uint32_t run, uint32_t row);

 private:
  struct Head {
    uint32_t next = 0;  // the run's row it holds
    std::optional<SqlRowView> row;
    SqlRowStore::OrderPrefix order;  // the row's, when the merge has prefixes
    bool moved = false;              // its run was read elsewhere since it was fetched
  };
  // Whether run a's head comes first: a run at its end never does, and of equal heads the
  // earlier run's does.
  bool Before(uint32_t a, uint32_t b) const;
  // Reads run r's head row (again); false when the run fails.
  bool Fetch(uint32_t r, bool fresh);
  bool Start();

  std::vector<std::unique_ptr<SqlRowStore>> mRuns;
  SqlRowStore::Comparison mCompare;
  SqlRowStore::Prefixes mPrefixes;
  std::vector<Head> mHeads;
  // mTree[0] is the winner; node n (from 1) keeps the loser of its match, its players come from
  // nodes 2n and 2n + 1, and run r plays from leaf r + run count.
  std::vector<uint32_t> mTree;
  bool mStarted = false;
  bool mFailed = false;  // a run could not give back a row it holds
  std::optional<uint32_t> mTaken;  // the run whose head was taken last: it moves on next time
  std::vector<uint32_t> mMoved;    // runs read elsewhere since: their heads are fetched again
};

}  // namespace vorn
