// Rows that must come out the same in every locale run under C, under locales with a decimal
// comma (one of them with Turkish letter case) and under one written right to left. The build
// makes those into its own folder (tests/CMakeLists.txt), so a machine that has none installed
// runs them too.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorn::test {

// The locales every such row runs under: "C", then de_DE.UTF-8 and tr_TR.UTF-8, which write
// "1.234,5" and in which toupper('i') is not 'I', fr_FR.UTF-8, which groups digits with a
// narrow no-break space (U+202F), and ar_EG.UTF-8, written right to left.
const std::vector<std::string>& RowLocales();

// The process locale (LC_ALL) while this lives, as main sets it from the environment; the one
// before it afterwards. Loaded() is false, and nothing changed, when the locale is not there.
class ProcessLocale {
 public:
  explicit ProcessLocale(const std::string& name);
  ~ProcessLocale();
  ProcessLocale(const ProcessLocale&) = delete;
  ProcessLocale& operator=(const ProcessLocale&) = delete;

  bool Loaded() const { return mLoaded; }

 private:
  std::string mPrevious;
  bool mLoaded = false;
};

// A number written by the C rules ("-1,234.5") as the process locale writes it: its decimal
// point for ".", its grouping separator for "," (which stays where the locale has none).
std::string InLocaleSeparators(const std::string& cText);

// The environment a child program needs to start in that locale (LANG, LC_ALL, and LOCPATH
// when the locale is the build's own), as "NAME=value" texts.
std::vector<std::string> LocaleEnvironment(const std::string& name);

// The environment holds these "NAME=value" settings while this lives, and what it held before
// afterwards: what the process starts meanwhile starts with them.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const std::vector<std::string>& settings);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> mBefore;
};

}  // namespace vorn::test
