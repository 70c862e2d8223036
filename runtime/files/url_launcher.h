// Opens a URL in a web browser: the one named by BROWSER when that is an absolute path, else
// the first of a few known browsers the system has. The browser gets the URL as one argument
// of its own; no shell ever reads it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "strings/vstring.h"

namespace vorn {

class UrlLauncher {
 public:
  // What "which <program>" writes for a program name.
  using Locate = std::function<std::string(const char* program)>;
  // Starts a program file with its arguments in the background; true once it runs.
  using Start = std::function<bool(const std::vector<std::string>& args)>;

  // `browserSetting` is BROWSER's value as the process found it, or null.
  UrlLauncher(const char* browserSetting, Locate locate, Start start);

  // The browser's path, line feeds removed; "" when there is none.
  std::string Browser() const;
  // False when no browser is found, the URL cannot be passed on whole, or the browser does
  // not start.
  bool Show(const string& url) const;

 private:
  bool mHasSetting;
  std::string mSetting;
  Locate mLocate;
  Start mStart;
};

// The launcher of the process: BROWSER is read on the first call and kept for the run.
bool ShowURLInBrowser(const string& url);

}  // namespace vorn
