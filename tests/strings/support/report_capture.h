// Collects runtime error reports for the lifetime of a test scope instead of showing them;
// every report is answered with OK, so the code under test goes on as after the dialog.
#pragma once

#include <string>
#include <vector>

#include "strings/runtime_error.h"

namespace vorn::test {

class ReportCapture {
 public:
  ReportCapture() : mPrevious(SetRuntimeErrorPresenter(&Present)) { Reports().clear(); }
  ~ReportCapture() { SetRuntimeErrorPresenter(mPrevious); }
  ReportCapture(const ReportCapture&) = delete;
  ReportCapture& operator=(const ReportCapture&) = delete;

  const std::vector<std::string>& reports() const { return Reports(); }
  size_t count() const { return Reports().size(); }
  // Whether some report holds every one of the given pieces of text.
  bool Saw(std::initializer_list<const char*> pieces) const {
    for (const std::string& text : Reports()) {
      bool all = true;
      for (const char* piece : pieces) all = all && text.find(piece) != std::string::npos;
      if (all) return true;
    }
    return false;
  }

 private:
  static std::vector<std::string>& Reports() {
    static std::vector<std::string> reports;
    return reports;
  }
  static bool Present(const std::string& text) {
    Reports().push_back(text);
    return true;
  }

  RuntimeErrorPresenter mPrevious;
};

}  // namespace vorn::test
