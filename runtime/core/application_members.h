// What the language reaches through the application object and the run loop besides opening
// and quitting: the App function, its version numbers, DoEvents with a wait, objects polled
// at every iteration (the _Pollable interface), becoming a daemon, the user-cancel test,
// Microseconds, text resources, and the script rows this platform keeps empty.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "vorn/object_abi.h"

namespace vorn {

// The _Pollable interface: Poll (), called at every run-loop iteration.
ObjectDefinition* GetPollableInterfaceDefinition();

}  // namespace vorn

extern "C" {
// The registered application object (the GUI one, else the console one), one reference for
// the caller; nil before registration.
VornRuntimeObject* getAppObject(void);
// Version number i (0 to 5) and text j (0 to 2) of the image's version record; -1 and "" when
// the image has none, 0 and "" for an index outside.
int32_t AppIntegerVersionStuffGetter(VornRuntimeObject* app, int32_t index);
VornStringRecord* AppStringVersionStuffGetter(VornRuntimeObject* app, int32_t index);
// OpenDocument on the application with the item; nothing without a handler or application.
void ApplicationOpenDocument(VornRuntimeObject* app, VornRuntimeObject* item);
// DoEvents (milliseconds): serves events for that long, waiting for them in between; a
// negative or zero wait serves what is pending once and returns.
void ApplicationDoSingleEvent(VornRuntimeObject* app, int32_t milliseconds);
// Polls an object implementing _Pollable at every run-loop iteration, until it is removed;
// the object is held meanwhile. An object without the interface is not added.
void ApplicationAddPollableObject(VornRuntimeObject* app, VornRuntimeObject* object);
void ApplicationRemovePollableObject(VornRuntimeObject* app, VornRuntimeObject* object);
// Detaches the program from its terminal and session: the caller's process ends with status
// 0 and the program goes on in a new one, its standard streams on /dev/null. True there;
// false (still attached) when no process can be made.
uint8_t DaemonizeApp(VornRuntimeObject* app);
// UserCancelled: whether Escape was held during the last background-task wait.
uint8_t getUserCancelled(void);
// Microseconds since the system started.
double RuntimeMicroseconds(void);
// The 'TEXT' resource of that id (taken as 16 bits) in the system text encoding; nil (the
// empty string) when there is none.
VornStringRecord* RuntimeGetTextFileFromResourceManager(int32_t id);
// The global Quit: the registered application's quit sequence.
void VN_ApplicationQuit(void);

// Scripts are not run on this platform: these do nothing, and those with a result answer 0.
void RuntimeScriptExecute(VornStringRecord* script);
intptr_t RuntimeScriptFunction(VornStringRecord* script);
void RuntimeStartParamScript(VornStringRecord* script);
void RuntimeAddStringScriptParam(VornStringRecord* value);
void RuntimeAddIntegerScriptParam(int32_t value);
void RuntimeCompleteParamScriptExecute(void);
intptr_t RuntimeCompleteParamScriptFunction(void);
}
