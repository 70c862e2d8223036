#include "support/process_locale.h"

#include <clocale>
#include <cstdlib>

namespace vorn::test {

namespace {

// Where the build put the locales it made; empty when the machine has the locale already.
std::string BuildLocaleFolder(const std::string& name) {
  if (name == "C") return {};
  const char* before = std::setlocale(LC_ALL, nullptr);
  const std::string previous = before ? before : "C";
  const bool installed = std::setlocale(LC_ALL, name.c_str()) != nullptr;
  std::setlocale(LC_ALL, previous.c_str());
  return installed ? std::string() : VORN_TEST_LOCALE_DIR;
}

}  // namespace

const std::vector<std::string>& RowLocales() {
  static const std::vector<std::string> locales{"C", "de_DE.UTF-8", "tr_TR.UTF-8"};
  return locales;
}

ProcessLocale::ProcessLocale(const std::string& name) {
  const char* before = std::setlocale(LC_ALL, nullptr);
  mPrevious = before ? before : "C";
  const std::string folder = BuildLocaleFolder(name);
  if (!folder.empty()) setenv("LOCPATH", folder.c_str(), 1);
  mLoaded = std::setlocale(LC_ALL, name.c_str()) != nullptr;
}

ProcessLocale::~ProcessLocale() { std::setlocale(LC_ALL, mPrevious.c_str()); }

std::vector<std::string> LocaleEnvironment(const std::string& name) {
  std::vector<std::string> environment{"LANG=" + name, "LC_ALL=" + name};
  const std::string folder = BuildLocaleFolder(name);
  if (!folder.empty()) environment.push_back("LOCPATH=" + folder);
  return environment;
}

}  // namespace vorn::test
