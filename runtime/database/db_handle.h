// The built-in engine's handle on one database: the open file, the schemas of its tables read
// from the catalogue, and the last error. Every operation clears the error first; a failure
// sets the code and text and changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/db_file.h"
#include "database/db_row.h"
#include "database/db_tree.h"

namespace vorn {

class RandomAccessMechanism;

constexpr const char* kDbTablesTree = "sys$tables";
constexpr const char* kDbFieldsTree = "sys$fields";

// Engine error codes.
constexpr int32_t kDbErrorExists = 2000;
constexpr int32_t kDbErrorInternal = 2001;
constexpr int32_t kDbErrorType = 2002;
constexpr int32_t kDbErrorUnknown = 2003;
constexpr int32_t kDbErrorBlob = 2004;
constexpr int32_t kDbErrorPrimaryKey = 2005;
constexpr int32_t kDbErrorTooLong = 2006;
// A write through a cursor whose row was deleted, or took another key, since it was read.
constexpr const char* kDbRowGoneUpdate = "Update failed: the row no longer exists";
constexpr const char* kDbRowGoneDelete = "Delete failed: the row no longer exists";

struct DbColumnSpec {
  std::string name;
  uint8_t type = kDbVarchar;
  bool allowsNull = true;
};

struct DbColumn {
  uint8_t position = 0;  // the field number of the column in every row
  std::string name;
  bool allowsNull = true;
  uint8_t type = 0;
};

// A column's position is its field number in every row: one byte.
constexpr size_t kDbMostColumns = 255;

struct DbTableSchema {
  std::string name;
  uint32_t id = 0;
  std::vector<DbColumn> columns;
  Bytes primaryKey;  // column positions, in key order
  // The stored type of each field number its columns claim (0: none claims it), so that a row
  // holding anything else is told apart as damage.
  std::array<uint8_t, 256> fieldTypes{};
  // Why the catalogue cannot be trusted for this table (empty when it can): its rows are then
  // never read, as they would read wrongly without an error.
  std::string damage;

  const DbColumn* Column(const std::string& name) const;
};

// One value of an inserted row: the column's name and the value as text.
struct DbColumnText {
  std::string column;
  std::string text;
  bool null = false;  // the column is given no value
};

class vndbHandle {
 public:
  // A new database (with its catalogue trees) written into the stream / file.
  static std::unique_ptr<vndbHandle> Create(std::unique_ptr<RandomAccessMechanism> stream);
  static std::unique_ptr<vndbHandle> Create(std::unique_ptr<vndbStorage> storage);
  static std::unique_ptr<vndbHandle> CreateFile(const std::string& path, std::string* error = nullptr);
  // An existing database; null with the reason in `error` when it cannot be opened, and
  // `damaged` set when that is because the file or the journal it needs is damaged.
  static std::unique_ptr<vndbHandle> Open(std::unique_ptr<RandomAccessMechanism> stream,
                                          std::string* error = nullptr);
  static std::unique_ptr<vndbHandle> Open(std::unique_ptr<vndbStorage> storage,
                                          std::string* error = nullptr, bool* damaged = nullptr);
  static std::unique_ptr<vndbHandle> OpenFile(const std::string& path, std::string* error = nullptr,
                                              bool* damaged = nullptr);
  ~vndbHandle();

  bool CreateTable(const std::string& name, const std::vector<DbColumnSpec>& columns,
                   const std::vector<size_t>& keyPositions);
  bool AddTableColumn(const std::string& table, const DbColumnSpec& column);
  bool AddTableRecord(const std::string& table, const std::vector<DbColumnText>& values);
  bool Commit();
  void Rollback();
  // Told of every transaction's end through this handle: before it, while its pages are still
  // there, and after it, whether the transaction was kept or undone (a commit that fails is).
  class Watcher {
   public:
    virtual void BeforeEnd() = 0;
    virtual void AfterEnd(bool kept) = 0;

   protected:
    ~Watcher() = default;
  };
  void Watch(Watcher* watcher) { mWatchers.push_back(watcher); }
  void Unwatch(Watcher* watcher) { std::erase(mWatchers, watcher); }
  // Commits and closes the file; false, with the error set, when anything failed (the journal
  // then stays for the next open).
  bool Close();

  // The schema of the table named (case-insensitively), or null.
  std::shared_ptr<const DbTableSchema> FindSchema(const std::string& name) const;
  const std::vector<std::shared_ptr<DbTableSchema>>& Schemas() const { return mSchemas; }
  // Counts the changes of the cached schemas (a table made or given a column, the catalogue
  // read again after a rollback), so that a walk can tell its table's columns may be others.
  uint64_t SchemaVersion() const { return mSchemaVersion; }
  // The stored value of a column of the given type, converted from its text; a large-object
  // column's text is written as a new object. False with the error set on failure.
  bool ConvertValue(const DbColumn& column, const std::string& text, DbValue* value);
  // Whether the text converts to a value of the table's column, stored nowhere (any text suits
  // a large-object column); false with the error set when it does not. A table or column that
  // is not there passes: what names it is refused for that.
  bool ValueFits(const std::string& table, const std::string& column, const std::string& text);

  // For the operations of the handle's cursors, which report through the handle too.
  void ClearError();
  bool Fail(int32_t code, const std::string& message);
  // False with the error set when the file is damaged or read-only.
  bool CanWrite();
  // Whether the file may be used, first finishing the undoing of a failed commit when the disk
  // now allows it.
  bool Ready();
  // False with 2001 when the catalogue's entry of the table is damaged.
  bool SchemaSound(const DbTableSchema& schema);
  // Sets the error from the file when it found damage; true then.
  bool NoteFileDamage();
  // False with 2001: the catalogue names the table but its tree is gone (the file's own reason
  // when it found damage first).
  bool FailRowsMissing(const DbTableSchema& schema);

  int32_t ErrorCode() const { return mErrorCode; }
  const std::string& ErrorMessage() const { return mErrorMessage; }
  vndbFile& File() { return *mFile; }

 private:
  vndbHandle() = default;
  // Fails with the file's own reason when it found damage, else with `code` and `message`.
  bool FailFile(int32_t code, const std::string& message);
  // ConvertValue for every type but the large objects, which it leaves to ConvertValue.
  bool ParseValue(const DbColumn& column, const std::string& text, DbValue* value);
  // True when inserted, else false with the error of the outcome (`failure` for a failed write).
  bool Inserted(vndbTree::InsertResult result, std::string_view failure);
  bool LoadSchemas();
  std::shared_ptr<DbTableSchema> LoadSchema(uint32_t id, const std::string& name);
  bool ReadColumns(DbTableSchema& schema);

  std::unique_ptr<vndbFile> mFile;
  std::vector<std::shared_ptr<DbTableSchema>> mSchemas;
  // The tree rows were last inserted into, kept open for the next insert into its table (it
  // finds its root afresh each time); declared after the file it refers to.
  std::unique_ptr<vndbTree> mInsertTree;
  uint32_t mInsertTreeTable = 0;
  // Kept between inserts for their storage.
  std::vector<const DbColumn*> mInsertColumns;
  DbRow mInsertRow;
  Bytes mInsertRecord;
  bool mSchemasStale = false;
  uint64_t mSchemaVersion = 0;
  std::vector<Watcher*> mWatchers;
  int32_t mErrorCode = 0;
  std::string mErrorMessage;
};

}  // namespace vorn
