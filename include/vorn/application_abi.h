/*
 * The application and timer objects, and the start-up and run-loop entry points, as compiled
 * code sees them.
 *
 * A program's entry calls RuntimeInit, RuntimeInitExternalClasses (which registers the
 * intrinsic classes its own classes derive from), builds its classes, registers its
 * application object (RuntimeRegisterAppObject fires Open, then OpenDocument once per
 * command-line argument, or NewDocument when there is none), enters RuntimeRun, which
 * returns when the application has quit, and ends with RuntimeExit.
 */
#ifndef VORN_APPLICATION_ABI_H
#define VORN_APPLICATION_ABI_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Application and its subclasses. Events, in event-table order: Open, OpenDocument (item As
 * FolderItem), NewDocument, EnableMenuItems, UnhandledException (error As RuntimeException)
 * As Boolean, CancelClose As Boolean, Close. */
typedef struct VornApplicationObject {
  VornRuntimeObject header;
  uint8_t autoQuit;         /* property AutoQuit: quit when the last window has closed */
  uint8_t quitting;         /* set while the quit sequence runs */
  VornRuntimeObject *menuBar;
  void *menuHandlers;       /* the runtime's menu-handler map, nil when there is none */
} VornApplicationObject;

enum {
  kVornTimerOff = 0,
  kVornTimerSingle = 1,
  kVornTimerMultiple = 2
};

/* Timer: properties Mode, Period (milliseconds, at least 1) and Enabled; event Action. */
typedef struct VornTimerObject {
  VornRuntimeObject header;
  void *next;
  int32_t mode;
  int32_t period;
  int32_t lastFire;
  int32_t enabled;
  uint32_t timeoutID;
  uint32_t reserved[2];
  void *receivers;
  const void *owner;
} VornTimerObject;

void RuntimeInit(void);
int32_t RuntimeExit(void);
void RuntimeInitExternalClasses(void);
void RuntimeRegisterAppObject(VornRuntimeObject *app);
void RuntimeRegisterConsoleAppObject(VornRuntimeObject *app, uint8_t asService);
void RuntimeRun(void);
void RuntimeDoEvents(void);
void RuntimeBackgroundTask(void);
uint32_t RuntimeTicks(void);

/* The quit sequence: CancelClose, and unless cancelled, the windows close, Close fires and
 * the run loop ends. Nil means the registered application. */
void ApplicationQuit(VornRuntimeObject *app, int32_t unused1, int32_t unused2);
void ApplicationNewDocument(VornRuntimeObject *app);

/* The registered application (GUI, else console), one reference for the caller. */
VornRuntimeObject *getAppObject(void);
/* App.ExecutableFile: the program's own file. */
VornRuntimeObject *AppFolderItemGetter(VornRuntimeObject *app, int32_t param);
/* Version number 0-5 and text 0-2 of the image's version record; -1 and "" without one. */
int32_t AppIntegerVersionStuffGetter(VornRuntimeObject *app, int32_t index);
VornStringRecord *AppStringVersionStuffGetter(VornRuntimeObject *app, int32_t index);
void ApplicationOpenDocument(VornRuntimeObject *app, VornRuntimeObject *item);
/* DoEvents (milliseconds): serves events that long; 0 or less: what is pending, once. */
void ApplicationDoSingleEvent(VornRuntimeObject *app, int32_t milliseconds);
/* AutoClose: the AutoQuit flag (quit when the last window closes); false for a console app. */
uint8_t AppAutoCloseGetter(VornRuntimeObject *app, int32_t param);
void AppAutoCloseSetter(VornRuntimeObject *app, int32_t param, uint8_t value);
/* The text's translation in the program's message catalogue, else the text itself. */
VornStringRecord *ApplicationGetLocalizedString(VornRuntimeObject *app, VornStringRecord *text,
                                                VornStringRecord *comment);
/* Polls an object implementing the _Pollable interface (Poll ()) at every run-loop
 * iteration until removed. */
void ApplicationAddPollableObject(VornRuntimeObject *app, VornRuntimeObject *object);
void ApplicationRemovePollableObject(VornRuntimeObject *app, VornRuntimeObject *object);
/* Goes on in a new process detached from the terminal (this one exits with 0); false when it
 * cannot. */
uint8_t DaemonizeApp(VornRuntimeObject *app);
uint8_t getUserCancelled(void);
double RuntimeMicroseconds(void);
VornStringRecord *RuntimeGetTextFileFromResourceManager(int32_t id);
void VN_ApplicationQuit(void);

/* Scripts are not run on this platform: these do nothing and answer 0. */
void RuntimeScriptExecute(VornStringRecord *script);
intptr_t RuntimeScriptFunction(VornStringRecord *script);
void RuntimeStartParamScript(VornStringRecord *script);
void RuntimeAddStringScriptParam(VornStringRecord *value);
void RuntimeAddIntegerScriptParam(int32_t value);
void RuntimeCompleteParamScriptExecute(void);
intptr_t RuntimeCompleteParamScriptFunction(void);

void timerModeSetter(VornRuntimeObject *timer, int32_t unused, int32_t mode);
void timerPeriodSetter(VornRuntimeObject *timer, int32_t unused, int32_t period);
void RuntimeTimerReset(VornRuntimeObject *timer);
/* Receivers (actionNotificationReceiver) hear PerformAction at each Action, newest first. */
void TimerAddActionNotificationReceiver(VornRuntimeObject *timer, VornRuntimeObject *receiver);
void TimerRemoveActionNotificationReceiver(VornRuntimeObject *timer, VornRuntimeObject *receiver);

#ifdef __cplusplus
}
#endif

#endif
