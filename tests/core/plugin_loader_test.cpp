#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/plugin_loader.h"
#include "core/reloc_entry.h"
#include "startup/class_registration.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

namespace vorn::testing {
namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void* Row(const char* name) {
  RelocEntry* entry = LookupRelocEntry(string(name));
  return entry ? entry->code : nullptr;
}

// The files the loader extracted, gathered before the libraries are closed.
std::vector<std::string> ExtractedPaths() {
  std::vector<std::string> paths;
  for (LoadedPlugin* p = LoadedPlugins(); p; p = p->next) paths.push_back(p->path);
  return paths;
}

bool Exists(const std::string& path) { return !path.empty() && std::ifstream(path).good(); }

TEST(PluginLoader, LoadsAPluginThatRegistersAClassAndAModuleThenRemovesItsFile) {
  RuntimeInitExternalClasses();  // the plug-in's control derives from RectControl
  std::vector<uint8_t> bytes = ReadFile(VORN_TEST_GAUGE_PLUGIN);
  ASSERT_FALSE(bytes.empty());
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(LoadPluginFromBytes(128, bytes.data(), bytes.size()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(std::getenv("VNPLUGINPATH"), nullptr) << "set only while the main function runs";

  EXPECT_NE(Row("Gauge.Level.Get"), nullptr);
  EXPECT_NE(Row("Gauge.Level.Set"), nullptr);
  EXPECT_NE(Row("Gauge.Raise"), nullptr);
  auto twice = reinterpret_cast<int32_t (*)(int32_t)>(Row("GaugeMath.Twice"));
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice(21), 42);
  EXPECT_NE(RuntimeLookupClass(string("gauge").Rep()), nullptr);
  EXPECT_NE(RuntimeLookupClass(string("Lamp").Rep()), nullptr);

  std::vector<std::string> paths = ExtractedPaths();
  ASSERT_EQ(paths.size(), 1u);
  EXPECT_TRUE(Exists(paths[0]));
  UnloadPlugins();
  EXPECT_FALSE(Exists(paths[0]));
  EXPECT_EQ(LoadedPlugins(), nullptr);
}

TEST(PluginLoader, RefusesBadLibrariesNamingThePluginAndGoesOn) {
  std::vector<uint8_t> gauge = ReadFile(VORN_TEST_GAUGE_PLUGIN);
  std::vector<uint8_t> otherMachine = gauge;
  otherMachine[18] ^= 0x40;  // e_machine
  std::vector<uint8_t> executable = gauge;
  executable[16] = 2;  // ET_EXEC
  std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'p', 'l', 'u', 'g', '-', 'i', 'n',
                               ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'};
  std::vector<uint8_t> truncated(gauge.begin(), gauge.begin() + 600);
  struct Case {
    uint16_t id;
    std::vector<uint8_t> bytes;
    const char* says;
  } cases[] = {
      {200, text, "not a shared object"},
      {201, otherMachine, "another architecture"},
      {202, executable, "not a shared object"},
      {203, ReadFile(VORN_TEST_MAINLESS_PLUGIN), "no VORNPluginMain"},
      {204, ReadFile(VORN_TEST_FAILING_PLUGIN), "failed: VORNPluginMain answered 7"},
      {205, truncated, "damaged shared object"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadPluginFromBytes(c.id, c.bytes.data(), c.bytes.size())) << c.id;
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("plug-in 'VNPl' " + std::to_string(c.id)), std::string::npos) << said;
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
  std::vector<std::string> paths = ExtractedPaths();
  UnloadPlugins();
  for (const std::string& path : paths) EXPECT_FALSE(Exists(path)) << path;
}

TEST(PluginRegistration, RefusesDamagedRecordsWithoutEnteringAnything) {
  static const VornClassMember unnamed[] = {{nullptr, nullptr, nullptr, 0}};
  static const VornClassMember one[] = {{"Go%%o<Broken>", reinterpret_cast<void*>(&std::abort), nullptr, 0}};
  VornClassRecord noName{};
  noName.version = kVornClassRecordVersion;
  VornClassRecord absurd = noName;
  absurd.name = "Broken";
  absurd.methods = one;
  absurd.methodCount = 1 << 30;
  VornClassRecord nullSignature = noName;
  nullSignature.name = "Broken";
  nullSignature.events = unnamed;
  nullSignature.eventCount = 1;
  VornPluginModule nilFunction{"BrokenModule", nullptr, 3};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(PluginRegisterClass(nullptr), nullptr);
  EXPECT_EQ(PluginRegisterClass(&noName), nullptr);
  EXPECT_EQ(PluginRegisterClass(&absurd), nullptr);
  EXPECT_EQ(PluginRegisterClass(&nullSignature), nullptr);
  EXPECT_EQ(PluginRegisterModule(&nilFunction), 0);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("absurd method count"), std::string::npos) << said;
  EXPECT_NE(said.find("event 0 has no name"), std::string::npos) << said;
  EXPECT_EQ(Row("Broken.Go"), nullptr);
  EXPECT_EQ(RuntimeLookupClass(string("Broken").Rep()), nullptr);
}

TEST(PluginRegistration, ResolverAndSmallServices) {
  EXPECT_EQ(VornPluginResolve(nullptr), nullptr);
  EXPECT_EQ(VornPluginResolve("NoSuchRuntimeFunction"), nullptr);
  EXPECT_EQ(VornPluginResolve("PluginRegisterClass"), reinterpret_cast<void*>(&PluginRegisterClass));
  EXPECT_EQ(PluginMarkSocketUsage(), nullptr) << "no plug-in is being loaded";
}

}  // namespace
}  // namespace vorn::testing
