// The class table of the language's Graphics class. Members come in the order the language
// declares them; the property order is the accessor index packed property streams use.
#include "graphics/graphics_object.h"
#include "objects/class_registry.h"
#include "vorn/graphics_api.h"
#include "vorn/shapes_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr ParamRow kRectParams[] = {
    {"x", "i4", 0, 0}, {"y", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};
constexpr ParamRow kLineParams[] = {{"x1", "i4", 0, 0}, {"y1", "i4", 0, 0}, {"x2", "i4", 0, 0}, {"y2", "i4", 0, 0}};
constexpr ParamRow kRoundRectParams[] = {{"x", "i4", 0, 0},     {"y", "i4", 0, 0},
                                         {"width", "i4", 0, 0}, {"height", "i4", 0, 0},
                                         {"arcWidth", "i4", 0, 0}, {"arcHeight", "i4", 0, 0}};
constexpr ParamRow kDrawStringParams[] = {{"str", "s", 0, 0},
                                          {"x", "i4", 0, 0},
                                          {"y", "i4", 0, 0},
                                          {"width", "i4", kParamHasDefault, 0},
                                          {"condense", "b", kParamHasDefault, 0}};
constexpr ParamRow kTextParams[] = {{"Text", "s", 0, 0}};
constexpr ParamRow kStringHeightParams[] = {{"Text", "s", 0, 0}, {"WrapWidth", "i4", 0, 0}};
constexpr ParamRow kPointParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}};

constexpr ParamRow kPolygonParams[] = {{"points", "A1i4", 0, 0}};
constexpr ParamRow kDrawPictureParams[] = {{"image", "o<Picture>", 0, 0},
                                           {"x", "i4", 0, 0},
                                           {"y", "i4", 0, 0},
                                           {"w1", "i4", kParamHasDefault, -10000},
                                           {"h1", "i4", kParamHasDefault, -10000},
                                           {"sx", "i4", kParamHasDefault, 0},
                                           {"sy", "i4", kParamHasDefault, 0},
                                           {"w2", "i4", kParamHasDefault, -10000},
                                           {"h2", "i4", kParamHasDefault, -10000}};

constexpr ParamRow kDrawObjectParams[] = {{"object2D", "o<Object2D>", 0, 0},
                                          {"deltaX", "i4", kParamHasDefault, 0},
                                          {"deltaY", "i4", kParamHasDefault, 0}};

const MethodRow kMethods[] = {
    {"ClearRect", "", kRectParams, 4, Fn(&RuntimeGraphicsClearRect), "RuntimeGraphicsClearRect", nullptr, nullptr, 0, 0},
    {"DrawLine", "", kLineParams, 4, Fn(&RuntimeGraphicsDrawLine), "RuntimeGraphicsDrawLine", nullptr, nullptr, 0, 0},
    {"DrawOval", "", kRectParams, 4, Fn(&RuntimeGraphicsDrawOval), "RuntimeGraphicsDrawOval", nullptr, nullptr, 0, 0},
    {"DrawRect", "", kRectParams, 4, Fn(&RuntimeGraphicsDrawRect), "RuntimeGraphicsDrawRect", nullptr, nullptr, 0, 0},
    {"DrawRoundRect", "", kRoundRectParams, 6, Fn(&RuntimeGraphicsDrawRoundRect), "RuntimeGraphicsDrawRoundRect",
     nullptr, nullptr, 0, 0},
    {"FillOval", "", kRectParams, 4, Fn(&RuntimeGraphicsFillOval), "RuntimeGraphicsFillOval", nullptr, nullptr, 0, 0},
    {"FillRect", "", kRectParams, 4, Fn(&RuntimeGraphicsFillRect), "RuntimeGraphicsFillRect", nullptr, nullptr, 0, 0},
    {"FillRoundRect", "", kRoundRectParams, 6, Fn(&RuntimeGraphicsFillRoundRect), "RuntimeGraphicsFillRoundRect",
     nullptr, nullptr, 0, 0},
    {"DrawPicture", "", kDrawPictureParams, 9, Fn(&RuntimeGraphicsDrawPicture), "RuntimeGraphicsDrawPicture", nullptr,
     nullptr, 0, 0},
    {"DrawString", "", kDrawStringParams, 5, Fn(&RuntimeGraphicsDrawStringCondensed),
     "RuntimeGraphicsDrawStringCondensed", nullptr, nullptr, 0, 0},
    {"DrawObject", "", kDrawObjectParams, 3, Fn(&RuntimeGraphicsDrawObjectXY), "RuntimeGraphicsDrawObjectXY",
     nullptr, nullptr, 0, 0},
    {"StringWidth", "i4", kTextParams, 1, Fn(&RuntimeGraphicsStringWidth), "RuntimeGraphicsStringWidth", nullptr,
     nullptr, 0, 0},
    {"StringHeight", "i4", kStringHeightParams, 2, Fn(&RuntimeGraphicsStringHeight), "RuntimeGraphicsStringHeight",
     nullptr, nullptr, 0, 0},
    {"StringDirection", "i4", kTextParams, 1, Fn(&RuntimeGraphicsStringDirection), "RuntimeGraphicsStringDirection",
     nullptr, nullptr, 0, 0},
    {"TextHeight", "i4", nullptr, 0, Fn(&RuntimeGraphicsTextHeight), "RuntimeGraphicsTextHeight", nullptr, nullptr, 0,
     0},
    {"TextAscent", "i4", nullptr, 0, Fn(&RuntimeGraphicsTextAscent), "RuntimeGraphicsTextAscent", nullptr, nullptr, 0,
     0},
    {"NextPage", "", nullptr, 0, Fn(&RuntimeGraphicsNextPage), "RuntimeGraphicsNextPage", nullptr, nullptr, 0, 0},
    {"DrawStopIcon", "", kPointParams, 2, Fn(&graphicsDrawStopIcon), "graphicsDrawStopIcon", nullptr, nullptr, 0, 0},
    {"DrawNoteIcon", "", kPointParams, 2, Fn(&graphicsDrawNoteIcon), "graphicsDrawNoteIcon", nullptr, nullptr, 0, 0},
    {"DrawCautionIcon", "", kPointParams, 2, Fn(&graphicsDrawCautionIcon), "graphicsDrawCautionIcon", nullptr,
     nullptr, 0, 0},
    {"Pixel", "c", kPointParams, 2, Fn(&graphicsPixelGetter), "graphicsPixelGetter", Fn(&graphicsPixelSetter),
     "graphicsPixelSetter", 0, 0},
    {"DrawPolygon", "", kPolygonParams, 1, Fn(&graphicsDrawPolygon), "graphicsDrawPolygon", nullptr, nullptr, 0, 0},
    {"FillPolygon", "", kPolygonParams, 1, Fn(&graphicsFillPolygon), "graphicsFillPolygon", nullptr, nullptr, 0, 0},
    {"_DrawFocusRing", "", kRectParams, 4, Fn(&RuntimeGraphicsDrawFocusRing), "RuntimeGraphicsDrawFocusRing", nullptr,
     nullptr, 0, 0},
};

#define VORN_PROPERTY(name, type, getter, setter)                                                           \
  {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, 0, 0}
#define VORN_READ_ONLY(name, type, getter) {0, name, type, Fn(&getter), #getter, nullptr, nullptr, 0, 0}

const PropertyRow kProperties[] = {
    VORN_PROPERTY("ForeColor", "c", graphicsForeColorGetter, graphicsForeColorSetter),
    VORN_READ_ONLY("Width", "i4", graphicsWidthGetter),
    VORN_READ_ONLY("Height", "i4", graphicsHeightGetter),
    VORN_PROPERTY("TextFont", "s", graphicsTextFontGetter, graphicsTextFontSetter),
    VORN_PROPERTY("TextSize", "i4", graphicsTextSizeGetter, graphicsTextSizeSetter),
    VORN_READ_ONLY("Copies", "i4", graphicsCopiesGetter),
    VORN_READ_ONLY("FirstPage", "i4", graphicsFirstPageGetter),
    VORN_READ_ONLY("LastPage", "i4", graphicsLastPageGetter),
    VORN_PROPERTY("Bold", "b", graphicsBoldGetter, graphicsBoldSetter),
    VORN_PROPERTY("Italic", "b", graphicsItalicGetter, graphicsItalicSetter),
    VORN_PROPERTY("Underline", "b", graphicsUnderlineGetter, graphicsUnderlineSetter),
    VORN_PROPERTY("PenWidth", "i4", graphicsPenWidthGetter, graphicsPenWidthSetter),
    VORN_PROPERTY("PenHeight", "i4", graphicsPenHeightGetter, graphicsPenHeightSetter),
    VORN_PROPERTY("UseOldRenderer", "b", graphicsUseOldRendererGetter, graphicsUseOldRendererSetter),
};

#undef VORN_PROPERTY
#undef VORN_READ_ONLY

constexpr ConstantRow kConstants[] = {
    {"TextDirectionUnknown", "-1"},
    {"TextDirectionLeftToRight", "0"},
    {"TextDirectionRightToLeft", "1"},
};

}  // namespace

ObjectDefinition* GetGraphicsClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    BeginClassDefinition(&definition, kConstants, RowCount(kConstants));
    definition.mInstanceSize = static_cast<int32_t>(sizeof(GraphicsObject));
    definition.mFinalizer = {Fn(&RuntimeGraphicsDestructor), "RuntimeGraphicsDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
    // Method signatures name the class, so the name comes before the methods; it also marks
    // the definition as built.
    definition.mName = string("Graphics");
    SetMethodList(&definition, kMethods, RowCount(kMethods));
  }
  return &definition;
}

void RegisterGraphicsClass() { RegisterIntrinsicClass("Graphics", &GetGraphicsClassDefinition); }

}  // namespace vorn
