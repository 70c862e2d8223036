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
  static const std::vector<std::string> locales{"C", "de_DE.UTF-8", "tr_TR.UTF-8", "fr_FR.UTF-8", "ar_EG.UTF-8"};
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

std::string InLocaleSeparators(const std::string& cText) {
  const lconv* conventions = std::localeconv();
  const std::string point = conventions->decimal_point;
  const std::string grouping = *conventions->thousands_sep ? conventions->thousands_sep : ",";
  std::string text;
  for (char c : cText) text += c == '.' ? point : c == ',' ? grouping : std::string(1, c);
  return text;
}

std::vector<std::string> LocaleEnvironment(const std::string& name) {
  std::vector<std::string> environment{"LANG=" + name, "LC_ALL=" + name};
  const std::string folder = BuildLocaleFolder(name);
  if (!folder.empty()) environment.push_back("LOCPATH=" + folder);
  return environment;
}

ScopedEnvironment::ScopedEnvironment(const std::vector<std::string>& settings) {
  for (const std::string& setting : settings) {
    const size_t equals = setting.find('=');
    const std::string name = setting.substr(0, equals);
    const char* before = std::getenv(name.c_str());
    mBefore.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
    setenv(name.c_str(), setting.c_str() + equals + 1, 1);
  }
}

ScopedEnvironment::~ScopedEnvironment() {
  for (auto it = mBefore.rbegin(); it != mBefore.rend(); ++it) {
    if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
    else unsetenv(it->first.c_str());
  }
}

}  // namespace vorn::test
