#include "files/url_launcher.h"

#include <cstdlib>
#include <string_view>

#include "files/program_runner.h"
#include "files/shell_runner.h"
#include "files/unix_path_text.h"
#include "vorn/special_folder_api.h"

namespace vorn {

namespace {

constexpr const char* kKnownBrowsers[] = {"galeon", "konqueror", "mozilla", "opera"};

std::string WithoutLineFeeds(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c != '\n') result += c;
  }
  return result;
}

std::string WhichOutput(const char* program) {
  return PathBytes(RunShellCommand(string("which ") + string(program), true));
}

bool StartInBackground(const std::vector<std::string>& args) {
  int error = 0;
  return StartProgramDetached(args, &error);
}

}  // namespace

UrlLauncher::UrlLauncher(const char* browserSetting, Locate locate, Start start)
    : mHasSetting(browserSetting != nullptr),
      mSetting(browserSetting ? browserSetting : ""),
      mLocate(std::move(locate)),
      mStart(std::move(start)) {}

std::string UrlLauncher::Browser() const {
  if (mHasSetting && !mSetting.empty() && mSetting[0] == '/') return WithoutLineFeeds(mSetting);
  for (const char* program : kKnownBrowsers) {
    std::string found = mLocate(program);
    if (!found.empty() && found[0] == '/') return WithoutLineFeeds(found);
  }
  return "";
}

bool UrlLauncher::Show(const string& url) const {
  std::string text = PathBytes(url);
  // A NUL would cut the URL short; a leading "-" would be read as one of the browser's options.
  if (HasNulByte(text) || (!text.empty() && text[0] == '-')) return false;
  std::string browser = Browser();
  if (browser.empty()) return false;
  return mStart({browser, text});
}

bool ShowURLInBrowser(const string& url) {
  static const UrlLauncher launcher(std::getenv("BROWSER"), &WhichOutput, &StartInBackground);
  return launcher.Show(url);
}

}  // namespace vorn

extern "C" void GlobalShowURL(VornStringRecord* url) { vorn::ShowURLInBrowser(vorn::string::Share(url)); }
