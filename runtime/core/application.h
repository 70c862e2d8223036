// The Application object: registration, opening, the quit sequence and the report of an
// exception nobody handled.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/vstring.h"
#include "vorn/application_abi.h"

namespace vorn {

using ApplicationObject = VornApplicationObject;

ObjectDefinition* GetApplicationClassDefinition();
ObjectDefinition* GetConsoleApplicationClassDefinition();
ObjectDefinition* GetServiceApplicationClassDefinition();

// The registered GUI application object, nil before registration and after release.
RuntimeObject* GetApplicationObject();
// The registered console application object, nil when none.
RuntimeObject* GetConsoleApplicationObject();
// Releases the previously registered console object, stores this one and locks it.
void RegisterConsoleApplicationObject(RuntimeObject* app);

// Makes a document item (a FolderItem) for a command-line path; the file layer installs it.
// The answer carries one reference for the caller; nil when no item can be made.
using DocumentItemFactory = RuntimeObject* (*)(const string& path);
DocumentItemFactory SetDocumentItemFactory(DocumentItemFactory factory);

// Runs as a GUI application registers, before anything is opened; start-up installs one that
// ends the program when there is no display to show it on (a console program needs none).
using GUIApplicationCheck = void (*)();
void SetGUIApplicationCheck(GUIApplicationCheck check);

// Fires UnhandledException on the application; false for an EndException, without an
// application object or handler, and for an exception raised by that very handler.
bool FireUnhandledExceptionEvent(RuntimeObject* exception);
// The hook the object layer calls for an exception nobody handled.
void UnhandledExceptionHook(RuntimeObject* exception);
// Tells the user that the application must end, then ends the run loop; an EndException
// ends it quietly.
void ReportUnhandledException(RuntimeObject* exception);

// The report's texts for an exception: the message and the explanation below it.
string UnhandledExceptionMessage(RuntimeObject* exception);
string UnhandledExceptionExplanation(RuntimeObject* exception);

// Shows the report; the message dialog installs itself here. Without one the texts go to
// standard error.
using UnhandledExceptionPresenter = void (*)(const string& message, const string& explanation);
UnhandledExceptionPresenter SetUnhandledExceptionPresenter(UnhandledExceptionPresenter presenter);

// Fires OpenDocument on the application object with the item; nothing without a handler.
void FireOpenDocument(RuntimeObject* app, RuntimeObject* item);

// Registers the application classes with the intrinsic class map.
void RegisterApplicationClasses();

}  // namespace vorn

extern "C" {
void ApplicationInitializer(VornRuntimeObject* app);
void ApplicationFinalizer(VornRuntimeObject* app);
void ConsoleApplicationInitializer(VornRuntimeObject* app);
}
