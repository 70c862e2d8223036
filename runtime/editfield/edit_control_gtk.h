// The edit pane on GTK 2: a single-line field is a GtkEntry, a multi-line one a GtkTextView in
// a GtkScrolledWindow. The kind of field is fixed when it is made.
#pragma once

#include <vector>

#include "editfield/edit_control.h"
#include "editfield/edit_text_model.h"
#include "editfield/styled_text_base_imp.h"

struct _GtkTextBuffer;
struct _GtkTextView;

namespace vorn {

class EditControlGTK : public EditControl {
 public:
  EditControlGTK(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds,
                 bool border, const vorn::TextStyle& style, bool multiLine, bool styled, bool verticalScrollBar,
                 bool horizontalScrollBar);
  ~EditControlGTK() override;

  // Inherited pane operations.
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseUp(int32_t x, int32_t y) override;
  void LostFocus() override;
  void GotFocus() override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  void EnableMenuItems() override;
  // The field as it looks, with its text in the field's font and black (edit_control_gtk_draw.cpp).
  void DrawInto(Graphics* port) override;
  bool DoEditMenuCommand(const string& itemName) override;
  bool DoMenuCommand(int32_t command) override;

  // Text, selection, clipboard, lines and scrolling.
  string GetText(EncodingCode encoding) override;
  void SetText(const string& text) override;
  void SetSelection(int32_t start, int32_t end) override;
  bool HasSelection() override;
  void Cut() override;
  void Copy() override;
  void Paste() override;
  bool ClipboardHasText() override;
  void Clear() override;
  int32_t GetSelStart() override;
  void SetSelStart(int32_t offset) override;
  int32_t GetSelEnd() override;
  int32_t GetSelLength() override;
  void SetSelLength(int32_t count) override;
  string GetSelText(EncodingCode encoding) override;
  void SetSelText(const string& text) override;
  int32_t GetScrollPosition() override;
  void SetScrollPosition(int32_t line) override;
  int32_t GetScrollPositionX() override;
  void SetScrollPositionX(int32_t pixels) override;
  int32_t LineNumAtCharPos(int32_t offset) override;
  int32_t CharPosAtLineNum(int32_t line) override;
  int32_t CharPosAtXY(int32_t x, int32_t y) override;
  int32_t InsertionPosAtXY(int32_t x, int32_t y) override;
  bool IsEndVisible() override;
  // A styled field reads and writes Rich Text (edit_control_gtk_files.cpp); a file that is no
  // Rich Text is plain UTF-8 text. A damaged Rich Text file changes nothing and leaves EINVAL
  // in the file's mLastError.
  bool LoadFromFile(FolderItemImp* file) override;
  bool SaveToFile(FolderItemImp* file) override;
  RuntimeObject* NewStyledTextPrinter(RuntimeObject* graphics, int32_t width) override;

  // Settings of the whole field.
  void SetDelegate(EditControlDelegate* delegate) override { mEditDelegate = delegate; }
  EditControlDelegate* GetDelegate() override { return mEditDelegate; }
  bool IsReadOnly() const override;
  void SetReadOnly(bool readOnly) override;
  vorn::TextStyle GetTextStyle() override { return mTextStyle; }
  void SetTextStyle(const vorn::TextStyle& style) override;
  void SetPassword(bool password) override;
  bool IsPassword() override;
  void SetLimitText(int32_t count) override;
  void SetAcceptTabs(bool accept) override { mAcceptTabs = accept; }
  bool GetAcceptTabs() const { return mAcceptTabs; }
  void SetFormatted(bool) override {}
  void SetTextColor(const RGB48& color) override;
  void SetBackColor(const RGB48& color) override;
  void SetAlignment(int32_t alignment) override;
  using EditControl::SetAlignment;

  void SetSelStyle(EditSelStyle style, bool value) override;
  bool GetSelStyle(EditSelStyle style) override;
  void SetSelTextFont(const string& font) override;
  string GetSelTextFont() override;
  void SetSelTextSize(int32_t points) override;
  int32_t GetSelTextSize() override;
  void SetSelTextColor(const RGB48& color) override;
  RGB48 GetSelTextColor() override;
  string GetTextStyleData() override;
  void SetTextAndStyle(const string& text, const string& styleData) override;

  // The field's own text as styled text. Only a styled multi-line field keeps styles of its
  // characters; any other answers as the detached base does.
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
  // A run index outside the runs raises OutOfBoundsException.
  RuntimeObject* GetRun(int32_t index) override;
  void InsertRun(RuntimeObject* run, int32_t index) override;
  void AppendRun(RuntimeObject* run) override;
  void RemoveRun(int32_t index) override;
  RuntimeObject* GetRunRange(int32_t index) override;

  // Reports a selection that differs from the one reported last.
  void CheckSelectionChanged();
  // Text the field itself puts in place of the selection (a Tab, a Return, pasted text): the
  // delegate's ValidateKey sees it first, as it sees typed keys; when it does not take it, the
  // text is inserted with the insertion point after it.
  void InsertOwnText(const string& text);
  // The widget was asked to paste: with a delegate, the clipboard's text goes through
  // InsertOwnText when it arrives; answers whether the native paste is to be stopped.
  bool InterceptPaste();

  bool HasBorder() const { return mHasBorder; }
  bool IsStyled() const { return mStyled; }
  bool WrapsWords() const { return mWordWrap; }
  _GtkTextView* TextView() const { return mTextView; }
  _GtkTextBuffer* TextBuffer() const { return mTextBuffer; }

 private:
  // The widget that takes keys and fonts: the text view, or the entry.
  NativeWidget TargetWidget() const;
  void ScrollToSelectionStart();
  // Height of one display line, from the location of the character at the offset.
  int32_t LineHeightAt(int32_t offset, int32_t line, const char* condition);
  void EnsureRealized();
  // A password field's text as it shows: the entry's invisible character for each character.
  string MaskedText();
  // One record per character of a styled field.
  std::vector<TextStyleRecord> StyleRecords();
  bool KeepsStyles() const { return mMultiLine && mStyled; }
  // Styles of the field's own characters (edit_control_gtk_styles.cpp).
  struct CharStyle;
  std::vector<CharStyle> StylesOf(int32_t start, int32_t end);
  CharStyle DefaultStyle() const;
  // The selection, or the character after the insertion point when nothing is selected.
  void StyleQueryRange(int32_t* start, int32_t* end);
  void SetTag(int32_t start, int32_t end, const char* name, bool value);
  bool TagCovers(int32_t start, int32_t end, bool CharStyle::*flag, bool* mixed);
  void ApplyValueTag(int32_t start, int32_t end, const char* prefix, const std::string& value);
  void RemovePrefixedTags(int32_t start, int32_t end, const std::vector<const char*>& prefixes);
  void ReplaceRange(int32_t start, int32_t length, const string& text);
  void RebuildRuns();
  int32_t RunStart(int32_t index);
  // False, with OutOfBoundsException raised, for an index outside the runs.
  bool RunIndexOrRaise(int32_t index);
  void InsertRunData(const StyleRunData& run, int32_t position);
  void ApplyStyleData(const string& styleData, int32_t characters);

  std::vector<StyleRunData> mRuns;  // valid while mRunsDirty is false
  void ConnectSignals();

  _GtkTextBuffer* mTextBuffer = nullptr;
  vorn::TextStyle mTextStyle;
  bool mHasBorder = false;
  bool mHasHorizontalScrollBar = false;
  bool mHasVerticalScrollBar = false;
  int32_t mLastSelLength = 0;
  int32_t mLastSelStart = 0;
  bool mStyled = false;
  bool mRunsDirty = true;
  bool mWordWrap = false;
  RGB48 mTextColor;
  int32_t mChangeBatch = 0;     // nesting of edits reported as one change
  bool mChangedInBatch = false;
  friend class EditChangeBatch;
  _GtkTextView* mTextView = nullptr;
  EditControlDelegate* mEditDelegate = nullptr;  // not owned
};

// The four ways to make an edit pane; each is shown in its window at once.
EditControlGTK* NewEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                               const Rect& bounds, bool border, const vorn::TextStyle& style);
EditControlGTK* NewStyledEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                     const Rect& bounds, bool border, const vorn::TextStyle& style);
EditControlGTK* NewMultilineEditControl(EditControlDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                        const Rect& bounds, bool border, const vorn::TextStyle& style,
                                        bool verticalScrollBar, bool horizontalScrollBar);
EditControlGTK* NewStyledMultilineEditControl(EditControlDelegate* delegate, SubPane* parent,
                                              int32_t tabPanelIndex, const Rect& bounds, bool border,
                                              const vorn::TextStyle& style, bool verticalScrollBar,
                                              bool horizontalScrollBar);

}  // namespace vorn
