// A stand-in for the runtime executable: loads the image appended to itself, binding a few
// names to functions that print what the image passes them.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/image_loader.h"
#include "core/image_resolver.h"
#include "base/resource_manager.h"

namespace {

void HostRecordInt(int32_t tag, int32_t value) { std::printf("int %d %d\n", tag, value); }

void HostRecordString(int32_t tag, const VornStringRecord* text) {
  if (!text) {
    std::printf("string %d nil\n", tag);
    return;
  }
  std::printf("string %d [%.*s] %d\n", tag, text->length, text->buffer + 1, text->length);
}

void HostRecordDouble(int32_t tag, double value) { std::printf("double %d %g\n", tag, value); }
int32_t HostAdd(int32_t a, int32_t b) { return a + b; }
int32_t HostNegate(int32_t x) { return -x; }

class HostResolver : public vorn::ImportResolver {
 public:
  HostResolver() {
    mIndex.Add("HostRecordInt", reinterpret_cast<void*>(&HostRecordInt));
    mIndex.Add("HostRecordString", reinterpret_cast<void*>(&HostRecordString));
    mIndex.Add("HostRecordDouble", reinterpret_cast<void*>(&HostRecordDouble));
    mIndex.Add("HOSTADD", reinterpret_cast<void*>(&HostAdd));
    mIndex.Add("HostNegate", reinterpret_cast<void*>(&HostNegate));
  }
  void* Resolve(std::string_view name) override { return mIndex.Find(name); }

 private:
  vorn::FirstMatchIndex mIndex;
};

void AfterImage() { std::printf("shutdown\n"); }

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  HostResolver resolver;
  vorn::SetImageShutdownHook(&AfterImage);
  std::string error;
  if (!vorn::LoadApplicationImage("/proc/self/exe", resolver, vorn::GetResourceManager(), error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("resources %d\n", vorn::GetResourceManager().GetResourceCount());
  return 0;
}
