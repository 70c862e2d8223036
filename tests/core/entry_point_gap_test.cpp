// Which fixed rows of the entry-point directory bind nothing, measured against the two lists
// that account for them: the names left unbound on purpose, and the names whose subsystems are
// not built yet. Both lists may only shrink; a name that becomes bound must leave its list.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "base/reloc_entry.h"

namespace vorn {
namespace {

// "name<TAB>reason" lines; blank lines and lines starting with "#" are comments.
std::map<std::string, std::string> ReadNameList(const char* file) {
  std::ifstream in(std::string(VORN_SOURCE_DIR "/runtime/core/") + file);
  EXPECT_TRUE(in.good()) << file;
  std::map<std::string, std::string> names;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    size_t tab = line.find('\t');
    std::string name = line.substr(0, tab);
    std::string reason = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    EXPECT_FALSE(reason.empty()) << file << ": " << name << " gives no reason";
    EXPECT_TRUE(names.emplace(name, reason).second) << file << ": " << name << " listed twice";
  }
  return names;
}

std::string Join(const std::set<std::string>& names) {
  std::ostringstream text;
  for (const std::string& name : names) text << "\n  " << name;
  return text.str();
}

TEST(EntryPointGapTest, EveryUnboundRowIsAccountedFor) {
  std::map<std::string, std::string> onPurpose = ReadNameList("unbound_entry_points.list");
  std::map<std::string, std::string> notBuilt = ReadNameList("unbuilt_entry_points.list");

  std::set<std::string> rows, unbound;
  for (int32_t i = 0; i < kFixedRelocEntryCount; ++i) {
    const RelocEntry* row = GetRelocEntry(i);
    rows.insert(row->name);
    if (row->code == nullptr) unbound.insert(row->name);
  }

  std::set<std::string> unaccounted, boundOnPurpose, boundNotBuilt, unknown, both;
  for (const std::string& name : unbound) {
    if (!onPurpose.count(name) && !notBuilt.count(name)) unaccounted.insert(name);
  }
  for (const auto& [name, reason] : onPurpose) {
    if (!rows.count(name)) unknown.insert(name);
    else if (!unbound.count(name)) boundOnPurpose.insert(name);
    if (notBuilt.count(name)) both.insert(name);
  }
  for (const auto& [name, area] : notBuilt) {
    if (!rows.count(name)) unknown.insert(name);
    else if (!unbound.count(name)) boundNotBuilt.insert(name);
  }

  EXPECT_TRUE(unaccounted.empty()) << "rows bound to nothing and on neither list:" << Join(unaccounted);
  EXPECT_TRUE(boundOnPurpose.empty()) << "bound, yet listed as unbound on purpose:" << Join(boundOnPurpose);
  EXPECT_TRUE(boundNotBuilt.empty())
      << "bound now: remove them from unbuilt_entry_points.list (scripts/unbound-entry-points --prune):"
      << Join(boundNotBuilt);
  EXPECT_TRUE(unknown.empty()) << "listed but not rows of the directory:" << Join(unknown);
  EXPECT_TRUE(both.empty()) << "on both lists:" << Join(both);
}

}  // namespace
}  // namespace vorn
