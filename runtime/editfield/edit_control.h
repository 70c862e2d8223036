// The native pane of every edit field, whatever draws it: text, selection, clipboard, lines,
// scrolling and the field's settings, in character offsets. Native happenings go out through
// an EditControlDelegate; the field's own text is also a StyledTextDelegate.
#pragma once

#include <cstdint>

#include "controls/data_aware.h"
#include "editfield/edit_control_delegate.h"
#include "graphics/color_types.h"
#include "graphics/text_style.h"
#include "windows/container_pane.h"
#include "windows/edit_control_queries.h"

namespace vorn {

class FolderItemImp;

// Alignment codes of the whole text and of paragraphs.
enum EditAlignment : int32_t { kEditAlignDefault = 0, kEditAlignLeft, kEditAlignCenter, kEditAlignRight };

// The character styles a selection can have, in the order of the EditField's Sel properties.
enum EditSelStyle : int32_t {
  kSelBold, kSelUnderline, kSelItalic, kSelOutline, kSelShadow, kSelCondense, kSelExtend, kSelPlain, kSelStyleCount
};

class EditControl : public ContainerPane,
                    public DataAwareClass,
                    public StyledTextDelegate,
                    public EditControlQueries {
 public:
  EditControl(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);
  ~EditControl() override;

  // Only the refuse-focus flag and the pane's own state count, never the widget.
  bool CanFocus() override;
  void Close() override;

  virtual string GetText(EncodingCode encoding) = 0;
  // Characters, not bytes.
  virtual int32_t GetTextLength();
  virtual void SetText(const string& text) = 0;
  // One record per character: style flags, a font when it changes, a colour, the size.
  virtual string GetTextStyleData() = 0;
  virtual void SetTextAndStyle(const string& text, const string& styleData) = 0;
  // End exclusive.
  virtual void SetSelection(int32_t start, int32_t end) = 0;
  virtual bool HasSelection() = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual bool ClipboardHasText() = 0;
  // Deletes the selection.
  virtual void Clear() = 0;
  virtual int32_t GetSelStart() = 0;
  // An empty selection at the offset.
  virtual void SetSelStart(int32_t offset) = 0;
  virtual int32_t GetSelEnd() = 0;
  virtual int32_t GetSelLength() = 0;
  bool IsMultiline() const { return mMultiLine; }
  virtual void SetSelLength(int32_t count) = 0;
  virtual string GetSelText(EncodingCode encoding) = 0;
  // Replaces the selection.
  virtual void SetSelText(const string& text) = 0;
  virtual void SetDelegate(EditControlDelegate* delegate) = 0;
  virtual EditControlDelegate* GetDelegate() = 0;
  bool IsReadOnly() const override = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  virtual vorn::TextStyle GetTextStyle() = 0;
  virtual void SetTextStyle(const vorn::TextStyle& style) = 0;
  // Changes the flag only; the native widgets stay what they were made as.
  void SetMultiline(bool multiLine) { mMultiLine = multiLine; }
  virtual void SetPassword(bool password) = 0;
  virtual bool IsPassword() = 0;
  // Maximum character count, 0 for none.
  virtual void SetLimitText(int32_t count) = 0;
  virtual void SetAcceptTabs(bool accept) = 0;
  bool AcceptsTab() const override { return mAcceptTabs; }
  virtual void SetFormatted(bool formatted) = 0;
  virtual void SetTextColor(const RGB48& color) = 0;
  virtual void SetBackColor(const RGB48& color) = 0;

  // Styles of the selection; a plain field keeps one style for its whole text.
  virtual void SetSelStyle(EditSelStyle style, bool value) = 0;
  virtual bool GetSelStyle(EditSelStyle style) = 0;
  virtual void SetSelTextFont(const string& font) = 0;
  virtual string GetSelTextFont() = 0;
  virtual void SetSelTextSize(int32_t points) = 0;
  virtual int32_t GetSelTextSize() = 0;
  virtual void SetSelTextColor(const RGB48& color) = 0;
  virtual RGB48 GetSelTextColor() = 0;

  virtual int32_t GetScrollPosition() = 0;
  virtual void SetScrollPosition(int32_t line) = 0;
  virtual int32_t GetScrollPositionX() = 0;
  virtual void SetScrollPositionX(int32_t pixels) = 0;
  virtual int32_t LineNumAtCharPos(int32_t offset) = 0;
  // The offset of the line's first character, counted from 1.
  virtual int32_t CharPosAtLineNum(int32_t line) = 0;
  virtual int32_t CharPosAtXY(int32_t x, int32_t y) = 0;
  virtual int32_t InsertionPosAtXY(int32_t x, int32_t y) = 0;
  // True when the end of the text lies in the visible part of the field.
  virtual bool IsEndVisible() = 0;

  using StyledTextDelegate::SetAlignment;
  virtual void SetAlignment(int32_t alignment);
  using StyledTextDelegate::GetAlignment;
  int32_t GetAlignment() const { return mAlignment; }
  virtual void SetSelAlignment(int32_t alignment);
  virtual int32_t GetSelAlignment();

  // False when nothing was read or written.
  virtual bool LoadFromFile(FolderItemImp* file) = 0;
  virtual bool SaveToFile(FolderItemImp* file) = 0;
  // A new StyledTextPrinter (one reference) of the text as it stands, for the Graphics object.
  virtual RuntimeObject* NewStyledTextPrinter(RuntimeObject* graphics, int32_t width) = 0;

  // A menu command by its item's name (the delegate's turn); true when handled.
  virtual bool DoEditMenuCommand(const string& itemName) = 0;

  void BindDataSource() override;
  void UnbindDataSource() override;

  void SetOwner(RuntimeObject* owner) { mOwner = owner; }
  RuntimeObject* Owner() const { return mOwner; }
  void SetRefuseFocus(bool refuse) { mRefuseFocus = refuse; }
  void SetUseFocusRing(bool use) { mUseFocusRing = use; }
  bool UsesFocusRing() const { return mUseFocusRing; }

 protected:
  int32_t mAlignment = kEditAlignDefault;
  bool mUseFocusRing = false;
  bool mRefuseFocus = false;
  RuntimeObject* mOwner = nullptr;  // not held: the owner holds the pane
  bool mMultiLine = false;
  bool mAcceptTabs = false;
};

}  // namespace vorn
