// The definition of the language's Window class: its 28 events, 40 properties, 28 methods
// and class constants, built once and registered as an intrinsic class.
#include "windows/window_class.h"

#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "vorn/drag_item_api.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define VORN_ACCESSOR(name) Fn(&name), #name

constexpr uint32_t kHiddenAlias = 0x8000;

EventRow sWindowEvents[kWindowEventCount] = {
    {0x40, "Layout", "", "", nullptr, 0},
    {0x40, "CreateControls", "", "", nullptr, 0},
    {0x40, "AddMenuHandlers", "MenuHandlerSourceWindow as Window", "", nullptr, 0},
    {0x40, "SetupBindings", "", "", nullptr, 0},
    {0, "Open", "", "", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
    {0, "CancelClose", "appQuitting as Boolean", "Boolean", nullptr, 0},
    {0, "KeyDown", "Key As String", "Boolean", nullptr, 0},
    {0, "MouseMove", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseEnter", "", "", nullptr, 0},
    {0, "MouseExit", "", "", nullptr, 0},
    {0, "Paint", "g As Graphics", "", nullptr, 0},
    {0, "MouseDown", "X As Integer, Y As Integer", "Boolean", nullptr, 0},
    {0, "MouseDrag", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseUp", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
    {0, "Resized", "", "", nullptr, 0},
    {0, "Resizing", "", "", nullptr, 0},
    {0, "Moved", "", "", nullptr, 0},
    {0, "DropObject", "obj As DragItem", "", nullptr, 0},
    {0, "Activate", "", "", nullptr, 0},
    {0, "Deactivate", "", "", nullptr, 0},
    {0, "Minimize", "", "", nullptr, 0},
    {0, "Maximize", "", "", nullptr, 0},
    {0, "Restore", "", "", nullptr, 0},
    {0, "MouseWheel", "X As Integer, Y As Integer, Delta as Integer", "Boolean", nullptr, 0},
    {0, "ConstructContextualMenu", "base as MenuItem, x as Integer, y as Integer", "Boolean", nullptr, 0},
    {0, "ContextualMenuAction", "hitItem as MenuItem", "Boolean", nullptr, 0},
};

// Members whose entry points belong to layers not built yet (menus, the Graphics
// object of a window, the application's focus and pointer conversions) are listed with nil
// functions, so the member list and every subclass's slot numbers stay as compiled code
// expects; nothing binds their names.
const PropertyRow kWindowProperties[] = {
    {0, "Visible", "b", VORN_ACCESSOR(WindowVisibleGetter), VORN_ACCESSOR(WindowVisibleSetter), 0, 0},
    {0, "Left", "i4", VORN_ACCESSOR(windowPosGetter), VORN_ACCESSOR(windowPosSetter), 0, 0},
    {0, "Top", "i4", VORN_ACCESSOR(windowPosGetter), VORN_ACCESSOR(windowPosSetter), 1, 0},
    {0, "Width", "i4", VORN_ACCESSOR(windowPosGetter), VORN_ACCESSOR(windowPosSetter), 2, 0},
    {0, "Height", "i4", VORN_ACCESSOR(windowPosGetter), VORN_ACCESSOR(windowPosSetter), 3, 0},
    {0, "Placement", "i4", VORN_ACCESSOR(windowPlacementGetter), VORN_ACCESSOR(windowPlacementSetter), 0, 0},
    {0, "Title", "s", VORN_ACCESSOR(windowTitleGetter), VORN_ACCESSOR(windowTitleSetter), 0, 0},
    {0, "FullScreen", "b", VORN_ACCESSOR(windowFullScreenGetter), VORN_ACCESSOR(windowFullScreenSetter), 0, 0},
    {0, "MenuBarVisible", "b", VORN_ACCESSOR(windowMenusVisibleGetter), VORN_ACCESSOR(windowMenusVisibleSetter), 0, 0},
    {kHiddenAlias, "CloseBox", "b", VORN_ACCESSOR(windowCloseBoxGetter), VORN_ACCESSOR(windowCloseBoxSetter), 0, 0},
    {0, "CloseButton", "b", VORN_ACCESSOR(windowCloseBoxGetter), VORN_ACCESSOR(windowCloseBoxSetter), 0, 0},
    {kHiddenAlias, "GrowIcon", "b", VORN_ACCESSOR(windowGrowIconGetter), VORN_ACCESSOR(windowGrowIconSetter), 0, 0},
    {0, "Resizeable", "b", VORN_ACCESSOR(windowGrowIconGetter), VORN_ACCESSOR(windowGrowIconSetter), 0, 0},
    {kHiddenAlias, "ZoomIcon", "b", VORN_ACCESSOR(windowZoomIconGetter), VORN_ACCESSOR(windowZoomIconSetter), 0, 0},
    {0, "MaximizeButton", "b", VORN_ACCESSOR(windowZoomIconGetter), VORN_ACCESSOR(windowZoomIconSetter), 0, 0},
    {0, "MinimizeButton", "b", VORN_ACCESSOR(boolGetter), VORN_ACCESSOR(boolSetter),
     FieldOffset(offsetof(WindowObject, minimizeButton)), 0},
    {0, "Frame", "i4", VORN_ACCESSOR(windowFrameGetter), VORN_ACCESSOR(windowFrameSetter), 0, 0},
    {2, "Composite", "b", VORN_ACCESSOR(boolGetter), VORN_ACCESSOR(boolSetter),
     FieldOffset(offsetof(WindowObject, composite)), 0},
    {0, "LiveResize", "b", VORN_ACCESSOR(windowLiveResizeGetter), VORN_ACCESSOR(windowLiveResizeSetter), 0, 0},
    {0, "Backdrop", "o<Picture>", VORN_ACCESSOR(windowBackdropGetter), VORN_ACCESSOR(windowBackdropSetter), 0, 0},
    {0, "Graphics", "o<Graphics>", VORN_ACCESSOR(windowGraphicsGetter), nullptr, nullptr, 0, 0},
    {0, "HasBackColor", "b", VORN_ACCESSOR(windowHasBackColorGetter), VORN_ACCESSOR(windowHasBackColorSetter), 0, 0},
    {0, "BackColor", "c", VORN_ACCESSOR(windowBackColorGetter), VORN_ACCESSOR(windowBackColorSetter), 0, 0},
    {0, "BalloonHelp", "s", VORN_ACCESSOR(stringGetter), VORN_ACCESSOR(windowBalloonHelpSetter),
     FieldOffset(offsetof(WindowObject, balloonHelp)), 0},
    {0, "MinWidth", "i4", VORN_ACCESSOR(windowMinMaxWidthHeightGetter), VORN_ACCESSOR(windowMinMaxWidthHeightSetter), 0, 0},
    {0, "MinHeight", "i4", VORN_ACCESSOR(windowMinMaxWidthHeightGetter), VORN_ACCESSOR(windowMinMaxWidthHeightSetter), 1, 0},
    {0, "MaxWidth", "i4", VORN_ACCESSOR(windowMinMaxWidthHeightGetter), VORN_ACCESSOR(windowMinMaxWidthHeightSetter), 2, 0},
    {0, "MaxHeight", "i4", VORN_ACCESSOR(windowMinMaxWidthHeightGetter), VORN_ACCESSOR(windowMinMaxWidthHeightSetter), 3, 0},
    {0, "MacProcId", "i4", VORN_ACCESSOR(intGetter), VORN_ACCESSOR(intSetter),
     FieldOffset(offsetof(WindowObject, macProcId)), 0},
    {0, "MouseCursor", "o<MouseCursor>", VORN_ACCESSOR(objGetter), VORN_ACCESSOR(formMouseCursorSetter),
     FieldOffset(offsetof(WindowObject, mouseCursor)), 0},
    {0, "ControlCount", "i4", VORN_ACCESSOR(windowControlCountGetter), nullptr, nullptr, 0, 0},
    {0, "FloaterProcess", "s", VORN_ACCESSOR(stringGetter), VORN_ACCESSOR(stringSetter),
     FieldOffset(offsetof(WindowObject, floaterProcess)), 0},
    {0, "MouseX", "i4", VORN_ACCESSOR(windowMouseXGetter), nullptr, nullptr, 0, 0},
    {0, "MouseY", "i4", VORN_ACCESSOR(windowMouseYGetter), nullptr, nullptr, 0, 0},
    {kHiddenAlias, "MacWindowPtr", "i4", VORN_ACCESSOR(windowWindowPtrGetter), nullptr, nullptr, 0, 0},
    {kHiddenAlias, "WinHWND", "i4", VORN_ACCESSOR(windowHWNDGetter), nullptr, nullptr, 0, 0},
    {0, "Handle", "i4", VORN_ACCESSOR(WindowHandleGetter), nullptr, nullptr, 0, 0},
    {1, "DockItem", "o<DockItem>", VORN_ACCESSOR(WindowDockItemGetter), nullptr, nullptr, 0, 0},
    {0, "MenuBar", "o<MenuBar>", VORN_ACCESSOR(WindowMenuBarGetter), VORN_ACCESSOR(WindowMenuBarSetter), 0, 0},
    {0, "Focus", "o<RectControl>", VORN_ACCESSOR(WindowFocusGetter), VORN_ACCESSOR(WindowFocusSetter), 0, 0},
};
static_assert(sizeof(kWindowProperties) / sizeof(kWindowProperties[0]) == 40);

const ParamRow kShowWithinParams[] = {{"parentWindow", "o<Window>", 0, 0},
                                      {"facing", "i4", kParamHasDefault, -1}};
const ParamRow kParentParam[] = {{"parentWindow", "o<Window>", 0, 0}};
const ParamRow kEraseParam[] = {{"eraseBackground", "b", kParamHasDefault, 1}};
const ParamRow kRefreshRectParams[] = {{"x", "i4", 0, 0},      {"y", "i4", 0, 0},
                                       {"width", "i4", 0, 0},  {"height", "i4", 0, 0},
                                       {"eraseBackground", "b", kParamHasDefault, 1}};
const ParamRow kRectParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};
const ParamRow kTypeParam[] = {{"type", "s", 0, 0}};
const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kDrawIntoParams[] = {{"g", "o<Graphics>", 0, 0}, {"x", "i4", 0, 0}, {"y", "i4", 0, 0},
                                    {"_asActive", "b", kParamHasDefault, 0}};
const ParamRow kDrawBackgroundParams[] = {{"g", "o<Graphics>", 0, 0}, {"x", "i4", 0, 0},      {"y", "i4", 0, 0},
                                          {"width", "i4", 0, 0},      {"height", "i4", 0, 0}, {"srcLeft", "i4", 0, 0},
                                          {"srcTop", "i4", 0, 0}};
const ParamRow kAddControlParams[] = {{"name", "s", 0, 0}, {"obj", "o<Object>", 0, 0}};
const ParamRow kAddMenuHandlerParams[] = {{"name", "s", 0, 0}, {"handler", "p", 0, 0}};
const ParamRow kClassParam[] = {{"classToCreate", "p", 0, 0}};
const ParamRow kMoveParams[] = {{"left", "i4", 0, 0}, {"top", "i4", 0, 0}, {"width", "i4", 0, 0}, {"height", "i4", 0, 0}};

#define VORN_METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define VORN_UNBOUND_METHOD(name, result, params, count, entry) \
  {name, result, params, count, nullptr, entry, nullptr, nullptr, 0, 0}

const MethodRow kWindowMethods[] = {
    VORN_METHOD("Show", "", nullptr, 0, RuntimeShowWindow),
    VORN_METHOD("ShowWithin", "", kShowWithinParams, 2, RuntimeShowWithinWindow),
    VORN_METHOD("ShowModalWithin", "", kParentParam, 1, RuntimeShowModalWithinWindow),
    VORN_METHOD("Hide", "", nullptr, 0, RuntimeHideWindow),
    VORN_METHOD("Close", "", nullptr, 0, RuntimeCloseWindow),
    VORN_METHOD("Refresh", "", kEraseParam, 1, formRefresh),
    VORN_METHOD("RefreshRect", "", kRefreshRectParams, 5, formRefreshRect),
    VORN_METHOD("ShowModal", "", nullptr, 0, RuntimeShowModal),
    VORN_METHOD("NewDragItem", "o<DragItem>", kRectParams, 4, formNewDragItem),
    VORN_METHOD("AcceptTextDrop", "", nullptr, 0, formAcceptTextDrop),
    VORN_METHOD("AcceptPictureDrop", "", nullptr, 0, formAcceptPictureDrop),
    VORN_METHOD("AcceptFileDrop", "", kTypeParam, 1, formAcceptFileDrop),
    {"AcceptMacDataDrop", "", kTypeParam, 1, Fn(&formAcceptMacDataDrop), "formAcceptMacDataDrop", nullptr, nullptr,
     kHiddenAlias, 0},
    VORN_METHOD("AcceptRawDataDrop", "", kTypeParam, 1, formAcceptMacDataDrop),
    VORN_METHOD("Control", "o<Control>", kIndexParam, 1, windowControl),
    VORN_METHOD("SetFocus", "", nullptr, 0, formSetFocus),
    VORN_METHOD("DrawInto", "", kDrawIntoParams, 4, formDrawInto),
    VORN_METHOD("_DrawBackground", "", kDrawBackgroundParams, 7, formDrawBackground),
    VORN_METHOD("UpdateNow", "", nullptr, 0, WindowForceUpdateFrontBuffer),
    VORN_METHOD("_AddControl", "", kAddControlParams, 2, WindowAddControl),
    VORN_METHOD("_AddMenuHandler", "", kAddMenuHandlerParams, 2, WindowAddMenuHandler),
    VORN_METHOD("Window", "", nullptr, 0, WindowDefaultConstructor),
    VORN_METHOD("Operator_Convert", "p", nullptr, 0, WindowToWindowPtr),
    VORN_METHOD("__New", "o<Object>", kClassParam, 1, WindowAllocateObject),
    VORN_METHOD("_Move", "", kMoveParams, 4, WindowMove),
    VORN_METHOD("Maximize", "", nullptr, 0, WindowMaximize),
    VORN_METHOD("Minimize", "", nullptr, 0, WindowMinimize),
    VORN_METHOD("Restore", "", nullptr, 0, WindowRestore),
};
static_assert(sizeof(kWindowMethods) / sizeof(kWindowMethods[0]) == 28);

const ConstantRow kWindowConstants[] = {
    {"FrameTypeDocument", "0"},       {"FrameTypeMovableModal", "1"},   {"FrameTypeModal", "2"},
    {"FrameTypeFloating", "3"},       {"FrameTypePlain", "4"},          {"FrameTypeShadowed", "5"},
    {"FrameTypeRounded", "6"},        {"FrameTypeGlobalFloating", "7"}, {"FrameTypeSheet", "8"},
    {"FrameTypeMetal", "9"},          {"FrameTypeDrawer", "10"},        {"PlacementDefault", "0"},
    {"PlacementParent", "1"},         {"PlacementMainScreen", "2"},     {"PlacementParentScreen", "3"},
    {"PlacementStagger", "4"},        {"PlacementDrawerTopLeft", "0"},  {"PlacementDrawerCenter", "1"},
    {"PlacementDrawerBottomRight", "2"}, {"ShowWithinDefault", "-1"},   {"ShowWithinTop", "0"},
    {"ShowWithinBottom", "1"},        {"ShowWithinRight", "2"},         {"ShowWithinLeft", "3"},
};

#undef VORN_METHOD
#undef VORN_UNBOUND_METHOD
#undef VORN_ACCESSOR

}  // namespace

ObjectDefinition* GetWindowClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    BeginClassDefinition(&definition, kWindowConstants,
                         static_cast<int32_t>(sizeof(kWindowConstants) / sizeof(kWindowConstants[0])));
    definition.mName = string("Window");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(WindowObject));
    definition.mInitializer = {Fn(&RuntimeCreateWindow), "RuntimeCreateWindow"};
    definition.mFinalizer = {Fn(&RuntimeViewDestructor), "RuntimeViewDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kWindowProperties, 40));
    SetEventList(&definition, sWindowEvents, kWindowEventCount);
    SetMethodList(&definition, kWindowMethods, 28);
  }
  return &definition;
}

const ObjectHook* WindowEventHook(WindowEvent event) {
  GetWindowClassDefinition();
  if (event < 0 || event >= kWindowEventCount) return nullptr;
  return sWindowEvents[event].hook;
}

bool IsWindowObject(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetWindowClassDefinition());
}

void RegisterWindowClass() { RegisterIntrinsicClass("Window", &GetWindowClassDefinition); }

}  // namespace vorn

static_assert(sizeof(vorn::WindowObject) == VORN_WINDOW_INSTANCE_SIZE,
              "window_api.h must state the Window object's size");
