#include "core/class_registration.h"

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
#include "core/system_module.h"
#include "core/thread_class.h"
#include "core/timer.h"
#include "core/tray_item.h"
#include "database/builtin_database_class.h"
#include "editfield/edit_field_class.h"
#include "editfield/styled_text_class.h"
#include "editfield/styled_text_printer.h"
#include "files/binary_stream.h"
#include "files/file_classes.h"
#include "files/text_input_stream.h"
#include "files/text_output_stream.h"
#include "listbox/listbox_class.h"
#include "graphics/graphics_object.h"
#include "graphics/object2d.h"
#include "graphics/picture_object.h"
#include "graphics/printer_setup_class.h"
#include "graphics/sound_class.h"
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
  RegisterIntrinsicClass(GetTimerClassDefinition());
  RegisterThreadClasses();
  RegisterGraphicsClass();
  RegisterPictureClasses();
  RegisterShapes2DClasses();
  RegisterIntrinsicClass(GetObjectClassDefinition());
  RegisterIntrinsicClass(GetPaneChildInterfaceDefinition());
  RegisterIntrinsicClass(GetControlClassDefinition());
  RegisterIntrinsicClass(GetRectControlClassDefinition());
  RegisterMenuClasses();
  RegisterIntrinsicClass(GetScrollBarClassDefinition());
  RegisterIntrinsicClass(GetSliderClassDefinition());
  RegisterIntrinsicClass(GetStaticTextClassDefinition());
  RegisterIntrinsicClass(GetCanvasClassDefinition());
  RegisterIntrinsicClass(GetEmbeddedWindowControlClassDefinition());
  InstallContainerControlWindowHooks();
  RegisterIntrinsicClass(GetGroupBoxClassDefinition());
  RegisterStyledTextClasses();
  RegisterIntrinsicClass(GetEditFieldClassDefinition());
  RegisterIntrinsicClass(GetStyledTextPrinterClassDefinition());
  RegisterPopupClasses();
  RegisterButtonClasses();
  RegisterMoreControlClasses();
  RegisterIntrinsicClass(GetMoviePlayerClassDefinition());
  RegisterIntrinsicClass(GetMoviePlayerActionClassDefinition());
  RegisterListboxClasses();
  RegisterIntrinsicClass(GetMovieClassDefinition());
  RegisterIntrinsicClass(GetSoundClassDefinition());
  RegisterIntrinsicClass(GetPrinterSetupClassDefinition());
  RegisterIntrinsicClass(GetScreenClassDefinition());
  RegisterIntrinsicClass(GetMDIWindowClassDefinition());
  RegisterIntrinsicClass(GetReadableInterfaceDefinition());
  RegisterIntrinsicClass(GetWriteableInterfaceDefinition());
  RegisterIntrinsicClass(GetBinaryStreamClassDefinition());
  RegisterIntrinsicClass(GetTextInputStreamClassDefinition());
  RegisterIntrinsicClass(GetTextOutputStreamClassDefinition());
  RegisterFileClasses();
  AddDatabaseBindingInterfaces(GetStringProviderInterfaceDefinition(), GetTupleInterfaceDefinition());
  RegisterFolderItemDialogClasses();
  RegisterDatabaseClasses();
  RegisterSocketClasses();
  RegisterSerialClasses();
  RegisterPointerClasses();
  RegisterDragItemClass();
  RegisterIntrinsicClass(GetTrayItemClassDefinition());
  RegisterSystemClasses();
  RegisterConsoleStreamClasses();
  RegisterIntrinsicClass(GetPollableInterfaceDefinition());
  RegisterIntrinsicClass(GetKeyboardModuleDefinition());
}

}  // namespace vorn

void RuntimeInitExternalClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  vorn::RegisterIntrinsicClasses();
}

void RuntimeInit() {
  // The image's own pending-exception word is the one its code tests after every call; nil
  // (an image without one) keeps the runtime's word.
  vorn::SetPendingExceptionSlot(reinterpret_cast<vorn::RuntimeObject**>(vorn::GetImagePendingWord()));
}

int32_t RuntimeExit() { return 0; }
