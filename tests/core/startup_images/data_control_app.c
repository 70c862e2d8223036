/* A database of 20 people in a temporary file and a window with a DataControl and an edit
 * field, a check box and a popup menu bound to it. Every time the DataControl shows a row it
 * writes "Row<n>:<name>|<active>|<color>;" as the bound controls show it, and titles the
 * window "People 2" once row 2 is shown. Showing the last row quits from inside the handler,
 * which runs within the navigation pane's mouse-up; otherwise a signal ends the program.
 * "End;" is written once the run loop has returned. */
#include "vorn/application_abi.h"
#include "vorn/buttons_api.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"
#include "vorn/editfield_api.h"
#include "vorn/popup_api.h"
#include "vorn/window_api.h"
#include "image_log.h"

VORN_DEFINE_PENDING_EXCEPTION;

uint8_t VORNSetPropValueInt(VornRuntimeObject* object, const char* name, int32_t value);
uint8_t VORNSetPropValueBoolean(VornRuntimeObject* object, const char* name, uint8_t value);
uint8_t VORNSetPropValueString(VornRuntimeObject* object, const char* name, VornStringRecord* value);
VornRuntimeObject* getTemporaryFolderItem(void);
void VORNDatabaseFolderItemSetter(VornRuntimeObject* db, int32_t param, VornRuntimeObject* item);
uint8_t VORNDatabaseCreateDatabaseFile(VornRuntimeObject* db);
void databaseSQLExecute(VornRuntimeObject* db, VornStringRecord* sql);
void databaseCommit(VornRuntimeObject* db);
int32_t databaseErrorCodeGetter(VornRuntimeObject* db, int32_t param);
void DataControlTableNameSetter(VornRuntimeObject* self, int32_t param, VornStringRecord* value);
void DataControlQuerySetter(VornRuntimeObject* self, int32_t param, VornStringRecord* value);
void DataControlDBSetter(VornRuntimeObject* self, int32_t param, VornRuntimeObject* value);
void RuntimeUnlockString(VornStringRecord* rep);

VORN_LITERAL(kTitle, "People");
VORN_LITERAL(kRowTwoTitle, "People 2");
VORN_LITERAL(kDataName, "PeopleData");
VORN_LITERAL(kTable, "people");
VORN_LITERAL(kQuery, "select * from people order by id");
VORN_LITERAL(kCreate, "create table people (id integer not null, name varchar(40), active boolean, "
                      "color varchar(10), primary key (id))");
VORN_LITERAL(kName, "name");
VORN_LITERAL(kActive, "active");
VORN_LITERAL(kColor, "color");
VORN_LITERAL(kRed, "red");
VORN_LITERAL(kGreen, "green");
VORN_LITERAL(kBlue, "blue");
VORN_LITERAL(kDatabaseClass, "VORNDatabaseOldFormat");
VORN_LITERAL(kEditField, "EditField");
VORN_LITERAL(kCheckBox, "CheckBox");
VORN_LITERAL(kPopupMenu, "PopupMenu");
VORN_LITERAL(kNameField, "NameField");
VORN_LITERAL(kActiveBox, "ActiveBox");
VORN_LITERAL(kColorMenu, "ColorMenu");

static VornRuntimeObject* gDatabase;
static VornRuntimeObject* gWindow;
static VornRuntimeClass* gPeopleData;
static VornRuntimeObject* gName;
static VornRuntimeObject* gActive;
static VornRuntimeObject* gColor;

static void LogString(VornStringRecord* text) {
  if (!text) return;
  LogBytes(text->buffer + 1, text->length);
  RuntimeUnlockString(text);
}

static void OnReposition(VornRuntimeObject* self, int32_t row) {
  (void)self;
  LogText("Row");
  LogNumber(row);
  LogText(":");
  LogString(editTextGetter(gName, 0));
  LogText(checkBoxGetBoolean(gActive) ? "|true|" : "|false|");
  LogString(RuntimeComboBoxTextGetter(gColor, 0));
  LogText(";");
  if (row == 2) VORNSetPropValueString(gWindow, "Title", VORN_STR(kRowTwoTitle));
  if (row == 20) {
    LogText("Quit;");
    ApplicationQuit(0, 0, 0);
  }
}

static const VornClassMember kDataHandlers[] = {{"#Reposition%%o<PeopleData>i4", (void*)OnReposition, 0, 0}};
static const VornClassRecord kPeopleDataRecord = {
    kVornClassRecordVersion, 0, "PeopleData", "DataControl", VORN_CONTROL_INSTANCE_SIZE + 512,
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kDataHandlers, 1, 0, 0};

/* The data control's own fields fit well inside the 512 bytes given after the control's. */

/* One placed, visible control added to the window under its name. */
static VornRuntimeObject* Place(VornRuntimeObject* window, VornRuntimeClass* cls, VornStringRecord* name,
                                int32_t left, int32_t top, int32_t width, int32_t height) {
  VornRuntimeObject* control = WindowAllocateObject(window, cls);
  if (!control) return 0;
  VORNSetPropValueInt(control, "Left", left);
  VORNSetPropValueInt(control, "Top", top);
  VORNSetPropValueInt(control, "Width", width);
  VORNSetPropValueInt(control, "Height", height);
  VORNSetPropValueBoolean(control, "Visible", 1);
  VORNSetPropValueBoolean(control, "Enabled", 1);
  WindowAddControl(window, name, control);
  return control;
}

static void Bind(VornRuntimeObject* control, VornStringRecord* field) {
  VORNSetPropValueString(control, "DataField", field);
  VORNSetPropValueString(control, "DataSource", VORN_STR(kDataName));
}

static void OnLayout(VornRuntimeObject* self) {
  VORNSetPropValueString(self, "Title", VORN_STR(kTitle));
  VORNSetPropValueInt(self, "Left", 100);
  VORNSetPropValueInt(self, "Top", 100);
  VORNSetPropValueInt(self, "Width", 400);
  VORNSetPropValueInt(self, "Height", 170);
  VORNSetPropValueBoolean(self, "Visible", 1);
}

static void OnCreateControls(VornRuntimeObject* self) {
  gWindow = self;
  VornRuntimeObject* nav = Place(self, gPeopleData, VORN_STR(kDataName), 10, 120, 380, 30);
  gName = Place(self, RuntimeLookupClass(VORN_STR(kEditField)), VORN_STR(kNameField), 10, 10, 200, 24);
  gActive = Place(self, RuntimeLookupClass(VORN_STR(kCheckBox)), VORN_STR(kActiveBox), 10, 44, 200, 20);
  gColor = Place(self, RuntimeLookupClass(VORN_STR(kPopupMenu)), VORN_STR(kColorMenu), 10, 74, 200, 26);
  if (!nav || !gName || !gActive || !gColor) {
    LogText("NoControl;");
    return;
  }
  DataControlTableNameSetter(nav, 0, VORN_STR(kTable));
  DataControlQuerySetter(nav, 0, VORN_STR(kQuery));
  DataControlDBSetter(nav, 0, gDatabase);
  RuntimeUnlockObject(nav);
  RuntimeComboBoxAddRow(gColor, VORN_STR(kRed));
  RuntimeComboBoxAddRow(gColor, VORN_STR(kGreen));
  RuntimeComboBoxAddRow(gColor, VORN_STR(kBlue));
  Bind(gName, VORN_STR(kName));
  Bind(gActive, VORN_STR(kActive));
  Bind(gColor, VORN_STR(kColor));
}

static void OnOpen(VornRuntimeObject* self) {
  (void)self;
  LogText("Shown;");
  OnReposition(self, 1);
}

static const VornClassMember kWindowHandlers[] = {
    {"#Layout%%o<PeopleWindow>", (void*)OnLayout, 0, 0},
    {"#CreateControls%%o<PeopleWindow>", (void*)OnCreateControls, 0, 0},
    {"#Open%%o<PeopleWindow>", (void*)OnOpen, 0, 0},
};
static const VornClassRecord kPeopleWindow = {
    kVornClassRecordVersion, 0, "PeopleWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
    {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0, kWindowHandlers, 3, 0, 0};

/* "insert into people (...) values (<n>, 'Person <n>', <true|false>, '<colour>')" for rows 1 to 20. */
static void FillPeople(void) {
  static const char* const colors[] = {"red", "green", "blue"};
  for (int32_t n = 1; n <= 20; ++n) {
    char text[160];
    int at = 1;
    const char* parts[] = {"insert into people (id, name, active, color) values (", 0, ", 'Person ", 0, "', ",
                           n % 2 ? "true" : "false", ", '", colors[n % 3], "')"};
    char digits[3] = {(char)('0' + n / 10), (char)('0' + n % 10), 0};
    parts[1] = parts[3] = n < 10 ? digits + 1 : digits;
    for (unsigned p = 0; p < sizeof parts / sizeof parts[0]; ++p) {
      for (const char* c = parts[p]; *c; ++c) text[at++] = *c;
    }
    text[0] = (char)(at - 1);
    /* Held for good: the runtime must never free this stack record. */
    VornStringRecord sql = {1 << 30, text, at, at - 1, kVornEncodingUTF8};
    databaseSQLExecute(gDatabase, &sql);
    if (databaseErrorCodeGetter(gDatabase, 0) != 0) {
      LogText("NoRow:");
      LogBytes(text + 1, at - 1);
      LogText(";");
    }
  }
  databaseCommit(gDatabase);
  if (databaseErrorCodeGetter(gDatabase, 0) != 0) LogText("NoRows;");
}

void ImageEntry(void) {
  RuntimeInit();
  RuntimeInitExternalClasses();
  RuntimeRegisterAppObject(0);
  VornRuntimeClass* databaseClass = RuntimeLookupClass(VORN_STR(kDatabaseClass));
  gPeopleData = RuntimeNewClass(&kPeopleDataRecord);
  VornRuntimeClass* windowClass = RuntimeNewClass(&kPeopleWindow);
  gDatabase = databaseClass ? RuntimeNewObject(databaseClass) : 0;
  VornRuntimeObject* item = getTemporaryFolderItem();
  if (!gPeopleData || !windowClass || !gDatabase || !item) {
    LogText("NoClass;");
    RuntimeExit();
    return;
  }
  VORNDatabaseFolderItemSetter(gDatabase, 0, item);
  RuntimeUnlockObject(item);
  if (!VORNDatabaseCreateDatabaseFile(gDatabase)) LogText("NoDatabase;");
  databaseSQLExecute(gDatabase, VORN_STR(kCreate));
  if (databaseErrorCodeGetter(gDatabase, 0) != 0) LogText("NoTable;");
  FillPeople();
  VornRuntimeObject* window = RuntimeNewObject(windowClass);
  WindowDefaultConstructor(window);
  RuntimeShowWindow(window);
  RuntimeRun();
  LogText("End;");
  RuntimeUnlockObject(gName);
  RuntimeUnlockObject(gActive);
  RuntimeUnlockObject(gColor);
  RuntimeUnlockObject(window);
  RuntimeUnlockObject(gDatabase);
  RuntimeExit();
}
