/* A thread that counts its turns while the main thread shows a modal dialog, and says so once
 * it has had a hundred of them; the test then ends the program with a signal. */
#ifndef STARTUP_IMAGES_DIALOG_THREAD_H
#define STARTUP_IMAGES_DIALOG_THREAD_H

#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/image_abi.h"
#include "vorn/thread_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

static volatile int32_t gDialogUp;

static void CountTurns(VornRuntimeObject *self) {
  (void)self;
  int32_t turns = 0;
  for (;;) {
    if (gDialogUp && ++turns == 100) LogText("ThreadRanDuringDialog;");
    YieldToNextThread();
  }
}

static const VornClassMember kCounterHandlers[] = {{"#Run%%o<TurnCounter>", (void *)CountTurns, 0, 0}};
static const VornClassRecord kTurnCounter = {
    kVornClassRecordVersion, 0, "TurnCounter", "Thread", sizeof(VornThreadObject),
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kCounterHandlers, 1, 0, 0};

static void ShowDialog(void);

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterAppObject(0);
  VornRuntimeObject *counter = RuntimeNewObject(RuntimeNewClass(&kTurnCounter));
  threadRun(counter);
  gDialogUp = 1;
  LogText("DialogShowing;");
  ShowDialog();
  LogText("DialogClosed;");
  RuntimeExit();
}

#endif
