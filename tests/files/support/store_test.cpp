#include "files/support/store_test.h"

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"

namespace vorn::testing {

namespace {

bool CollectReport(const std::string& text) {
  StoreTest::Reports().push_back(text);
  return true;
}

}  // namespace

std::vector<std::string>& StoreTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

std::string StoreTest::TakePendingClassName() {
  RuntimeObject* pending = TakePendingException();
  if (!pending) return "";
  std::string name(ClassOf(pending)->mName.View());
  RuntimeUnlockObject(pending);
  return name;
}

void StoreTest::SetUp() {
  Reports().clear();
  SetRuntimeErrorPresenter(&CollectReport);
  mBaseline = LiveObjectCount();
}

void StoreTest::TearDown() {
  EXPECT_EQ(TakePendingClassName(), "") << "exception left pending";
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects still alive";
  SetRuntimeErrorPresenter(nullptr);
}

std::string StoreTest::ReadText(RandomAccessMechanism& store, int32_t count) {
  std::string bytes(static_cast<size_t>(count), '\0');
  int32_t got = -1;
  if (!store.Read(bytes.data(), count, &got)) {
    EXPECT_EQ(got, 0) << "a failed read reports no bytes";
    return "<failed>";
  }
  bytes.resize(static_cast<size_t>(got));
  return bytes;
}

bool StoreTest::WriteText(RandomAccessMechanism& store, const std::string& text) {
  return store.Write(text.data(), static_cast<int32_t>(text.size()));
}

}  // namespace vorn::testing
