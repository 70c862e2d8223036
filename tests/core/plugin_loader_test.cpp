#include <gtest/gtest.h>

#include <cstddef>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/plugin_loader.h"
#include "base/reloc_entry.h"
#include "objects/plugin_object_services.h"
#include "startup/class_registration.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

// The plug-in API as plug-ins see it through the resolver.
extern "C" {
VornRuntimeObject* PluginNewInstance(const char* className);
VornRuntimeObject* PluginNewOfSameClass(VornRuntimeObject* object);
uint8_t VORNSetPropValueInt(VornRuntimeObject* object, const char* name, int32_t value);
uint8_t VORNSetPropValueDouble(VornRuntimeObject* object, const char* name, double value);
uint8_t VORNGetPropValueInt(VornRuntimeObject* object, const char* name, int32_t* out);
void* VORNLoadObjectMethod(VornRuntimeObject* object, const char* name);
int32_t VORNCountClassProperties(VornRuntimeClass* cls);
uint8_t VORNGetClassProperty(VornRuntimeClass* cls, int32_t index, VornStringRecord** name, void** getter,
                             void** setter);
int32_t RegisterPluginExports(const VornPluginModuleFunction* exports, int32_t count);
void* RuntimeLookupPluginEntrypoint(const char* name);
VornStringRecord* PluginDefaultControlFont(void);
VornStringRecord* PluginDefaultControlCaption(void);
int32_t PluginDefaultControlFontSize(void);
VornStringRecord* VORNStripAmpersands(VornStringRecord* caption);
}

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

namespace vorn::testing {
namespace {

struct Meter {
  VornRuntimeObject header;
  int32_t reading;
  double scale;
};

int32_t MeterDouble(VornRuntimeObject* self) { return 2 * reinterpret_cast<Meter*>(self)->reading; }

TEST(PluginServices, MembersByNameSignaturesExportsAndDefaults) {
  static const VornClassProperty properties[] = {
      {"Reading%i4%", VORN_DIRECT_FIELD, nullptr, VORN_DIRECT_FIELD, nullptr, static_cast<int32_t>(offsetof(Meter, reading)), 0},
      {"Scale%f8%", VORN_DIRECT_FIELD, nullptr, nullptr, nullptr, static_cast<int32_t>(offsetof(Meter, scale)), 0},
  };
  static const VornClassMember methods[] = {{"Doubled%i4%o<Meter>", reinterpret_cast<void*>(&MeterDouble), nullptr, 0}};
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = "Meter";
  record.instanceSize = sizeof(Meter);
  record.properties = properties;
  record.propertyCount = 2;
  record.methods = methods;
  record.methodCount = 1;
  ::testing::internal::CaptureStderr();
  VornRuntimeClass* cls = PluginRegisterClass(&record);
  ::testing::internal::GetCapturedStderr();
  ASSERT_NE(cls, nullptr);
  VornRuntimeObject* meter = PluginNewInstance("meter");
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(VORNSetPropValueInt(meter, "READING", 21), 1);
  EXPECT_EQ(VORNSetPropValueDouble(meter, "Scale", 2.5), 0) << "read-only";
  EXPECT_EQ(VORNSetPropValueInt(meter, "Missing", 1), 0);
  int32_t reading = 0;
  EXPECT_EQ(VORNGetPropValueInt(meter, "reading", &reading), 1);
  EXPECT_EQ(reading, 21);
  auto doubled = reinterpret_cast<int32_t (*)(VornRuntimeObject*)>(VORNLoadObjectMethod(meter, "doubled"));
  ASSERT_NE(doubled, nullptr);
  EXPECT_EQ(doubled(meter), 42);
  EXPECT_EQ(VORNCountClassProperties(cls), 2);
  VornStringRecord* name = nullptr;
  EXPECT_EQ(VORNGetClassProperty(cls, 1, &name, nullptr, nullptr), 1);
  EXPECT_EQ(string::Adopt(name).View(), "Scale");
  EXPECT_EQ(VORNGetClassProperty(cls, 2, nullptr, nullptr, nullptr), 0);
  VornRuntimeObject* twin = PluginNewOfSameClass(meter);
  ASSERT_NE(twin, nullptr);
  EXPECT_EQ(twin->classPtr, cls);
  RuntimeUnlockObject(twin);
  RuntimeUnlockObject(meter);

  struct Split {
    const char* signature;
    const char* name;
    const char* rest;
  } splits[] = {{"Level%i4%", "Level", "i4%"}, {"Plain", "Plain", ""}, {"%s%", "", "s%"}};
  for (const Split& s : splits) {
    string first, rest;
    SplitAtFirstPercent(string(s.signature), &first, &rest);
    EXPECT_EQ(first.View(), s.name) << s.signature;
    EXPECT_EQ(rest.View(), s.rest) << s.signature;
  }

  static const VornPluginModuleFunction exports[] = {{"Meter_Reset", reinterpret_cast<void*>(&MeterDouble)}};
  EXPECT_EQ(RegisterPluginExports(exports, 1), 1);
  EXPECT_EQ(RuntimeLookupPluginEntrypoint("METER_RESET"), reinterpret_cast<void*>(&MeterDouble));
  EXPECT_EQ(RuntimeLookupPluginEntrypoint("Other"), nullptr);

  EXPECT_EQ(string::Adopt(PluginDefaultControlFont()).View(), "System");
  EXPECT_EQ(string::Adopt(PluginDefaultControlCaption()).View(), "Untitled");
  EXPECT_EQ(PluginDefaultControlFontSize(), 12);
  EXPECT_EQ(string::Adopt(VORNStripAmpersands(string("&Open && Save").Rep())).View(), "Open & Save");
}

}  // namespace
}  // namespace vorn::testing
