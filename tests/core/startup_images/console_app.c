/* A console program that echoes standard input to standard output through Input, Print and
 * the standard streams, then asks the runtime's application, desktop and keyboard services
 * what a compiled program would, logging "ok:<what>;" or "FAIL:<what>;" on standard error.
 * It ends by becoming a daemon, which writes "detached" into the file named by
 * VORN_TEST_MARK once it runs in a session of its own. */
#include <stddef.h>

#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/console_api.h"
#include "vorn/desktop_api.h"
#include "vorn/folder_item_api.h"
#include "vorn/system_api.h"
#include "vorn/window_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

void RuntimeUnlockString(VornStringRecord *text);

VORN_LITERAL(kArrow, "> ");
VORN_LITERAL(kToError, "to standard error");
VORN_LITERAL(kScript, "beep");
VORN_LITERAL(kPrompt, "Keep the changes?");
VORN_LITERAL(kTitle, "Console");
VORN_LITERAL(kMarkVariable, "VORN_TEST_MARK");
VORN_LITERAL(kDisplayVariable, "DISPLAY");

typedef struct PollCounter {
  VornRuntimeObject header;
  int32_t polls;
} PollCounter;

static void Poll(VornRuntimeObject *self) { ((PollCounter *)self)->polls++; }

static const VornClassMember kPollMethods[] = {{"Poll%%o<PollCounter>", (void *)Poll, 0, 0}};
static const char *const kPollInterfaces[] = {"_Pollable"};
static const VornClassRecord kPollCounter = {
    kVornClassRecordVersion, 0, "PollCounter", "", sizeof(PollCounter), {0, 0}, {0, 0}, 0, 0,
    kPollMethods, 1, 0, 0, 0, 0, kPollInterfaces, 1};

static const VornClassRecord kProbeWindow = {
    kVornClassRecordVersion, 0, "ProbeWindow", "Window", VORN_WINDOW_INSTANCE_SIZE, {0, 0}, {0, 0}, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0};

static void Check(int passed, const char *what) {
  LogText(passed ? "ok:" : "FAIL:");
  LogText(what);
  LogText(";");
}

static int SameText(VornStringRecord *text, const char *expected) {
  long length = 0;
  while (expected[length]) ++length;
  if (!text) return length == 0;
  if (text->length != length) return 0;
  for (long i = 0; i < length; ++i) {
    if (text->buffer[1 + i] != expected[i]) return 0;
  }
  return 1;
}

/* Takes the pending exception over; true when there was one. */
static int TookException(void) {
  VornRuntimeObject *exception = vornPendingException;
  vornPendingException = 0;
  RuntimeUnlockObject(exception);
  return exception != 0;
}

static long Syscall3(long number, long a, long b, long c) {
  long result;
  __asm__ volatile("syscall" : "=a"(result) : "a"(number), "D"(a), "S"(b), "d"(c) : "rcx", "r11", "memory");
  return result;
}

static void Streams(void) {
  VornRuntimeObject *in = RuntimeGetStdIn(), *out = RuntimeGetStdOut(), *err = RuntimeGetStdErr();
  VornStringRecord *line = RuntimeConsoleInput();
  RuntimeConsolePrint(line);
  RuntimeUnlockString(line);
  VornStringRecord *chunk = RuntimeStdInputRead(in, 2, 0);
  RuntimeStdOutputStreamWrite(out, chunk);
  RuntimeUnlockString(chunk);
  line = RuntimeStdInputReadLine(in, 0);
  RuntimeStdOutputStreamWriteLine(out, line);
  RuntimeUnlockString(line);
  while (!RuntimeStdInputEof(in)) {
    line = RuntimeStdInputReadLine(in, 0);
    RuntimeStdOutputStreamWrite(out, VORN_STR(kArrow));
    RuntimeStdOutputStreamWriteLine(out, line);
    RuntimeUnlockString(line);
  }
  RuntimeStdOutFlush(out);
  Check(RuntimeStdInputReadLine(in, 0) == 0 && RuntimeStdInputEof(in), "end of input");
  Check(!RuntimeStdInputError(in) && !RuntimeStdOutputError(out), "no stream errors");
  RuntimeStdOutputStreamWriteLine(err, VORN_STR(kToError));
  /* Nil and foreign objects read nothing and write nothing. */
  RuntimeStdOutputStreamWrite(0, VORN_STR(kArrow));
  RuntimeStdOutputStreamWrite(in, VORN_STR(kArrow));
  Check(RuntimeStdInputReadLine(0, 0) == 0 && RuntimeStdInputEof(out) && RuntimeStdInputRead(in, -5, 0) == 0,
        "nil streams");
  RuntimeUnlockObject(in);
  RuntimeUnlockObject(out);
  RuntimeUnlockObject(err);
}

static void Application(VornRuntimeObject *app) {
  Check(AppIntegerVersionStuffGetter(app, 0) == 1 && AppIntegerVersionStuffGetter(app, 3) == 5, "version numbers");
  VornStringRecord *text = AppStringVersionStuffGetter(app, 1);
  Check(SameText(text, "Console test 1.2"), "version text");
  RuntimeUnlockString(text);
  text = RuntimeGetTextFileFromResourceManager(128);
  Check(SameText(text, "Notes of the console program.\n"), "text resource");
  RuntimeUnlockString(text);
  Check(RuntimeGetTextFileFromResourceManager(999) == 0, "missing text resource");

  VornRuntimeObject *file = AppFolderItemGetter(app, 0);
  VornStringRecord *path = file ? VORNpathFromFolderItem(file) : 0;
  LogText("exe=");
  if (path) LogBytes(path->buffer + 1, path->length);
  LogText(";");
  RuntimeUnlockString(path);
  RuntimeUnlockObject(file);

  RuntimeScriptExecute(VORN_STR(kScript));
  RuntimeStartParamScript(VORN_STR(kScript));
  RuntimeAddStringScriptParam(VORN_STR(kScript));
  RuntimeAddIntegerScriptParam(3);
  RuntimeCompleteParamScriptExecute();
  Check(RuntimeScriptFunction(VORN_STR(kScript)) == 0 && RuntimeCompleteParamScriptFunction() == 0, "scripts");

  double before = RuntimeMicroseconds();
  ApplicationDoSingleEvent(app, 30);
  Check(RuntimeMicroseconds() - before >= 30000.0, "DoEvents waits");
  Check(!getUserCancelled(), "not cancelled");

  PollCounter *counter = (PollCounter *)RuntimeNewObject(RuntimeNewClass(&kPollCounter));
  ApplicationAddPollableObject(app, &counter->header);
  ApplicationAddPollableObject(app, app); /* no _Pollable: not added */
  for (int i = 0; i < 3; ++i) ApplicationDoSingleEvent(app, 0);
  ApplicationRemovePollableObject(app, &counter->header);
  ApplicationDoSingleEvent(app, 0);
  Check(counter->polls == 3, "polled while listed");

  intInvalidateSetter(&counter->header, offsetof(PollCounter, polls), 42);
  Check(intGetter(&counter->header, offsetof(PollCounter, polls)) == 42 && !TookException(), "invalidate setter");
  intInvalidateSetter(&counter->header, -4, 1);
  Check(TookException(), "invalidate setter outside the object");
  RuntimeUnlockObject(&counter->header);
}

static int HaveDisplay(void) {
  VornRuntimeObject *system = getSystemObject();
  VornStringRecord *display = SystemGetEnvVariable(system, VORN_STR(kDisplayVariable));
  int have = display && display->length > 0;
  RuntimeUnlockString(display);
  RuntimeUnlockObject(system);
  return have;
}

static void Desktop(VornRuntimeObject *app) {
  VornRuntimeObject *keyboard = getKeyboardObject();
  VornStringRecord *name = keyboardKeyName(keyboard, 36);
  Check(SameText(name, "Return"), "key name");
  RuntimeUnlockString(name);
  Check(keyboardKeyName(keyboard, -1) == 0, "no key name");
  Check(!modifierKeyGetter(keyboard, 0) && !asyncModifierKeyGetter(keyboard, 1) && !modifierKeyGetter(keyboard, 99),
        "modifiers up");
  RuntimeUnlockObject(keyboard);

  name = getFontName(0);
  Check(SameText(name, "System") && getFontCount() > 1, "font names");
  Check(getFontName(getFontCount()) == 0 && TookException() && getFontName(-1) == 0 && TookException(),
        "font names outside the list");
  RuntimeUnlockString(name);
  Check(getTextColor() != getFillColor() && getFrameColor() != getFillColor(), "theme colours");
  Check(getWindowCount() == 0 && getWindow(0) == 0 && getWindow(-1) == 0 && getControlWindow(0) == 0, "no windows");
  VornRuntimeClass *probe = RuntimeNewClass(&kProbeWindow);
  if (!HaveDisplay()) {
    /* Without a display the program goes on; windows and message boxes are refused. */
    VornRuntimeObject *window = RuntimeNewObject(probe);
    Check(TookException() && getWindowCount() == 0, "window refused without a display");
    RuntimeUnlockObject(window);
    Check(VB_RuntimeMsgBox(VORN_STR(kPrompt), 4, VORN_STR(kTitle)) == 7 && TookException(),
          "message box refused without a display");
    return;
  }
  /* Window (0) is the front window: the one shown last. */
  VornRuntimeObject *windows[2];
  for (int i = 0; i < 2; ++i) {
    windows[i] = RuntimeNewObject(probe);
    WindowDefaultConstructor(windows[i]);
    RuntimeShowWindow(windows[i]);
    ApplicationDoSingleEvent(app, 0);
  }
  VornRuntimeObject *front = getWindow(0), *back = getWindow(1);
  Check(getWindowCount() == 2 && front == windows[1] && back == windows[0] && getWindow(2) == 0, "window order");
  RuntimeUnlockObject(front);
  RuntimeUnlockObject(back);
  for (int i = 0; i < 2; ++i) {
    RuntimeCloseWindow(windows[i]);
    RuntimeUnlockObject(windows[i]);
  }
  Check(getWindowCount() == 0, "windows closed");
  Check(!IsCMMClick(), "no contextual click");
  RuntimeBeep();
  AppBalloonHelpVisibleSetter(app, 0, 0);
  int hidden = !AppBalloonHelpVisibleGetter(app, 0);
  AppBalloonHelpVisibleSetter(app, 0, 1);
  Check(hidden && AppBalloonHelpVisibleGetter(app, 0), "help tags");

  LogText("msgbox;");
  int32_t answer = VB_RuntimeMsgBox(VORN_STR(kPrompt), 4 + 32 + 256, VORN_STR(kTitle));
  LogText("msgbox=");
  LogNumber(answer);
  LogText(";");
}

static void BecomeDaemon(VornRuntimeObject *app) {
  VornRuntimeObject *system = getSystemObject();
  VornStringRecord *mark = SystemGetEnvVariable(system, VORN_STR(kMarkVariable));
  char path[256];
  int length = mark && mark->length < 255 ? mark->length : 0;
  for (int i = 0; i < length; ++i) path[i] = mark->buffer[1 + i];
  path[length] = 0;
  RuntimeUnlockString(mark);
  RuntimeUnlockObject(system);
  LogText("daemon;");
  if (!DaemonizeApp(app)) {
    Check(0, "daemonize");
    return;
  }
  /* Only the detached process gets here: a session of its own has the process's id. */
  long pid = Syscall3(39, 0, 0, 0);
  long session = Syscall3(124, 0, 0, 0);
  long file = Syscall3(2, (long)path, 01 | 0100 | 01000, 0644); /* O_WRONLY | O_CREAT | O_TRUNC */
  if (file >= 0) {
    const char *text = session == pid ? "detached" : "attached";
    Syscall3(1, file, (long)text, 8);
    Syscall3(3, file, 0, 0);
  }
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterConsoleAppObject(0, 0);
  VornRuntimeObject *app = getAppObject();
  Check(app != 0, "application");
  Streams();
  Application(app);
  Desktop(app);
  BecomeDaemon(app);
  RuntimeUnlockObject(app);
  RuntimeExit();
}
