#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/image_resolver.h"
#include "base/reloc_entry.h"
#include "strings/case_table.h"

namespace {

using namespace vorn;

// The reference: the scan the directory's rules describe, row by row.
void* ScanFirstMatch(const std::vector<std::pair<std::string, void*>>& rows, const std::string& name) {
  for (const auto& [rowName, code] : rows) {
    if (code && CompareBytesNoCase(rowName.data(), static_cast<int32_t>(rowName.size()), name.data(),
                                   static_cast<int32_t>(name.size())) == 0) {
      return code;
    }
  }
  return nullptr;
}

TEST(FirstMatchIndex, AgreesWithAScanFromRowZero) {
  std::mt19937 random(12345);
  // Short names over a small alphabet with both cases and Latin-1 letters, so that many rows
  // collide without regard to case.
  const std::string alphabet = "aAbB\xE0\xC0\xFF_";
  auto makeName = [&]() {
    std::string name;
    size_t length = 1 + random() % 3;
    for (size_t i = 0; i < length; ++i) name += alphabet[random() % alphabet.size()];
    return name;
  };
  std::vector<std::pair<std::string, void*>> rows;
  for (uintptr_t i = 1; i <= 400; ++i) {
    rows.emplace_back(makeName(), random() % 5 == 0 ? nullptr : reinterpret_cast<void*>(i * 16));
  }
  FirstMatchIndex index;
  for (const auto& [name, code] : rows) index.Add(name.c_str(), code);
  for (int i = 0; i < 2000; ++i) {
    std::string name = makeName();
    EXPECT_EQ(index.Find(name), ScanFirstMatch(rows, name)) << name;
  }
}

TEST(FirstMatchIndex, RowsWithoutNameOrFunctionAreSkipped) {
  FirstMatchIndex index;
  int a = 0, b = 0;
  index.Add(nullptr, &a);
  index.Add("RuntimeInit", nullptr);
  index.Add("RUNTIMEINIT", &a);
  index.Add("RuntimeInit", &b);
  EXPECT_EQ(index.Find("runtimeinit"), &a);
  EXPECT_EQ(index.Find("RuntimeIni"), nullptr);
  EXPECT_EQ(index.Find(""), nullptr);
}

TEST(RelocDirectoryResolver, FindsAnAddedRowWithoutRegardToCase) {
  static int marker;
  AddRelocEntry("VornImageResolverTestEntry", &marker);
  RelocDirectoryResolver resolver;
  EXPECT_EQ(resolver.Resolve("vornimageresolvertestentry"), &marker);
  EXPECT_EQ(resolver.Resolve("VornImageResolverTestEntryNot"), nullptr);
}

}  // namespace
