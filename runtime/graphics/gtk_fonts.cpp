// Font families offered to the language, the logical "System" font and Pango descriptions
// built from the runtime's text styles.
#include "graphics/gtk_fonts.h"

#include <gtk/gtk.h>
#include <hb.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-font.h>

#include <cstring>
#include <map>
#include <string>

#include "strings/case_table.h"

namespace vorn {

namespace {

// Made on first use and never destroyed: at exit the strings room's list of static string
// ranges goes before this room's globals would, and releasing a string reads that list.
string& DefaultFontName() {
  static auto* name = new string("Sans");
  return *name;
}
int32_t sDefaultFontSize = 10;

// The families are listed once, on first use with a display; a later font installation is
// not seen.
struct FamilyList {
  PangoFontFamily** families = nullptr;
  int count = 0;
  bool listed = false;
};

FamilyList& Families() {
  static FamilyList list;
  if (list.listed) return list;
  if (gdk_screen_get_default()) {
    PangoContext* context = NewScreenTextContext();
    pango_context_list_families(context, &list.families, &list.count);
    g_object_unref(context);
  } else {
    // A console program without a display still sees the fonts it can draw into pictures.
    pango_font_map_list_families(pango_cairo_font_map_get_default(), &list.families, &list.count);
  }
  list.listed = true;
  return list;
}

PangoContext* LoadingContext() {
  static PangoContext* context = nullptr;
  if (!context && gdk_screen_get_default()) context = NewScreenTextContext();
  return context;
}

bool SameName(const string& a, const char* b) {
  return CompareBytesNoCase(a.CString(), a.Length(), b, static_cast<int32_t>(strlen(b))) == 0;
}

PangoFontDescription* DescriptionFromString(const string& family, int32_t size) {
  std::string text(family.ToUTF8().View());
  text += ' ';
  text += std::to_string(size);
  return pango_font_description_from_string(text.c_str());
}

PangoFontDescription* BuildUncached(const string& nativeName, int32_t size, bool bold, bool italic) {
  PangoFontDescription* description = nullptr;
  // The desktop's own font needs no checking, and checking it would list every family and
  // load a font before the first window can open.
  if (nativeName.Compare(GetDefaultFontName()) == 0) {
    description = DescriptionFromString(nativeName, size);
    pango_font_description_set_style(description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_weight(description, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return description;
  }
  FamilyList& list = Families();
  for (int i = 0; i < list.count && !description; ++i) {
    const char* familyName = pango_font_family_get_name(list.families[i]);
    if (string(familyName, kEncodingUTF8).Compare(nativeName) != 0) continue;
    PangoFontFace** faces = nullptr;
    int faceCount = 0;
    pango_font_family_list_faces(list.families[i], &faces, &faceCount);
    if (faceCount > 0) {
      description = pango_font_face_describe(faces[0]);
      pango_font_description_set_size(description, size * PANGO_SCALE);
    }
    g_free(faces);
    break;
  }
  if (!description) description = DescriptionFromString(nativeName, size);
  if (!description) description = DescriptionFromString(GetDefaultFontName(), size);

  if (PangoContext* context = LoadingContext()) {
    PangoFont* font = pango_context_load_font(context, description);
    if (font) {
      g_object_unref(font);
    } else {
      pango_font_description_free(description);
      description = DescriptionFromString(GetDefaultFontName(), size);
    }
  }
  pango_font_description_set_style(description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_weight(description, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  return description;
}

}  // namespace

const string& GetDefaultFontName() { return DefaultFontName(); }
int32_t GetDefaultFontSize() { return sDefaultFontSize; }

void SetDefaultFont(const string& name, int32_t size) {
  DefaultFontName() = name.IsEmpty() ? string("Sans") : name;
  sDefaultFontSize = size < 1 ? 10 : size;
}

PangoContext* NewScreenTextContext() {
  PangoContext* context = gdk_pango_context_get();
  pango_context_set_language(context, gtk_get_default_language());
  return context;
}

void StartLoadingFonts() { pango_cairo_font_map_get_default(); }

int32_t GetFontFamilyCount() { return Families().count + 1; }

string GetFontFamilyName(int32_t index) {
  if (index == 0) return string("System");
  FamilyList& list = Families();
  if (index < 1 || index > list.count) return string();
  return string(std::string_view(pango_font_family_get_name(list.families[index - 1])), kEncodingUTF8);
}

string MapSystemFontName(const string& name, bool toNative) {
  if (toNative) return name.IsEmpty() || SameName(name, "System") ? GetDefaultFontName() : name;
  return name.Compare(GetDefaultFontName()) == 0 && !name.IsEmpty() ? string("System") : name;
}

int32_t ConvertPaneFontSize(int32_t size, bool toNative) {
  if (!toNative) return size + 2;
  if (size < 1) return GetDefaultFontSize();
  // Sizes 1 and 2 would reach Pango as nothing at all.
  return size > 3 ? size - 2 : 1;
}

PangoFontDescription* MakeFontDescription(const TextStyle& style) {
  const string nativeName = MapSystemFontName(style.mFontName, true).ToUTF8();
  const int32_t size = ConvertPaneFontSize(style.mSize, true);
  const bool bold = style.mBold != 0;
  const bool italic = style.mItalic != 0;

  // Building means listing faces and loading a font; ports change fonts often (every label
  // style), so each description is built once and copied.
  static std::map<std::string, PangoFontDescription*> cache;
  std::string key(nativeName.View());
  key += '\n';
  key += std::to_string(size);
  key += bold ? 'b' : '-';
  key += italic ? 'i' : '-';
  auto found = cache.find(key);
  if (found == cache.end()) {
    found = cache.emplace(key, BuildUncached(nativeName, size, bold, italic)).first;
  }
  return pango_font_description_copy(found->second);
}

void SetWidgetFont(GtkWidget* widget, const TextStyle& style) {
  if (!widget) return;
  PangoFontDescription* description = MakeFontDescription(style);
  gtk_widget_modify_font(widget, description);
  pango_font_description_free(description);
  if (style.mUnderline) UnderlineLabel(widget);
}

void UnderlineLabel(GtkWidget* widget) {
  if (!widget || !GTK_IS_LABEL(widget)) return;
  const char* text = gtk_label_get_text(GTK_LABEL(widget));
  std::string pattern(text ? strlen(text) : 0, '_');
  gtk_label_set_pattern(GTK_LABEL(widget), pattern.c_str());
}

// pango_font_get_metrics also lays out a sample sentence for the average character widths, with
// a fontset and a shaping of its own: a millisecond or more per font, paid at a window's first
// drawing. For horizontal text Pango takes the ascent and descent from the font's extents,
// rounded up to whole pixels for a hinted font; any other font goes through Pango.
void GetFontAscentDescent(PangoFont* font, int32_t* ascent, int32_t* descent) {
  if (PANGO_IS_FC_FONT(font)) {
    PangoFcFont* fcFont = PANGO_FC_FONT(font);
    PangoFontDescription* described = pango_font_describe(font);
    const PangoGravity gravity = pango_font_description_get_gravity(described);
    pango_font_description_free(described);
    FcMatrix* matrix = nullptr;
    if (fcFont->is_hinted && (gravity == PANGO_GRAVITY_SOUTH || gravity == PANGO_GRAVITY_AUTO) &&
        FcPatternGetMatrix(fcFont->font_pattern, FC_MATRIX, 0, &matrix) != FcResultMatch) {
      hb_font_extents_t extents;
      hb_font_get_extents_for_direction(pango_font_get_hb_font(font), HB_DIRECTION_LTR, &extents);
      *ascent = PANGO_UNITS_CEIL(extents.ascender);
      *descent = PANGO_UNITS_CEIL(-extents.descender);
      return;
    }
  }
  PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
  *ascent = pango_font_metrics_get_ascent(metrics);
  *descent = pango_font_metrics_get_descent(metrics);
  pango_font_metrics_unref(metrics);
}

}  // namespace vorn
