#include "core/soft_declare.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/linker_script.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using Pieces = std::vector<std::string>;

// The file the maths library was loaded from, as the dynamic loader reports it.
std::string MathsLibraryPath() {
  Dl_info info{};
  void* handle = dlopen("libm.so.6", RTLD_LAZY);
  if (!handle || !dladdr(dlsym(handle, "cos"), &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

class SoftDeclareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSoftDeclareCaches();
    mFolder = fs::temp_directory_path() / ("vorn-soft-" + std::to_string(getpid()));
    fs::remove_all(mFolder);
    fs::create_directories(mFolder);
    mMaths = MathsLibraryPath();
    ASSERT_FALSE(mMaths.empty());
    mMathsHandle = dlopen(mMaths.c_str(), RTLD_LAZY);
  }
  void TearDown() override {
    ClearSoftDeclareCaches();
    fs::remove_all(mFolder);
    dlclose(mMathsHandle);
  }
  std::string In(const char* name) const { return (mFolder / name).string(); }
  void Write(const char* name, const std::string& text) const { std::ofstream(In(name)) << text; }

  fs::path mFolder;
  std::string mMaths;
  void* mMathsHandle = nullptr;
};

TEST(LinkerScriptTest, PiecesLieBetweenTheParenthesesAfterGroup) {
  const std::string script =
      "/* GNU ld script\n*/\nOUTPUT_FORMAT(elf64-x86-64)\n"
      "GROUP ( /lib/libm.so.6  AS_NEEDED ( /lib/libmvec.so.1 ) )\n";
  EXPECT_EQ(LinkerScriptPieces(script),
            (Pieces{"(", "/lib/libm.so.6", "AS_NEEDED", "(", "/lib/libmvec.so.1"}));
  EXPECT_EQ(LinkerScriptPieces("GROUP(/a.so /b.so)"), (Pieces{"(/a.so", "/b.so"}));
}

TEST(LinkerScriptTest, AnythingMissingNamesNothing) {
  EXPECT_TRUE(LinkerScriptPieces("INPUT ( /lib/libm.so.6 )").empty());
  EXPECT_TRUE(LinkerScriptPieces("GROUP /lib/libm.so.6").empty());
  EXPECT_TRUE(LinkerScriptPieces("GROUP ( /lib/libm.so.6").empty());
  EXPECT_TRUE(LinkerScriptPieces(") GROUP").empty());
  EXPECT_TRUE(LinkerScriptPieces("").empty());
  EXPECT_TRUE(LinkerScriptPieces(std::string("GROUP\0( /x.so )", 15)).empty()) << "the text ends at a NUL";
}

TEST_F(SoftDeclareTest, LibrariesAreFoundByNameThroughLinksAndThroughLinkerScripts) {
  void* bare = OpenSoftLibrary("libm.so.6");
  EXPECT_EQ(bare, mMathsHandle);
  dlclose(bare);

  fs::create_symlink(mMaths, In("libdirect"));
  fs::create_symlink(In("libdirect"), In("libchained.so"));  // found with ".so" added
  for (const char* name : {"libdirect", "libchained"}) {
    void* handle = OpenSoftLibrary(In(name));
    EXPECT_EQ(handle, mMathsHandle) << name;
    if (handle) dlclose(handle);
  }

  Write("libscripted.so", "/* script */\nGROUP ( " + mMaths + " )\n");
  void* scripted = OpenSoftLibrary(In("libscripted"));
  EXPECT_EQ(scripted, mMathsHandle);
  if (scripted) dlclose(scripted);
}

TEST_F(SoftDeclareTest, WhatCannotBeLoadedGivesNilAndLoopsOfLinksEnd) {
  EXPECT_EQ(OpenSoftLibrary(In("libabsent")), nullptr);
  Write("libnogroup.so", "INPUT ( " + mMaths + " )\n");
  EXPECT_EQ(OpenSoftLibrary(In("libnogroup")), nullptr);
  Write("libnoparen.so", "GROUP " + mMaths + "\n");
  EXPECT_EQ(OpenSoftLibrary(In("libnoparen")), nullptr);
  Write("libspaced.so", "GROUP (  " + std::string(" ") + " )\n");  // empty pieces load nothing
  EXPECT_EQ(OpenSoftLibrary(In("libspaced")), nullptr);
  fs::create_symlink(In("libloopb"), In("libloopa"));
  fs::create_symlink(In("libloopa"), In("libloopb"));
  EXPECT_EQ(OpenSoftLibrary(In("libloopa")), nullptr);
}

// A bare name is looked for in the standard folders only: what stands in the folder the program
// was started from is never loaded. A name with a slash is taken as given, and a relative link
// target is read beside its link.
TEST_F(SoftDeclareTest, ABareNameNeverLoadsWhatStandsInTheWorkingFolder) {
  const std::string script = "GROUP ( " + mMaths + " )\n";
  Write("libvornplantedscript", script);
  Write("libvornplantedscript2.so", script);
  fs::create_symlink(mMaths, In("libvornplantedlink.so"));
  fs::create_symlink(mMaths, In("libvornplantedlink2"));
  fs::create_directories(In("beside"));
  Write("beside/librelative.ld", script);
  fs::create_symlink("librelative.ld", In("beside/librelative.so"));
  Write("librelative.ld", "GROUP ( /nonexistent/libdecoy.so )\n");  // what the working folder holds
  struct Case {
    std::string name;
    bool loads;
  } cases[] = {
      {"libvornplantedscript", false}, {"libvornplantedscript2", false}, {"libvornplantedlink", false},
      {"libvornplantedlink2", false},  {"./libvornplantedlink2", true},  {In("beside/librelative"), true},
  };
  const fs::path previous = fs::current_path();
  fs::current_path(mFolder);
  for (const Case& c : cases) {
    void* handle = OpenSoftLibrary(c.name);
    EXPECT_EQ(handle, c.loads ? mMathsHandle : nullptr) << c.name;
    if (handle) dlclose(handle);
  }
  fs::current_path(previous);
}

TEST_F(SoftDeclareTest, EachDeclarationIsResolvedOnceByItsRecords) {
  // The dynamic loader remembers every name it loaded a library under, so what the cache
  // saves is shown by a library that is missing at first and appears later.
  string function("cos");
  string library(In("liblater").c_str());
  EXPECT_EQ(LoadFunctionPointerFromLibrary(function.Rep(), library.Rep()), nullptr);
  fs::create_symlink(mMaths, In("liblater"));
  EXPECT_EQ(LoadFunctionPointerFromLibrary(function.Rep(), library.Rep()), nullptr)
      << "the same records: the missing library is not searched again";
  EXPECT_EQ(IsFunctionAvailable(nullptr, function.Rep(), library.Rep()), 0);

  string sameText(In("liblater").c_str());
  void* found = LoadFunctionPointerFromLibrary(function.Rep(), sameText.Rep());
  EXPECT_EQ(found, dlsym(mMathsHandle, "cos")) << "another record of the same text searches again";
  EXPECT_EQ(IsFunctionAvailable(nullptr, function.Rep(), sameText.Rep()), 1);
}

TEST_F(SoftDeclareTest, OneFunctionNameDeclaredInTwoLibrariesAnswersForEach) {
  string function("cos");
  string maths("libm.so.6");
  string c("libc.so.6");
  EXPECT_NE(LoadFunctionPointerFromLibrary(function.Rep(), maths.Rep()), nullptr);
  EXPECT_EQ(IsFunctionAvailable(nullptr, function.Rep(), c.Rep()), 0);
  EXPECT_NE(LoadFunctionPointerFromLibrary(function.Rep(), maths.Rep()), nullptr);
  string missing("vorn_no_such_function");
  EXPECT_EQ(IsFunctionAvailable(nullptr, missing.Rep(), maths.Rep()), 0);
}

TEST_F(SoftDeclareTest, TheCachesHoldTheirRecordsSoTheirAddressesCannotBeReused) {
  string function("sin");
  string library("libm.so.6");
  LoadFunctionPointerFromLibrary(function.Rep(), library.Rep());
  EXPECT_EQ(function.Rep()->refCount, 2);
  EXPECT_GE(library.Rep()->refCount, 2);
  ClearSoftDeclareCaches();
  EXPECT_EQ(function.Rep()->refCount, 1);
  EXPECT_EQ(library.Rep()->refCount, 1);
}

}  // namespace
}  // namespace vorn
