/*
 * The database engine boundary: the records an engine (the built-in one or a plug-in's) fills
 * with its functions, the lists it is handed, and the entry points that wrap its handles into
 * Database and RecordSet objects.
 *
 * A null function means the engine does not offer the operation; the runtime then gives a
 * neutral result (nil, 0, -1 or nothing). Strings are the runtime's shared string records:
 * arguments stay the caller's, results carry one reference for the receiver. The texts an
 * engine is handed (names, values, edits, statements) are UTF-8, save bytes of no known
 * encoding and values set as a blob, which come as they were set. Boolean results are uint8_t.
 */
#ifndef VORN_DATABASE_API_H
#define VORN_DATABASE_API_H

#include <stdint.h>

#include "vorn/image_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Type codes of column values handed out by getColumnValue. */
enum {
  kVornDbNull = 0,
  kVornDbSmallInt = 2,      /* int16_t, machine order */
  kVornDbInteger = 3,       /* int32_t, machine order */
  kVornDbChar = 4,          /* the bytes */
  kVornDbText = 5,          /* the bytes */
  kVornDbFloat = 6,         /* float */
  kVornDbDouble = 7,        /* double */
  kVornDbDate = 8,          /* big-endian 16-bit year, month, day */
  kVornDbTime = 9,          /* big-endian 16-bit hour, minute, second */
  kVornDbTimeStamp = 10,    /* big-endian 16-bit year, month, day, hour, minute, second */
  kVornDbBoolean = 12,      /* one byte, 0 = false */
  kVornDbBinary = 14,       /* the bytes */
  kVornDbLongText = 15,     /* the bytes */
  kVornDbLongBinary = 16,   /* the bytes */
  kVornDbStringRecord = 18  /* a VornStringRecord* */
};

#define VORN_DB_RECORD_VERSION 4

/* A column of CREATE TABLE or ALTER TABLE ADD, in the order written. */
typedef struct dbColumnDefinition {
  struct dbColumnDefinition *next;
  VornStringRecord *name;
  int32_t type;
  int32_t notNull;
} dbColumnDefinition;

/* A named value of a new row (DatabaseRecord's list, newest first, or INSERT's). */
typedef struct dbColumnValue {
  struct dbColumnValue *next;
  VornStringRecord *column;
  VornStringRecord *value;
  int32_t type;
} dbColumnValue;

/* A column asked of a table cursor; "*" means every column. */
typedef struct dbColumnList {
  struct dbColumnList *next;
  VornStringRecord *name;
} dbColumnList;

/* The condition of a table cursor: operators 0-9 compare `column` with `value`, 64 is AND and
 * 65 OR over `left` and `right`. `mode` 0 compares the row's value as stored, 2 upper-cased,
 * 3 lower-cased; with VORN_DB_FILTER_COLUMN added, `value` names a column of the same row whose
 * value is compared instead of a literal. */
#define VORN_DB_FILTER_COLUMN 0x100
typedef struct dbFilter {
  struct dbFilter *left;
  struct dbFilter *right;
  int32_t op;
  int32_t mode;
  VornStringRecord *column;
  VornStringRecord *value;
} dbFilter;

/* A pending edit of the current row: 0-based column and the new text (nil for NULL). */
typedef struct dbRowEdit {
  struct dbRowEdit *next;
  int32_t column;
  VornStringRecord *value;
} dbRowEdit;

/* An edited field to write back: "table!column", the condition selecting its row, the value. */
typedef struct dbFieldChange {
  struct dbFieldChange *next;
  char *name;
  int32_t nameLength;
  char *condition;
  int32_t conditionLength;
  VornStringRecord *value;
} dbFieldChange;

typedef struct dbEngineDefinition {
  int32_t version;
  int32_t hostFlag;
  int32_t (*closeDatabase)(void *handle);
  VornRuntimeObject *(*getTableSchema)(void *handle);
  VornRuntimeObject *(*getFieldSchema)(void *handle, VornStringRecord *table);
  VornRuntimeObject *(*directSQLSelect)(void *handle, VornStringRecord *sql);
  void (*directSQLExecute)(void *handle, VornStringRecord *sql);
  void (*createTable)(void *handle, VornStringRecord *table, dbColumnDefinition *columns,
                      const uint8_t *keyPositions, int32_t keyCount);
  void (*addTableRecord)(void *handle, VornStringRecord *table, dbColumnValue *values);
  VornRuntimeObject *(*getTableCursor)(void *handle, VornStringRecord *table, dbColumnList *columns,
                                       dbFilter *filter);
  void (*updateFields)(void *handle, dbFieldChange *changes);
  void (*addTableColumn)(void *handle, VornStringRecord *table, dbColumnDefinition *column,
                         int32_t notNull);
  VornRuntimeObject *(*getIndexSchema)(void *handle, VornStringRecord *table);
  int32_t (*getLastErrorCode)(void *handle);
  VornStringRecord *(*getLastErrorString)(void *handle);
  void (*commit)(void *handle);
  void (*rollback)(void *handle);
  VornStringRecord *(*getProperty)(void *handle, VornStringRecord *name);
} dbEngineDefinition;

typedef struct dbCursorDefinition {
  int32_t version;
  int32_t hostFlag;
  void (*closeCursor)(void *handle);
  int32_t (*columnCount)(void *handle);
  VornStringRecord *(*columnName)(void *handle, int32_t index);
  int32_t (*rowCount)(void *handle);
  /* The bytes stay valid until releaseValue. */
  void (*getColumnValue)(void *handle, int32_t index, const void **data, uint8_t *type, int32_t *length);
  void (*releaseValue)(void *handle);
  uint8_t (*nextRow)(void *handle);
  void (*deleteRow)(void *handle);
  void *unused;
  /* The bytes stay valid until the next call on the cursor. */
  uint8_t (*columnSource)(void *handle, int32_t index, const char **name, int32_t *nameLength,
                          const char **condition, int32_t *conditionLength, void *, void *);
  void (*updateRow)(void *handle, dbRowEdit *edits);
  void (*editRow)(void *handle);
  void (*previousRow)(void *handle);
  void (*firstRow)(void *handle);
  void (*lastRow)(void *handle);
  int32_t (*columnType)(void *handle, int32_t index);
} dbCursorDefinition;

/* A data source's opener: a Database (one reference) from stored bytes, or nil. */
typedef VornRuntimeObject *(*VornDataSourceOpener)(const void *data, uint32_t length);

/* Wrapping engine handles; nil for a nil handle. Both results carry one reference. */
VornRuntimeObject *VORNdbDatabaseFromDBDatabase(void *handle, dbEngineDefinition *engine);
VornRuntimeObject *VORNdbCursorFromDBCursor(void *handle, dbCursorDefinition *cursor);
void VORNConstructDBDatabase(VornRuntimeObject *database, void *handle, dbEngineDefinition *engine);
void PluginRegisterDBEngine(dbEngineDefinition *engine);
void PluginRegisterDBCursor(dbCursorDefinition *cursor);
/* Sets the database's own error; code 0 clears it, a nil message gives the empty text. */
void VORNDatabaseSetError(VornRuntimeObject *database, int32_t code, const char *message);
void RegisterDataSource(const char *name, VornDataSourceOpener open);
VornRuntimeObject *RuntimeGetDatabaseFromResource(int32_t id);
VornStringRecord *VORNGetDBDatabaseName(VornRuntimeObject *database);
VornStringRecord *VORNGetDBUserName(VornRuntimeObject *database);
VornStringRecord *VORNGetDBPassword(VornRuntimeObject *database);
void *VORNGetCursorFromVORNdbCursor(VornRuntimeObject *recordSet);

/* No connection dialog on this platform. */
void *VORNDBConnectionDialogCreate(void);
void VORNDBConnectionDialogAddField(void *dialog, const char *label, const char *defaultValue, uint8_t masked);
int32_t VORNDBConnectionDialogShow(void *dialog, const char *title);
void VORNDBConnectionDialogDelete(void *dialog);

#ifdef __cplusplus
}
#endif

#endif
