// A simulated disk for the database file and its journal. Each file keeps the bytes that reached
// the medium (synced) apart from the writes since; a power cut keeps the synced bytes and, when
// given a random generator, an arbitrary subset of the later writes, as a real disk may. Every
// operation can be made to fail from the n-th on (the program dying there), or only the
// writes that grow a file (a full disk).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "database/db_storage.h"

namespace vorn::dbtest {

class SimDisk {
 public:
  struct Change {
    int64_t offset;
    std::vector<uint8_t> bytes;
    int64_t length;  // a change of length when >= 0
  };
  struct File {
    std::vector<uint8_t> durable;
    std::vector<uint8_t> current;
    std::vector<Change> pending;
    bool exists = false;
    bool existsDurably = false;
  };

  File database;
  File journal;
  // Operations (writes, length changes, syncs) still allowed; -1: no limit.
  int64_t operationsLeft = -1;
  // Writes that grow a file fail once this many have been allowed, as on a full disk
  // (overwriting, syncing and cutting still work); -1: no limit.
  int64_t growthLeft = -1;
  // Writes and length changes allowed before every later one fails, while syncs and removals
  // still work (a full copy-on-write disk, a failing one); -1: no limit.
  int64_t writesLeft = -1;
  // Syncs allowed before every later one fails (EIO from the medium); -1: no limit.
  int64_t syncsLeft = -1;
  // A failed sync leaves the disk refusing every later write too (a dying medium).
  bool writesDieWithSyncs = false;
  // The first write refused puts this many of its bytes before failing (a write cut short by
  // a full or failing disk).
  size_t tornBytes = 0;
  // Writes into the journal's header blocks over bytes it holds already (a header written again)
  // allowed before one is refused, cut short by tornBytes; -1: no limit. From then on the disk
  // acts as `afterRewrite` says. The lengths of the ones allowed are counted in `rewrites`.
  enum class Afterwards { kRefusesWrites, kFailsSyncs, kProgramDies };
  int64_t journalRewritesLeft = -1;
  Afterwards afterRewrite = Afterwards::kRefusesWrites;
  std::vector<size_t> rewrites;
  int64_t operations = 0;
  int64_t syncs = 0;  // syncs that went through
  uint64_t identity = 7;
  bool readOnly = false;

  // A storage over this disk; the disk must outlive it.
  std::unique_ptr<vndbStorage> Storage();
  // The power goes: what was not synced is lost, except the writes `keep` chooses to keep.
  void PowerCut(std::mt19937* keep = nullptr);
  // Every operation works again.
  void Heal();

  bool Allow();
  bool AllowGrowth();
  bool AllowWrite() { return Allow() && Take(writesLeft); }
  bool AllowSync() {
    if (Allow() && Take(syncsLeft)) return true;
    if (writesDieWithSyncs) writesLeft = 0;
    return false;
  }
  // Whether a write of `count` bytes into the journal over bytes it holds may go ahead.
  bool AllowRewrite(size_t count);
  // How many of a refused write's bytes still reach the file.
  size_t TakeTorn(size_t count) {
    const size_t torn = std::exchange(tornBytes, 0);
    return torn < count ? torn : 0;
  }

 private:
  static bool Take(int64_t& left) {
    if (left < 0) return true;
    if (left == 0) return false;
    --left;
    return true;
  }
};

}  // namespace vorn::dbtest
