#include "core/application.h"

#include <cstddef>
#include <cstdio>

#include "core/run_loop.h"
#include "base/startup.h"
#include "core/tray_item.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/string_map.h"

namespace vorn {

namespace {

RuntimeObject* sApplication = nullptr;
RuntimeObject* sConsoleApplication = nullptr;
DocumentItemFactory sDocumentItemFactory = nullptr;
GUIApplicationCheck sGUIApplicationCheck = nullptr;
UnhandledExceptionPresenter sPresenter = nullptr;
bool sInUnhandledExceptionEvent = false;

enum ApplicationEvent {
  kOpen,
  kOpenDocument,
  kNewDocument,
  kEnableMenuItems,
  kUnhandledException,
  kCancelClose,
  kClose,
  kApplicationEventCount
};

EventRow sApplicationEvents[kApplicationEventCount] = {
    {0, "Open", "", "", nullptr, 0},
    {0, "OpenDocument", "item As FolderItem", "", nullptr, 0},
    {0, "NewDocument", "", "", nullptr, 0},
    {0, "EnableMenuItems", "", "", nullptr, 0},
    {0, "UnhandledException", "error As RuntimeException", "Boolean", nullptr, 0},
    {0, "CancelClose", "", "Boolean", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
};

const PropertyRow kApplicationProperties[] = {
    {0, "AutoQuit", "b", reinterpret_cast<void*>(&boolGetter), "boolGetter",
     reinterpret_cast<void*>(&boolSetter), "boolSetter",
     static_cast<int32_t>(offsetof(ApplicationObject, autoQuit)), 0},
};

const ObjectHook* Hook(ApplicationEvent event) {
  GetApplicationClassDefinition();
  return sApplicationEvents[event].hook;
}

ApplicationObject* AsApplication(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetApplicationClassDefinition())
             ? reinterpret_cast<ApplicationObject*>(object)
             : nullptr;
}

bool ApplicationAutoQuit() {
  ApplicationObject* app = AsApplication(sApplication);
  return app && app->autoQuit != 0;
}

void QuitRegisteredApplication() { ApplicationQuit(sApplication, 0, 0); }

void ReleaseRegisteredApplication() {
  RuntimeObject* app = sApplication;
  sApplication = nullptr;
  RuntimeUnlockObject(app);
}

void StoreApplication(RuntimeObject* app) {
  RuntimeObject* previous = sApplication;
  sApplication = app;
  if (previous != app) RuntimeUnlockObject(previous);
  ApplicationHooks hooks;
  hooks.autoQuit = &ApplicationAutoQuit;
  hooks.quit = &QuitRegisteredApplication;
  hooks.release = &ReleaseRegisteredApplication;
  SetApplicationHooks(hooks);
}

// Open, then OpenDocument once per command-line argument, or NewDocument when there is none.
void OpenApplication() {
  RuntimeObject* app = sApplication;
  if (app == nullptr) return;
  RuntimeLockObject(app);  // an event may release the registration
  FireEvent(app, Hook(kOpen));
  if (gArgc > 1) {
    if (void* handler = RuntimeGetHookHandler(app, Hook(kOpenDocument))) {
      for (int32_t i = 1; i < gArgc && gArgv && gArgv[i]; ++i) {
        RuntimeObject* item =
            sDocumentItemFactory ? sDocumentItemFactory(string(gArgv[i])) : nullptr;
        CallEventHandler<void, RuntimeObject*>(handler, app, item);
        RuntimeUnlockObject(item);
      }
    }
  } else {
    ApplicationNewDocument(app);
  }
  RuntimeUnlockObject(app);
}

void PresentOnStandardError(const string& message, const string& explanation) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(message.Length()), message.CString());
  if (!explanation.IsEmpty()) {
    // The explanation separates its lines with carriage returns, as the dialog shows them.
    std::string text(explanation.View());
    for (char& c : text) {
      if (c == '\r') c = '\n';
    }
    if (text.back() != '\n') text += '\n';
    std::fputs(text.c_str(), stderr);
  }
  std::fflush(stderr);
}

bool IsEndException(RuntimeObject* exception) {
  return RuntimeObjectIsaDefinition(exception, GetEndExceptionClassDefinition());
}

ObjectDefinition* BuildApplicationDefinition(ObjectDefinition& definition) {
  definition.mName = string("Application");
  definition.mInstanceSize = static_cast<int32_t>(sizeof(ApplicationObject));
  definition.mInitializer = {reinterpret_cast<void*>(&ApplicationInitializer),
                             "ApplicationInitializer"};
  definition.mFinalizer = {reinterpret_cast<void*>(&ApplicationFinalizer), "ApplicationFinalizer"};
  definition.SetInstanceVariables(BuildPropertyList(
      kApplicationProperties, static_cast<int32_t>(std::size(kApplicationProperties))));
  SetEventList(&definition, sApplicationEvents, kApplicationEventCount);
  return &definition;
}

}  // namespace

ObjectDefinition* GetApplicationClassDefinition() {
  static ObjectDefinition* definition = BuildApplicationDefinition(*new ObjectDefinition());
  return definition;
}

ObjectDefinition* GetConsoleApplicationClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("ConsoleApplication");
    d->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    d->mInitializer = {reinterpret_cast<void*>(&ConsoleApplicationInitializer),
                       "ConsoleApplicationInitializer"};
    return d;
  }();
  return definition;
}

ObjectDefinition* GetServiceApplicationClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("ServiceApplication");
    d->mSuper = GetConsoleApplicationClassDefinition();
    d->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    return d;
  }();
  return definition;
}

void RegisterApplicationClasses() {
  RegisterIntrinsicClass("ConsoleApplication", &GetConsoleApplicationClassDefinition);
  RegisterIntrinsicClass("ServiceApplication", &GetServiceApplicationClassDefinition);
  RegisterIntrinsicClass("Application", &GetApplicationClassDefinition);
}

RuntimeObject* GetApplicationObject() { return sApplication; }

void FireOpenDocument(RuntimeObject* app, RuntimeObject* item) {
  if (app) FireEvent<void, RuntimeObject*>(app, Hook(kOpenDocument), item);
}
RuntimeObject* GetConsoleApplicationObject() { return sConsoleApplication; }

void RegisterConsoleApplicationObject(RuntimeObject* app) {
  RuntimeObject* previous = sConsoleApplication;
  RuntimeLockObject(app);
  sConsoleApplication = app;
  RuntimeUnlockObject(previous);
}

void SetGUIApplicationCheck(GUIApplicationCheck check) { sGUIApplicationCheck = check; }

DocumentItemFactory SetDocumentItemFactory(DocumentItemFactory factory) {
  DocumentItemFactory previous = sDocumentItemFactory;
  sDocumentItemFactory = factory;
  return previous;
}

UnhandledExceptionPresenter SetUnhandledExceptionPresenter(UnhandledExceptionPresenter presenter) {
  UnhandledExceptionPresenter previous = sPresenter;
  sPresenter = presenter;
  return previous;
}

bool FireUnhandledExceptionEvent(RuntimeObject* exception) {
  if (exception == nullptr || IsEndException(exception) || sApplication == nullptr) return false;
  // An exception escaping the handler itself must not offer itself to the handler again.
  if (sInUnhandledExceptionEvent) return false;
  sInUnhandledExceptionEvent = true;
  bool handled = FireEvent<uint8_t, RuntimeObject*>(sApplication, Hook(kUnhandledException),
                                                    exception) != 0;
  sInUnhandledExceptionEvent = false;
  return handled;
}

void UnhandledExceptionHook(RuntimeObject* exception) {
  if (FireUnhandledExceptionEvent(exception) || GetQuitFlag()) return;
  ReportUnhandledException(exception);
}

string UnhandledExceptionMessage(RuntimeObject* exception) {
  std::string text = "An exception of class %1 was not handled.  The application must shut down.";
  std::string className(ClassOf(exception) ? ClassOf(exception)->mName.View() : "");
  for (size_t at = text.find("%1"); at != std::string::npos; at = text.find("%1", at + className.size())) {
    text.replace(at, 2, className);
  }
  return string(std::string_view(text), kEncodingUTF8);
}

string UnhandledExceptionExplanation(RuntimeObject* exception) {
  std::string text;
  string message = ExceptionMessage(exception);
  if (!message.IsEmpty()) {
    text += "Exception Message: ";
    text += ConvertTextEncoding(message, kEncodingUTF8).View();
    text += '\r';
  }
  if (int32_t number = ExceptionErrorNumber(exception); number != 0) {
    text += "Exception Error Number: " + std::to_string(number);
  }
  return string(std::string_view(text), kEncodingUTF8);
}

void ReportUnhandledException(RuntimeObject* exception) {
  if (IsEndException(exception)) {
    CloseAllRuntimeWindows();
    RequestQuit();
    return;
  }
  (sPresenter ? sPresenter : &PresentOnStandardError)(UnhandledExceptionMessage(exception),
                                                      UnhandledExceptionExplanation(exception));
  RequestQuit();
}

}  // namespace vorn

using namespace vorn;

void ApplicationInitializer(VornRuntimeObject*) {}
void ApplicationFinalizer(VornRuntimeObject* object) {
  auto* app = reinterpret_cast<ApplicationObject*>(object);
  RuntimeObject* menuBar = app->menuBar;
  app->menuBar = nullptr;
  RuntimeUnlockObject(menuBar);
  delete static_cast<StringMap<void*>*>(app->menuHandlers);
  app->menuHandlers = nullptr;
}
void ConsoleApplicationInitializer(VornRuntimeObject*) {}

void RuntimeRegisterAppObject(VornRuntimeObject* app) {
  if (sGUIApplicationCheck) sGUIApplicationCheck();
  if (app) {
    RuntimeLockObject(app);
  } else {
    // The creation's own reference is the one the runtime holds.
    app = CreateInstanceFromDefinition(GetApplicationClassDefinition());
  }
  StoreApplication(app);
  OpenApplication();
}

void RuntimeRegisterConsoleAppObject(VornRuntimeObject* app, uint8_t asService) {
  if (app) {
    RegisterConsoleApplicationObject(app);
  } else {
    ObjectDefinition* definition =
        asService ? GetServiceApplicationClassDefinition() : GetConsoleApplicationClassDefinition();
    app = CreateInstanceFromDefinition(definition);
    RegisterConsoleApplicationObject(app);
    RuntimeUnlockObject(app);  // the registration holds it now
  }
  // A console program has no GUI application object, so opening finds no handlers.
  OpenApplication();
}

// AutoClose is the flag AutoQuit reads: the program ends when its last window closes. A console
// program has no windows to close, so it answers false and keeps nothing.
uint8_t AppAutoCloseGetter(VornRuntimeObject* object, int32_t) {
  ApplicationObject* app = AsApplication(object ? object : sApplication);
  return app && app->autoQuit ? 1 : 0;
}

void AppAutoCloseSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (ApplicationObject* app = AsApplication(object ? object : sApplication)) app->autoQuit = value ? 1 : 0;
}

void ApplicationQuit(VornRuntimeObject* object, int32_t, int32_t) {
  ApplicationObject* app = AsApplication(object ? object : sApplication);
  if (app == nullptr) {
    CloseAllRuntimeWindows();
    RequestQuit();
    return;
  }
  if (app->quitting) return;  // closing the windows must not start the sequence again
  app->quitting = 1;
  RuntimeObject* self = &app->header;
  RuntimeLockObject(self);
  if (FireEvent<uint8_t>(self, Hook(kCancelClose)) != 0) {
    // Cancelled: a later quit must be able to run the sequence again.
    app->quitting = 0;
  } else {
    CloseAllRuntimeWindows();
    RemoveAllTrayItems();
    FireEvent(self, Hook(kClose));
    RequestQuit();
  }
  RuntimeUnlockObject(self);
}

void ApplicationNewDocument(VornRuntimeObject* app) {
  if (app) FireEvent(app, Hook(kNewDocument));
}
