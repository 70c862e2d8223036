// One row of a listDataProvider as the list box reads it: the provider's rows and a row's
// fields are numbered from 1, the list's rows and columns from 0. Every method is looked up by
// name at each use, so a provider or row that lacks one simply yields nothing.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

// The provider's GetCount; 0 for nil or when it has none.
int32_t ProviderRowCount(RuntimeObject* provider);

class ProviderRow {
 public:
  // Asks the provider for the list's row `row` (its row + 1).
  ProviderRow(RuntimeObject* provider, int32_t row);
  ~ProviderRow();
  ProviderRow(const ProviderRow&) = delete;
  ProviderRow& operator=(const ProviderRow&) = delete;

  int32_t FieldCount() const { return mFieldCount; }
  // The field shown in the list's column; empty past the row's fields or without a row.
  string Field(int32_t column) const;

 private:
  RuntimeObject* mRow = nullptr;  // held
  void* mGetIndString = nullptr;
  int32_t mFieldCount = 0;
};

}  // namespace vorn
