#include "listbox/provider_row.h"

#include "controls/binding_interfaces.h"

namespace vorn {

int32_t ProviderRowCount(RuntimeObject* provider) {
  return CallInterfaceMethod<int32_t>(provider, GetListDataProviderInterfaceDefinition(), "GetCount", nullptr);
}

ProviderRow::ProviderRow(RuntimeObject* provider, int32_t row) {
  mRow = CallInterfaceMethod<RuntimeObject*>(provider, GetListDataProviderInterfaceDefinition(), "GetRow", nullptr,
                                             row + 1);
  if (!mRow) return;
  ObjectDefinition* tuple = GetTupleInterfaceDefinition();
  mFieldCount = CallInterfaceMethod<int32_t>(mRow, tuple, "FieldCount", nullptr);
  mGetIndString = LookupInterfaceMethod(mRow, tuple, string("getIndString"));
}

ProviderRow::~ProviderRow() { RuntimeUnlockObject(mRow); }

string ProviderRow::Field(int32_t column) const {
  if (!mGetIndString || column < 0 || column >= mFieldCount) return string();
  return string::Adopt(CallEventHandler<StringRep*>(mGetIndString, mRow, column + 1));
}

}  // namespace vorn
