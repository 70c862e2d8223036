#include "startup/class_registration.h"

#include <cstdint>

#include "controls/binding_interfaces.h"
#include "controls/button_classes.h"
#include "controls/canvas_class.h"
#include "controls/embedded_window_control.h"
#include "controls/group_box_class.h"
#include "controls/movie_classes.h"
#include "controls/more_control_classes.h"
#include "controls/popup_class.h"
#include "controls/scroller_class.h"
#include "controls/static_text_class.h"
#include "core/application.h"
#include "core/application_members.h"
#include "core/console_streams.h"
#include "core/image_loader.h"
#include "core/plugin_loader.h"
#include "core/system_module.h"
#include "core/thread_class.h"
#include "core/timer.h"
#include "core/tray_item.h"
#include "database/builtin_database_class.h"
#include "datacontrols/data_control_object.h"
#include "datacontrols/database_query.h"
#include "datacontrols/scrollable_cursor.h"
#include "editfield/edit_field_binding.h"
#include "editfield/edit_field_class.h"
#include "editfield/styled_text_class.h"
#include "editfield/styled_text_printer.h"
#include "files/binary_stream.h"
#include "files/file_classes.h"
#include "files/folder_item_class.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "listbox/listbox_class.h"
#include "graphics/graphics_object.h"
#include "graphics/object2d.h"
#include "graphics/picture_object.h"
#include "graphics/printer_setup_class.h"
#include "graphics/sound_class.h"
#include "net/debug_session.h"
#include "net/network_classes.h"
#include "net/serial_class.h"
#include "net/socket_classes.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/stream_interfaces.h"
#include "objects/value_classes.h"
#include "windows/control.h"
#include "windows/drag_item.h"
#include "windows/folder_item_dialog.h"
#include "windows/mdi_window.h"
#include "windows/rect_control.h"
#include "windows/menu_routing.h"
#include "windows/mouse_cursor_class.h"
#include "windows/screen_class.h"
#include "windows/keyboard_module.h"

namespace vorn {

void RegisterIntrinsicClasses() {
  RegisterExceptionClasses();
  RegisterValueClasses();
  RegisterDataBindingClasses();
  RegisterApplicationClasses();
  RegisterIntrinsicClass("Timer", &GetTimerClassDefinition);
  RegisterThreadClasses();
  RegisterGraphicsClass();
  RegisterPictureClasses();
  RegisterShapes2DClasses();
  RegisterIntrinsicClass("Object", &GetObjectClassDefinition);
  RegisterIntrinsicClass("_PaneChild", &GetPaneChildInterfaceDefinition);
  RegisterIntrinsicClass("Control", &GetControlClassDefinition);
  RegisterIntrinsicClass("RectControl", &GetRectControlClassDefinition);
  RegisterMenuClasses();
  RegisterIntrinsicClass("ScrollBar", &GetScrollBarClassDefinition);
  RegisterIntrinsicClass("Slider", &GetSliderClassDefinition);
  RegisterIntrinsicClass("StaticText", &GetStaticTextClassDefinition);
  RegisterIntrinsicClass("Canvas", &GetCanvasClassDefinition);
  RegisterIntrinsicClass("EmbeddedWindowControl", &GetEmbeddedWindowControlClassDefinition);
  InstallContainerControlWindowHooks();
  RegisterIntrinsicClass("GroupBox", &GetGroupBoxClassDefinition);
  RegisterStyledTextClasses();
  RegisterIntrinsicClass("EditField", &GetEditFieldClassDefinition);
  RegisterIntrinsicClass("StyledTextPrinter", &GetStyledTextPrinterClassDefinition);
  RegisterPopupClasses();
  RegisterButtonClasses();
  RegisterMoreControlClasses();
  RegisterIntrinsicClass("MoviePlayer", &GetMoviePlayerClassDefinition);
  RegisterIntrinsicClass("MoviePlayerAction", &GetMoviePlayerActionClassDefinition);
  RegisterListboxClasses();
  RegisterIntrinsicClass("Movie", &GetMovieClassDefinition);
  RegisterIntrinsicClass("Sound", &GetSoundClassDefinition);
  RegisterIntrinsicClass("PrinterSetup", &GetPrinterSetupClassDefinition);
  RegisterIntrinsicClass("Screen", &GetScreenClassDefinition);
  RegisterIntrinsicClass("MDIWindow", &GetMDIWindowClassDefinition);
  RegisterIntrinsicClass("Readable", &GetReadableInterfaceDefinition);
  RegisterIntrinsicClass("Writeable", &GetWriteableInterfaceDefinition);
  RegisterIntrinsicClass("BinaryStream", &GetBinaryStreamClassDefinition);
  RegisterIntrinsicClass("TextInputStream", &GetTextInputStreamClassDefinition);
  RegisterIntrinsicClass("TextOutputStream", &GetTextOutputStreamClassDefinition);
  RegisterFileClasses();
  // The Application's document events hand over FolderItems of the files room.
  SetDocumentItemFactory(&NewDocumentFolderItem);
  AddDatabaseBindingInterfaces(GetStringProviderInterfaceDefinition(), GetTupleInterfaceDefinition());
  RegisterFolderItemDialogClasses();
  RegisterDatabaseClasses();
  RegisterIntrinsicClass("ScrollableCursor", &GetScrollableCursorClassDefinition);
  RegisterIntrinsicClass("DatabaseQuery", &GetDatabaseQueryClassDefinition);
  RegisterIntrinsicClass("DataControl", &GetDataControlClassDefinition);
  RegisterIntrinsicClass("DataControlAction", &GetDataControlActionClassDefinition);
  InstallDataControlHooks();
  InstallEditFieldBindingHook();
  RegisterSocketClasses();
  RegisterSerialClasses();
  RegisterPointerClasses();
  RegisterDragItemClass();
  RegisterIntrinsicClass("TrayItem", &GetTrayItemClassDefinition);
  RegisterNetworkClasses();
  RegisterSystemClasses();
  RegisterConsoleStreamClasses();
  RegisterIntrinsicClass("_Pollable", &GetPollableInterfaceDefinition);
  RegisterIntrinsicClass(GetKeyboardModuleDefinition());
}

}  // namespace vorn

void RuntimeInitExternalClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  vorn::RegisterIntrinsicClasses();
  // Last: plug-in classes may build on any intrinsic one.
  vorn::LoadImagePlugins();
}

void RuntimeInit() {
  // The image's own pending-exception word is the one its code tests after every call; nil
  // (an image without one) keeps the runtime's word.
  vorn::SetPendingExceptionSlot(reinterpret_cast<vorn::RuntimeObject**>(vorn::GetImagePendingWord()));
}

int32_t RuntimeExit() { return 0; }

// A debug build's image starts here instead: the debug session learns it runs one.
void DebugRuntimeInit(void) {
  vorn::DebugSession().debugRuntime = true;
  RuntimeInit();
}
