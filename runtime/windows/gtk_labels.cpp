// Captions with mnemonics: the runtime writes "&" before the mnemonic letter, GTK "_".
#include <gtk/gtk.h>

#include <string>

#include "windows/gtk_helper.h"

namespace vorn {

string ConvertMnemonicCaption(const string& caption) {
  if (caption.IsEmpty()) return string();
  string utf8 = caption.ToUTF8();
  std::string_view in = utf8.View();
  std::string out;
  out.reserve(in.size() + 4);
  for (size_t i = 0; i < in.size(); ++i) {
    char c = in[i];
    if (c == '&') {
      if (i + 1 < in.size() && in[i + 1] == '&') {
        out.push_back('&');
        ++i;
      } else {
        out.push_back('_');
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out.push_back(c);
    }
  }
  return string(std::string_view(out), kEncodingUTF8);
}

void SetLabelCaption(NativeWidget label, const string& caption, const TextStyle* style) {
  if (!label || !GTK_IS_LABEL(label)) return;
  gtk_label_set_text_with_mnemonic(GTK_LABEL(label), ConvertMnemonicCaption(caption).CString());
  if (style && style->mUnderline) UnderlineLabel(label);
}

}  // namespace vorn
