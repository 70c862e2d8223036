#include "database/sql_run_merge.h"

#include <algorithm>
#include <utility>

namespace vorn {

SqlRunMerge::SqlRunMerge(std::vector<std::unique_ptr<SqlRowStore>> runs, SqlRowStore::Comparison compare,
                         SqlRowStore::Prefixes prefixes)
    : mRuns(std::move(runs)), mCompare(std::move(compare)), mPrefixes(std::move(prefixes)), mHeads(mRuns.size()),
      mTree(std::max<size_t>(mRuns.size(), 1)) {}

bool SqlRunMerge::Before(uint32_t a, uint32_t b) const {
  const Head& x = mHeads[a];
  const Head& y = mHeads[b];
  if (!x.row || !y.row) return x.row && !y.row;
  if (mPrefixes.of) {
    if (x.order.kind != y.order.kind) return x.order.kind < y.order.kind;
    if (x.order.prefix != y.order.prefix) return x.order.prefix < y.order.prefix;
    if (mPrefixes.whole && x.order.exact && y.order.exact) return a < b;
  }
  const int order = mCompare(*x.row, *y.row);
  return order != 0 ? order < 0 : a < b;
}

bool SqlRunMerge::Fetch(uint32_t r, bool fresh) {
  Head& head = mHeads[r];
  head.row = mRuns[r]->Fetch(head.next);
  // A row the run holds but cannot give back is a failed file, not the run's end.
  if (!head.row) return head.next >= mRuns[r]->Count();
  // A head read again is the same row, so its prefix and its place in the tree stand.
  if (fresh && mPrefixes.of) head.order = mPrefixes.of(*head.row);
  return true;
}

bool SqlRunMerge::Start() {
  const uint32_t runs = static_cast<uint32_t>(mRuns.size());
  for (uint32_t r = 0; r < runs; ++r) {
    if (!Fetch(r, true)) return false;
  }
  // Every node's winner, leaves upwards; the winners below the root are only needed here.
  std::vector<uint32_t> winner(2 * size_t{runs});
  for (uint32_t r = 0; r < runs; ++r) winner[runs + r] = r;
  for (uint32_t n = runs - 1; n >= 1; --n) {
    const uint32_t a = winner[2 * n], b = winner[2 * n + 1];
    const bool first = Before(a, b);
    winner[n] = first ? a : b;
    mTree[n] = first ? b : a;
  }
  mTree[0] = runs > 1 ? winner[1] : 0;
  mStarted = true;
  return true;
}

SqlRunMerge::Step SqlRunMerge::Next(Taken* taken) {
  if (mRuns.empty()) return Step::kEnd;
  // A run that failed holds rows no later step can place: every step after fails too, rather
  // than give the other runs' rows in their places.
  if (mFailed) return Step::kFailed;
  auto fail = [this] { return mFailed = true, Step::kFailed; };
  if (!mStarted && !Start()) return fail();
  // Heads that moved are fetched before any match, which may compare them in full.
  for (uint32_t r : std::exchange(mMoved, {})) {
    mHeads[r].moved = false;
    if (r != mTaken && !Fetch(r, false)) return fail();
  }
  if (mTaken) {
    const uint32_t r = *std::exchange(mTaken, std::nullopt);
    ++mHeads[r].next;
    if (!Fetch(r, true)) return fail();
    // The run's new head replays the matches on its way up.
    uint32_t winner = r;
    for (size_t n = (r + mRuns.size()) / 2; n >= 1; n /= 2) {
      if (Before(mTree[n], winner)) std::swap(mTree[n], winner);
    }
    mTree[0] = winner;
  }
  const uint32_t r = mTree[0];
  const Head& head = mHeads[r];
  if (!head.row) return Step::kEnd;
  *taken = {r, head.next, *head.row};
  mTaken = r;
  return Step::kRow;
}

std::optional<SqlRowView> SqlRunMerge::Read(uint32_t run, uint32_t row) {
  if (run >= mRuns.size()) return std::nullopt;
  // Reading a run moves its window under its head row.
  if (mStarted && !std::exchange(mHeads[run].moved, true)) mMoved.push_back(run);
  return mRuns[run]->Fetch(row);
}

}  // namespace vorn
