// A styled text kept apart from any field: an ordered list of runs, each a piece of the text
// with one set of character attributes. Changing an attribute over a range splits runs at the
// range's ends; runs of equal style are merged, and empty ones dropped, just before the store
// is read.
#pragma once

#include <cstdint>
#include <vector>

#include "editfield/edit_control_delegate.h"

namespace vorn {

// One run's attributes and text (UTF-8).
struct StyleRunData {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  uint32_t color = 0;  // &h00RRGGBB
  string font;
  uint32_t size = 0;
  string text;

  // Bold, italic, underline, size, colour and font (letter case ignored); not text.
  bool SameStyle(const StyleRunData& other) const;
};

struct StyleRunEntry {
  StyleRunData run;
  uint32_t start = 0;   // character offset in the whole text
  uint32_t length = 0;  // characters
  int32_t alignment = 0;
};

// What a UInt32 query answers for a range of differing values.
constexpr uint32_t kMixedStyleValue = 0xFFFFFFFF;

class StyledTextBaseImp : public StyledTextDelegate {
 public:
  // One empty run.
  StyledTextBaseImp();

  // Ranges are clipped to the text: characters that do not exist get no style.
  void SetBold(int32_t start, int32_t length, bool value) override;
  void SetItalic(int32_t start, int32_t length, bool value) override;
  void SetUnderline(int32_t start, int32_t length, bool value) override;
  void SetFont(int32_t start, int32_t length, const string& font) override;
  void SetSize(int32_t start, int32_t length, int32_t points) override;
  void SetColor(int32_t start, int32_t length, uint32_t color) override;
  bool GetBold(int32_t start, int32_t length, bool* mixed) override;
  bool GetItalic(int32_t start, int32_t length, bool* mixed) override;
  bool GetUnderline(int32_t start, int32_t length, bool* mixed) override;
  string GetFont(int32_t start, int32_t length, bool* mixed) override;
  int32_t GetSize(int32_t start, int32_t length, bool* mixed) override;
  uint32_t GetColor(int32_t start, int32_t length, bool* mixed) override;
  int32_t RunCount() override;
  // A new StyleRun copied from the run; an index outside the runs raises
  // OutOfBoundsException and answers nil.
  RuntimeObject* GetRun(int32_t index) override;
  // A copy of the StyleRun goes in; anything else is reported.
  void InsertRun(RuntimeObject* run, int32_t index) override;
  void AppendRun(RuntimeObject* run) override;
  void RemoveRun(int32_t index) override;
  // A new Range over the run, counted after merging; out of range as GetRun.
  RuntimeObject* GetRunRange(int32_t index) override;
  int32_t GetAlignment(int32_t start, int32_t length) override;
  void SetAlignment(int32_t start, int32_t length, int32_t alignment) override;

  // The runs as values.
  // False for an index outside the runs.
  bool GetRunData(int32_t index, StyleRunData* out);
  bool GetRunRangeData(int32_t index, int32_t* start, int32_t* length);
  // A copy of the run goes in at the index (clamped into 0 ... RunCount()).
  void InsertRunData(const StyleRunData& run, int32_t index);
  void AppendRunData(const StyleRunData& run);

  // The entries as they stand, without merging first.
  const std::vector<StyleRunEntry>& Entries() const { return mEntries; }
  // Characters of the whole text.
  int32_t TextLength() const;

 private:
  enum class Attribute { kBold, kItalic, kUnderline, kColor, kFont, kSize };
  struct Value {
    bool flag = false;
    uint32_t number = 0;
    string text;
  };

  void Merge();
  // First and last entry of a range (both -1 ... count); first > last for a negative range.
  void ClipQueryRange(int32_t* start, int32_t* length) const;
  void FindRange(int32_t start, int32_t length, int32_t* first, int32_t* last) const;
  void SetAttribute(int32_t start, int32_t length, Attribute kind, const Value& value);
  static bool Has(const StyleRunData& run, Attribute kind, const Value& value);
  static void Apply(StyleRunData& run, Attribute kind, const Value& value);
  static Value Read(const StyleRunData& run, Attribute kind);
  // The common value of the range's runs; `differs` when they are not all the same.
  Value Query(int32_t start, int32_t length, Attribute kind, bool* differs, bool* empty);
  void RecomputeStarts(size_t from);

  std::vector<StyleRunEntry> mEntries;
};

}  // namespace vorn
