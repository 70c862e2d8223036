// Character styles of a styled multi-line field, kept as named tags of its GtkTextBuffer:
// "bold", "italic" and "underline", and one value tag per font ("fontName" + native name),
// Pango size ("fontSize" + size) and colour ("foregroundColor" + 12 hex digits). A character
// without a value tag has the field's font and size and black. Any other field keeps one style
// for its whole text.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "editfield/edit_change_batch.h"
#include "editfield/edit_control_gtk.h"
#include "editfield/edit_text_model.h"
#include "editfield/styled_text_class.h"
#include "objects/exceptions.h"
#include "strings/utf8.h"
#include "vorn/array_abi.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

constexpr const char* kBoldTag = "bold";
constexpr const char* kItalicTag = "italic";
constexpr const char* kUnderlineTag = "underline";
constexpr const char* kFontPrefix = "fontName";
constexpr const char* kSizePrefix = "fontSize";
constexpr const char* kColorPrefix = "foregroundColor";

bool HasPrefix(const char* name, const char* prefix) {
  return name && g_ascii_strncasecmp(name, prefix, strlen(prefix)) == 0;
}

GtkTextIter IterAt(GtkTextBuffer* buffer, int32_t offset) {
  GtkTextIter iter;
  gtk_text_buffer_get_iter_at_offset(buffer, &iter, offset);
  return iter;
}

std::string ColorDigits(const RGB48& color) {
  char digits[13];
  snprintf(digits, sizeof digits, "%04X%04X%04X", color.red, color.green, color.blue);
  return digits;
}

RGB48 ColorFromDigits(const char* digits) {
  unsigned red = 0, green = 0, blue = 0;
  if (strlen(digits) != 12 || sscanf(digits, "%4x%4x%4x", &red, &green, &blue) != 3) return kBlack48;
  return RGB48{static_cast<uint16_t>(red), static_cast<uint16_t>(green), static_cast<uint16_t>(blue)};
}

string Utf8(std::string_view text) { return string(text, kEncodingUTF8); }

}  // namespace

struct EditControlGTK::CharStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  string font;  // native name
  int32_t pangoSize = 0;
  RGB48 color = kBlack48;
};

EditControlGTK::CharStyle EditControlGTK::DefaultStyle() const {
  CharStyle style;
  style.font = MapSystemFontName(mTextStyle.mFontName, true);
  style.pangoSize = ConvertPaneFontSize(mTextStyle.mSize, true);
  return style;
}

// --- reading tags ----------------------------------------------------------------------------

std::vector<EditControlGTK::CharStyle> EditControlGTK::StylesOf(int32_t start, int32_t end) {
  std::vector<CharStyle> styles;
  if (!KeepsStyles() || end <= start) return styles;
  const CharStyle plain = DefaultStyle();
  GtkTextIter iter = IterAt(mTextBuffer, start);
  for (int32_t i = start; i < end && !gtk_text_iter_is_end(&iter); ++i) {
    CharStyle style = plain;
    GSList* tags = gtk_text_iter_get_tags(&iter);
    for (GSList* t = tags; t; t = t->next) {
      gchar* name = nullptr;
      g_object_get(t->data, "name", &name, nullptr);
      if (!name) continue;
      if (g_ascii_strcasecmp(name, kBoldTag) == 0) style.bold = true;
      else if (g_ascii_strcasecmp(name, kItalicTag) == 0) style.italic = true;
      else if (g_ascii_strcasecmp(name, kUnderlineTag) == 0) style.underline = true;
      else if (HasPrefix(name, kFontPrefix)) style.font = Utf8(name + strlen(kFontPrefix));
      else if (HasPrefix(name, kSizePrefix)) style.pangoSize = atoi(name + strlen(kSizePrefix));
      else if (HasPrefix(name, kColorPrefix)) style.color = ColorFromDigits(name + strlen(kColorPrefix));
      g_free(name);
    }
    g_slist_free(tags);
    styles.push_back(style);
    gtk_text_iter_forward_char(&iter);
  }
  return styles;
}

void EditControlGTK::StyleQueryRange(int32_t* start, int32_t* end) {
  *start = GetSelStart();
  *end = GetSelEnd();
  if (*end == *start) *end = std::min(*start + 1, GetTextLength());
}

namespace {

// Range arguments clipped to the text, as [start, end).
void ClipRange(int32_t textLength, int32_t start, int32_t length, int32_t* from, int32_t* to) {
  *from = std::clamp(start, 0, textLength);
  *to = length > 0 ? static_cast<int32_t>(std::min<int64_t>(int64_t{*from} + length, textLength)) : *from;
}

// The value all the styles share: the last one seen (names compare without regard to case), or
// `mixedValue` when they differ. No styles answer `none`.
template <typename Styles, typename Get, typename Same, typename T>
T Common(const Styles& styles, Get get, Same same, T none, T mixedValue, bool* mixed) {
  if (mixed) *mixed = false;
  if (styles.empty()) return none;
  T result = get(styles.front());
  for (const auto& style : styles) {
    T value = get(style);
    if (!same(value, result)) {
      if (mixed) *mixed = true;
      return mixedValue;
    }
    result = value;
  }
  return result;
}

bool SameString(const string& a, const string& b) { return a.Compare(b) == 0; }
bool SameInt(int32_t a, int32_t b) { return a == b; }
bool SameColor(const RGB48& a, const RGB48& b) { return a == b; }

}  // namespace

// An empty range asks about the character at its start.
bool EditControlGTK::TagCovers(int32_t start, int32_t end, bool CharStyle::*flag, bool* mixed) {
  std::vector<CharStyle> styles = StylesOf(start, std::max(end, start + 1));
  auto has = [flag](const CharStyle& s) { return s.*flag; };
  bool all = !styles.empty() && std::all_of(styles.begin(), styles.end(), has);
  if (mixed) *mixed = !all && std::any_of(styles.begin(), styles.end(), has);
  return all;
}

// --- writing tags ----------------------------------------------------------------------------

void EditControlGTK::SetTag(int32_t start, int32_t end, const char* name, bool value) {
  if (!KeepsStyles() || end <= start) return;
  mRunsDirty = true;
  GtkTextIter from = IterAt(mTextBuffer, start), to = IterAt(mTextBuffer, end);
  if (!gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(mTextBuffer), name)) {
    if (name == kBoldTag) gtk_text_buffer_create_tag(mTextBuffer, kBoldTag, "weight", PANGO_WEIGHT_BOLD, nullptr);
    if (name == kItalicTag) gtk_text_buffer_create_tag(mTextBuffer, kItalicTag, "style", PANGO_STYLE_ITALIC, nullptr);
    if (name == kUnderlineTag) {
      gtk_text_buffer_create_tag(mTextBuffer, kUnderlineTag, "underline", PANGO_UNDERLINE_SINGLE, nullptr);
    }
  }
  if (value) {
    gtk_text_buffer_apply_tag_by_name(mTextBuffer, name, &from, &to);
  } else {
    gtk_text_buffer_remove_tag_by_name(mTextBuffer, name, &from, &to);
  }
}

void EditControlGTK::RemovePrefixedTags(int32_t start, int32_t end, const std::vector<const char*>& prefixes) {
  if (!KeepsStyles()) return;
  mRunsDirty = true;
  struct Match {
    const std::vector<const char*>* prefixes;
    std::vector<GtkTextTag*> tags;
  } match{&prefixes, {}};
  gtk_text_tag_table_foreach(
      gtk_text_buffer_get_tag_table(mTextBuffer),
      [](GtkTextTag* tag, gpointer data) {
        auto* m = static_cast<Match*>(data);
        gchar* name = nullptr;
        g_object_get(tag, "name", &name, nullptr);
        for (const char* prefix : *m->prefixes) {
          if (HasPrefix(name, prefix)) {
            m->tags.push_back(tag);
            break;
          }
        }
        g_free(name);
      },
      &match);
  GtkTextIter from = IterAt(mTextBuffer, start), to = IterAt(mTextBuffer, end);
  for (GtkTextTag* tag : match.tags) gtk_text_buffer_remove_tag(mTextBuffer, tag, &from, &to);
}

void EditControlGTK::ApplyValueTag(int32_t start, int32_t end, const char* prefix, const std::string& value) {
  if (!KeepsStyles() || end <= start) return;
  std::string name = std::string(prefix) + value;
  RemovePrefixedTags(start, end, {prefix});
  if (!gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(mTextBuffer), name.c_str())) {
    if (prefix == kFontPrefix) {
      gtk_text_buffer_create_tag(mTextBuffer, name.c_str(), "family", value.c_str(), nullptr);
    } else if (prefix == kSizePrefix) {
      gtk_text_buffer_create_tag(mTextBuffer, name.c_str(), "size", atoi(value.c_str()) * PANGO_SCALE, nullptr);
    } else {
      RGB48 color = ColorFromDigits(value.c_str());
      GdkColor gdk{0, color.red, color.green, color.blue};
      gtk_text_buffer_create_tag(mTextBuffer, name.c_str(), "foreground-gdk", &gdk, nullptr);
    }
  }
  GtkTextIter from = IterAt(mTextBuffer, start), to = IterAt(mTextBuffer, end);
  gtk_text_buffer_apply_tag_by_name(mTextBuffer, name.c_str(), &from, &to);
}

// --- the selection ---------------------------------------------------------------------------

void EditControlGTK::SetSelStyle(EditSelStyle style, bool value) {
  int32_t start = GetSelStart(), end = GetSelEnd();
  mRunsDirty = true;
  if (end <= start) return;
  switch (style) {
    case kSelBold: SetTag(start, end, kBoldTag, value); break;
    case kSelItalic: SetTag(start, end, kItalicTag, value); break;
    case kSelUnderline: SetTag(start, end, kUnderlineTag, value); break;
    case kSelPlain: RemovePrefixedTags(start, end, {kBoldTag, kItalicTag, kUnderlineTag}); break;
    default: break;
  }
}

bool EditControlGTK::GetSelStyle(EditSelStyle style) {
  int32_t start = GetSelStart(), end = GetSelEnd();
  switch (style) {
    case kSelBold: return TagCovers(start, end, &CharStyle::bold, nullptr);
    case kSelItalic: return TagCovers(start, end, &CharStyle::italic, nullptr);
    case kSelUnderline: return TagCovers(start, end, &CharStyle::underline, nullptr);
    default: return false;
  }
}

void EditControlGTK::SetSelTextFont(const string& font) { SetFont(GetSelStart(), GetSelLength(), font); }
void EditControlGTK::SetSelTextSize(int32_t points) { SetSize(GetSelStart(), GetSelLength(), points); }
void EditControlGTK::SetSelTextColor(const RGB48& color) {
  SetColor(GetSelStart(), GetSelLength(), RGB48ToColor(color));
}

string EditControlGTK::GetSelTextFont() {
  if (!KeepsStyles()) {
    const string& font = mTextStyle.mFontName;
    return font.IsEmpty() ? string("System") : font;
  }
  int32_t start, end;
  StyleQueryRange(&start, &end);
  return GetFont(start, end - start, nullptr);
}

int32_t EditControlGTK::GetSelTextSize() {
  if (!KeepsStyles()) return mTextStyle.mSize;
  int32_t start, end;
  StyleQueryRange(&start, &end);
  return GetSize(start, end - start, nullptr);
}

RGB48 EditControlGTK::GetSelTextColor() {
  if (!KeepsStyles()) return kBlack48;
  int32_t start, end;
  StyleQueryRange(&start, &end);
  return Common(StylesOf(start, end), [](const CharStyle& s) { return s.color; }, SameColor, kBlack48, kBlack48,
                nullptr);
}

// --- ranges ----------------------------------------------------------------------------------

void EditControlGTK::SetBold(int32_t start, int32_t length, bool value) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  SetTag(from, to, kBoldTag, value);
}

void EditControlGTK::SetItalic(int32_t start, int32_t length, bool value) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  SetTag(from, to, kItalicTag, value);
}

void EditControlGTK::SetUnderline(int32_t start, int32_t length, bool value) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  SetTag(from, to, kUnderlineTag, value);
}

void EditControlGTK::SetFont(int32_t start, int32_t length, const string& font) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  ApplyValueTag(from, to, kFontPrefix, std::string(MapSystemFontName(font, true).ToUTF8().View()));
}

void EditControlGTK::SetSize(int32_t start, int32_t length, int32_t points) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  ApplyValueTag(from, to, kSizePrefix, std::to_string(ConvertPaneFontSize(points, true)));
}

void EditControlGTK::SetColor(int32_t start, int32_t length, uint32_t color) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  ApplyValueTag(from, to, kColorPrefix, ColorDigits(ColorToRGB48(color)));
}

bool EditControlGTK::GetBold(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  return TagCovers(from, to, &CharStyle::bold, mixed);
}

bool EditControlGTK::GetItalic(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  return TagCovers(from, to, &CharStyle::italic, mixed);
}

bool EditControlGTK::GetUnderline(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  return TagCovers(from, to, &CharStyle::underline, mixed);
}

string EditControlGTK::GetFont(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  string native = Common(StylesOf(from, to), [](const CharStyle& s) { return s.font; }, SameString,
                         KeepsStyles() ? DefaultStyle().font : string(), string(), mixed);
  return native.IsEmpty() ? native : MapSystemFontName(native, false);
}

int32_t EditControlGTK::GetSize(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  int32_t pango = Common(StylesOf(from, to), [](const CharStyle& s) { return s.pangoSize; }, SameInt,
                         KeepsStyles() ? DefaultStyle().pangoSize : -2, -2, mixed);
  return ConvertPaneFontSize(pango, false);
}

uint32_t EditControlGTK::GetColor(int32_t start, int32_t length, bool* mixed) {
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  return RGB48ToColor(
      Common(StylesOf(from, to), [](const CharStyle& s) { return s.color; }, SameColor, kBlack48, kBlack48, mixed));
}

// --- runs ------------------------------------------------------------------------------------

void EditControlGTK::RebuildRuns() {
  if (!mRunsDirty) return;
  mRuns.clear();
  string text = GetText(kEncodingUTF8);
  std::string_view bytes = text.View();
  std::vector<CharStyle> styles = StylesOf(0, GetTextLength());
  StyleRunData current;
  std::string currentText;
  int32_t at = 0;
  for (size_t i = 0; i < styles.size(); ++i) {
    StyleRunData run;
    run.bold = styles[i].bold;
    run.italic = styles[i].italic;
    run.underline = styles[i].underline;
    run.font = MapSystemFontName(styles[i].font, false);
    run.size = static_cast<uint32_t>(ConvertPaneFontSize(styles[i].pangoSize, false));
    run.color = RGB48ToColor(styles[i].color);
    int32_t next = UTF8NextChar(bytes.data(), static_cast<int32_t>(bytes.size()), at);
    std::string_view character = bytes.substr(at, next - at);
    at = next;
    if (i == 0 || !run.SameStyle(current)) {
      if (i > 0) {
        current.text = Utf8(currentText);
        mRuns.push_back(current);
      }
      current = run;
      currentText.clear();
    }
    currentText.append(character);
  }
  current.text = Utf8(currentText);
  mRuns.push_back(current);
  mRunsDirty = false;
}

int32_t EditControlGTK::RunCount() {
  if (!KeepsStyles()) return 0;
  RebuildRuns();
  return static_cast<int32_t>(mRuns.size());
}

int32_t EditControlGTK::RunStart(int32_t index) {
  int32_t start = 0;
  for (int32_t i = 0; i < index && i < static_cast<int32_t>(mRuns.size()); ++i) start += UTF8CharacterCount(mRuns[i].text.View());
  return start;
}

bool EditControlGTK::RunIndexOrRaise(int32_t index) {
  if (index >= 0 && index < RunCount()) return true;
  RuntimeRaiseOutOfBoundsException();
  return false;
}

RuntimeObject* EditControlGTK::GetRun(int32_t index) {
  return RunIndexOrRaise(index) ? NewStyleRunObject(mRuns[index]) : nullptr;
}

RuntimeObject* EditControlGTK::GetRunRange(int32_t index) {
  if (!RunIndexOrRaise(index)) return nullptr;
  return NewRangeObject(RunStart(index), UTF8CharacterCount(mRuns[index].text.View()));
}

void EditControlGTK::RemoveRun(int32_t index) {
  if (index < 0 || index >= RunCount()) return;
  ReplaceRange(RunStart(index), UTF8CharacterCount(mRuns[index].text.View()), string());
}

void EditControlGTK::InsertRun(RuntimeObject* run, int32_t index) {
  StyleRunObject* fields = AsStyleRunObject(run);
  if (!fields) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (!KeepsStyles()) return;
  RebuildRuns();
  InsertRunData(StyleRunDataOf(fields), RunStart(std::clamp(index, 0, static_cast<int32_t>(mRuns.size()))));
}

void EditControlGTK::AppendRun(RuntimeObject* run) {
  StyleRunObject* fields = AsStyleRunObject(run);
  if (!fields) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (KeepsStyles()) InsertRunData(StyleRunDataOf(fields), GetTextLength());
}

void EditControlGTK::InsertRunData(const StyleRunData& run, int32_t position) {
  string text = run.text.ToUTF8();
  int32_t length = UTF8CharacterCount(text.View());
  ReplaceRange(position, 0, text);
  SetBold(position, length, run.bold);
  SetItalic(position, length, run.italic);
  SetUnderline(position, length, run.underline);
  SetFont(position, length, run.font);
  SetSize(position, length, static_cast<int32_t>(run.size));
  SetColor(position, length, run.color);
}

void EditControlGTK::ReplaceRange(int32_t start, int32_t length, const string& text) {
  if (!KeepsStyles()) return;
  int32_t from, to;
  ClipRange(GetTextLength(), start, length, &from, &to);
  string utf8 = text.ToUTF8();
  EditChangeBatch batch(this);
  mRunsDirty = true;
  GtkTextIter first = IterAt(mTextBuffer, from), last = IterAt(mTextBuffer, to);
  gtk_text_buffer_delete(mTextBuffer, &first, &last);
  GtkTextIter at = IterAt(mTextBuffer, from);
  gtk_text_buffer_insert(mTextBuffer, &at, utf8.CString(), utf8.Length());
}

// --- TextStyleData ---------------------------------------------------------------------------

std::vector<TextStyleRecord> EditControlGTK::StyleRecords() {
  std::vector<TextStyleRecord> records;
  for (const CharStyle& style : StylesOf(0, GetTextLength())) {
    TextStyleRecord r;
    r.bold = style.bold;
    r.italic = style.italic;
    r.underline = style.underline;
    r.font = MapSystemFontName(style.font, false);
    r.color = RGB48ToColor(style.color);
    r.hasColor = r.color != 0;
    r.size = ConvertPaneFontSize(style.pangoSize, false);
    records.push_back(r);
  }
  return records;
}

string EditControlGTK::GetTextStyleData() {
  if (!KeepsStyles()) return PlainTextStyleData(GetTextLength(), GetSelTextFont(), GetSelTextSize());
  return WriteTextStyleData(StyleRecords());
}

void EditControlGTK::SetTextAndStyle(const string& text, const string& styleData) {
  mRunsDirty = true;
  SetText(text.ToUTF8());
  if (!KeepsStyles()) return;
  std::vector<TextStyleRecord> records = ReadTextStyleData(styleData.View(), GetTextLength());
  // Consecutive equal records are styled as one range.
  auto same = [](const TextStyleRecord& a, const TextStyleRecord& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && SameString(a.font, b.font) &&
           a.hasColor == b.hasColor && a.color == b.color && a.size == b.size;
  };
  for (size_t start = 0; start < records.size();) {
    size_t end = start + 1;
    while (end < records.size() && same(records[start], records[end])) ++end;
    const TextStyleRecord& r = records[start];
    auto from = static_cast<int32_t>(start);
    auto length = static_cast<int32_t>(end - start);
    SetBold(from, length, r.bold);
    SetItalic(from, length, r.italic);
    SetUnderline(from, length, r.underline);
    if (!r.font.IsEmpty()) SetFont(from, length, r.font);
    if (r.hasColor) SetColor(from, length, r.color);
    SetSize(from, length, r.size);
    start = end;
  }
  auto after = static_cast<int32_t>(records.size()) + 1;
  SetSelection(after, after);
}

}  // namespace vorn
