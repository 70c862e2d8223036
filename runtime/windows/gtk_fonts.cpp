// Font families offered to the language, the logical "System" font and Pango descriptions
// built from the runtime's text styles.
#include <gtk/gtk.h>

#include <string>

#include "strings/case_table.h"
#include "windows/gtk_helper.h"

namespace vorn {

namespace {

PangoFontFamily** sFamilies = nullptr;
int sFamilyCount = 0;
bool sFamiliesListed = false;

void ListFamilies() {
  if (sFamiliesListed) return;
  sFamiliesListed = true;
  PangoContext* context = gdk_pango_context_get();
  if (!context) return;
  pango_context_list_families(context, &sFamilies, &sFamilyCount);
  g_object_unref(context);
}

bool SameName(const string& a, const char* b) {
  return CompareBytesNoCase(a.CString(), a.Length(), b, static_cast<int32_t>(strlen(b))) == 0;
}

PangoFontDescription* DescriptionFromString(const string& family, int32_t size) {
  std::string text = std::string(family.ToUTF8().View()) + " " + std::to_string(size);
  return pango_font_description_from_string(text.c_str());
}

}  // namespace

int32_t GetFontFamilyCount() {
  ListFamilies();
  return sFamilyCount + 1;
}

string GetFontFamilyName(int32_t index) {
  if (index == 0) return string("System");
  ListFamilies();
  if (index < 1 || index > sFamilyCount) return string();
  return string(std::string_view(pango_font_family_get_name(sFamilies[index - 1])), kEncodingUTF8);
}

string MapSystemFontName(const string& name, bool toNative) {
  if (toNative) return name.IsEmpty() || SameName(name, "System") ? GetDefaultFontName() : name;
  return name.Compare(GetDefaultFontName()) == 0 && !name.IsEmpty() ? string("System") : name;
}

int32_t ConvertPaneFontSize(int32_t size, bool toNative) {
  if (!toNative) return size + 2;
  return size < 1 ? GetDefaultFontSize() : size - 2;
}

PangoFontDescription* MakeFontDescription(const TextStyle& style) {
  string name = MapSystemFontName(style.fontName, true);
  int32_t size = ConvertPaneFontSize(style.size, true);
  PangoFontDescription* description = nullptr;

  int32_t count = GetFontFamilyCount();
  for (int32_t i = 1; i < count && !description; ++i) {
    if (name.Compare(GetFontFamilyName(i)) != 0) continue;
    PangoFontFace** faces = nullptr;
    int faceCount = 0;
    pango_font_family_list_faces(sFamilies[i - 1], &faces, &faceCount);
    if (faceCount > 0) {
      description = pango_font_face_describe(faces[0]);
      pango_font_description_set_size(description, size * PANGO_SCALE);
    }
    g_free(faces);
    break;
  }
  if (!description) description = DescriptionFromString(name, size);
  if (!description) description = DescriptionFromString(GetDefaultFontName(), size);

  PangoContext* context = gdk_pango_context_get();
  PangoFont* font = context ? pango_context_load_font(context, description) : nullptr;
  if (font) {
    g_object_unref(font);
  } else {
    pango_font_description_free(description);
    description = DescriptionFromString(GetDefaultFontName(), size);
  }
  if (context) g_object_unref(context);

  pango_font_description_set_style(description, style.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_weight(description, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  return description;
}

void SetWidgetFont(NativeWidget widget, const TextStyle& style) {
  if (!widget) return;
  PangoFontDescription* description = MakeFontDescription(style);
  gtk_widget_modify_font(widget, description);
  pango_font_description_free(description);
  if (style.underline) UnderlineLabel(widget);
}

void UnderlineLabel(NativeWidget widget) {
  if (!widget || !GTK_IS_LABEL(widget)) return;
  const char* text = gtk_label_get_text(GTK_LABEL(widget));
  std::string pattern(text ? strlen(text) : 0, '_');
  gtk_label_set_pattern(GTK_LABEL(widget), pattern.c_str());
}

}  // namespace vorn
