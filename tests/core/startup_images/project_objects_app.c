/* A program whose image carries a project-object table (a picture and a Dictionary) reads
 * its objects by number, as compiled code does, logging "ok:<what>;" or "FAIL:<what>;". */
#include "vorn/application_abi.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/object_abi.h"
#include "vorn/picture_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

VORN_LITERAL(kDictionary, "Dictionary");

static void Check(int passed, const char *what) {
  LogText(passed ? "ok:" : "FAIL:");
  LogText(what);
  LogText(";");
}

static int TookException(void) {
  VornRuntimeObject *exception = vornPendingException;
  vornPendingException = 0;
  RuntimeUnlockObject(exception);
  return exception != 0;
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();

  VornRuntimeObject *picture = RuntimePictureReference(1);
  Check(picture && pictureWidthGetter(picture, 0) == 5 && pictureHeightGetter(picture, 0) == 3,
        "picture 1 is the 5x3 bitmap");
  VornRuntimeObject *again = RuntimeProjectObject(1);
  Check(again == picture, "the same object every time");

  VornRuntimeObject *dictionary = RuntimeProjectObject(2);
  Check(dictionary && RuntimeObjectIsa(dictionary, RuntimeLookupClass(VORN_STR(kDictionary))),
        "object 2 is a Dictionary");

  Check(RuntimeProjectObject(0) == 0 && !TookException(), "number 0 is nil");
  Check(RuntimeProjectObject(3) == 0 && TookException(), "one past the table raises");
  Check(RuntimeProjectObject(-1) == 0 && TookException(), "a negative number raises");

  RuntimeUnlockObject(picture);
  RuntimeUnlockObject(again);
  RuntimeUnlockObject(dictionary);
  LogText("done;");
  RuntimeExit();
}
