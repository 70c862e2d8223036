// Choosing the browser and handing it the URL: BROWSER first, the known browsers next, and
// the URL always as one whole argument that no shell reads.
#include "files/url_launcher.h"

#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "files/program_runner.h"
#include "files/support/temp_folder.h"

namespace vorn::testing {
namespace {

class UrlLauncherTest : public TempFolderTest {
 protected:
  // Answers the lookups from `found` (program -> output) and records them.
  UrlLauncher::Locate Locator(std::vector<std::pair<std::string, std::string>> found = {}) {
    return [this, found](const char* program) {
      mLookups += std::string(program) + ";";
      for (const auto& [name, output] : found) {
        if (name == program) return output;
      }
      return std::string("which: no ") + program + " in (/usr/bin)\n";
    };
  }
  UrlLauncher::Start Recorder() {
    return [this](const std::vector<std::string>& args) {
      mStarted.push_back(args);
      return true;
    };
  }

  std::string mLookups;
  std::vector<std::vector<std::string>> mStarted;
};

TEST_F(UrlLauncherTest, AnAbsoluteBrowserSettingIsUsedWithoutAnyLookup) {
  UrlLauncher launcher("/opt/web/browse", Locator(), Recorder());
  EXPECT_TRUE(launcher.Show(string("http://example.org/")));
  EXPECT_EQ(mLookups, "");
  ASSERT_EQ(mStarted.size(), 1u);
  EXPECT_EQ(mStarted[0], (std::vector<std::string>{"/opt/web/browse", "http://example.org/"}));
}

TEST_F(UrlLauncherTest, WithoutAUsableSettingTheKnownBrowsersAreTriedInOrder) {
  UrlLauncher unset(nullptr, Locator(), Recorder());
  EXPECT_FALSE(unset.Show(string("http://example.org/")));
  EXPECT_EQ(mLookups, "galeon;konqueror;mozilla;opera;");
  EXPECT_TRUE(mStarted.empty()) << "no browser, nothing started";

  mLookups.clear();
  UrlLauncher relative("firefox", Locator({{"mozilla", "/usr/bin/mozilla\n"}, {"opera", "/usr/bin/opera\n"}}),
                       Recorder());
  EXPECT_EQ(relative.Browser(), "/usr/bin/mozilla") << "line feed removed, first found wins";
  EXPECT_EQ(mLookups, "galeon;konqueror;mozilla;");
}

TEST_F(UrlLauncherTest, TheUrlReachesTheBrowserAsOneArgumentWhateverItHolds) {
  UrlLauncher launcher("/bin/browser", Locator(), Recorder());
  std::string url = "http://example.org/a b?q=\"x\"&y=$(touch " + PathOf("pwned") + ")`id`;'";
  EXPECT_TRUE(launcher.Show(string(url, kEncodingUTF8)));
  ASSERT_EQ(mStarted.size(), 1u);
  EXPECT_EQ(mStarted[0], (std::vector<std::string>{"/bin/browser", url}));
}

TEST_F(UrlLauncherTest, UrlsThatCannotBePassedOnWholeAreRefused) {
  UrlLauncher launcher("/bin/browser", Locator(), Recorder());
  EXPECT_FALSE(launcher.Show(string("--load-extension=/tmp/x")));
  EXPECT_FALSE(launcher.Show(string("http://a\0b", 10, kEncodingUTF8)));
  EXPECT_TRUE(mStarted.empty());
}

TEST_F(UrlLauncherTest, ARealBrowserProgramGetsExactlyTheUrl) {
  std::string browser = PathOf("browser.sh");
  WriteFile("browser.sh", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > " + PathOf("args.tmp") + "\nmv " +
                              PathOf("args.tmp") + " " + PathOf("args") + "\n");
  ASSERT_EQ(chmod(browser.c_str(), 0700), 0);
  UrlLauncher launcher(browser.c_str(), Locator(), [](const std::vector<std::string>& args) {
    int error = 0;
    return StartProgramDetached(args, &error);
  });
  std::string url = "http://example.org/a b\"$(touch " + PathOf("pwned") + ")\"";
  ASSERT_TRUE(launcher.Show(string(url, kEncodingUTF8)));
  for (int i = 0; i < 6000 && !PathExists("args"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ReadFile("args"), "1|" + url + "|");
  EXPECT_FALSE(PathExists("pwned"));
}

}  // namespace
}  // namespace vorn::testing
