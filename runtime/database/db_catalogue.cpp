// The catalogue read into the handle's schemas. A table's rows are reached only through its
// entry in "sys$tables", its rows in "sys$fields" and the tree named by its id, so damage there
// would read as wrong answers without an error unless it is caught here: an entry whose tree is
// missing, two entries with one id or name, column positions other than 0 to n-1 each once, key
// positions with gaps, catalogue rows out of key order, column rows of no table. Damage of one
// table's entry stays with its schema (its rows are refused, the other tables stay readable)
// and becomes the handle's damage.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "database/db_handle.h"
#include "database/db_tree.h"

namespace vorn {
namespace {

Bytes IntegerKey(uint32_t value) {
  Bytes key;
  uint8_t bytes[4];
  DbPut32(bytes, value);
  DbAppendKeyValue(key, kDbInteger, bytes, 4);
  return key;
}

void Damage(DbTableSchema* schema, const std::string& reason) {
  if (schema && schema->damage.empty()) schema->damage = reason;
}

// The current row of "sys$fields": its table id, the column and its key position (0: none);
// false when a field is missing, of another type or out of range.
bool ReadColumnRow(vndbTree& fields, uint32_t* table, DbColumn* column, size_t* keyAt) {
  DbFieldRef id = fields.GetField(0);
  DbFieldRef position = fields.GetField(1);
  DbFieldRef name = fields.GetField(2);
  DbFieldRef allowsNull = fields.GetField(3);
  DbFieldRef type = fields.GetField(4);
  DbFieldRef key = fields.GetField(5);
  if (id.type != kDbInteger || position.type != kDbInteger || name.type != kDbVarchar ||
      allowsNull.type != kDbSmallint || type.type != kDbSmallint || (key.type != 0 && key.type != kDbSmallint))
    return false;
  const int64_t at = DbDecodeField(position).integer;
  const int64_t code = DbDecodeField(type).integer;
  const int64_t keyPosition = key.type ? DbDecodeField(key).integer : 0;
  if (at < 0 || size_t(at) >= kDbMostColumns || code < 0 || !DbIsStoredType(uint32_t(code)) || keyPosition < 0 ||
      size_t(keyPosition) > kDbMostColumns)
    return false;
  *table = DbGet32(id.value);
  column->position = uint8_t(at);
  column->name = DbDecodeField(name).Text();
  column->allowsNull = DbDecodeField(allowsNull).integer != 0;
  column->type = uint8_t(code);
  *keyAt = size_t(keyPosition);
  return true;
}

// One table's columns as their rows are read, checked against what creating the table and
// adding columns write: positions 0 to n-1 each once (a row's fields are exactly those), key
// positions 1 to k each once.
class ColumnSet {
 public:
  explicit ColumnSet(DbTableSchema& schema) : mSchema(schema) {}

  void Add(const DbColumn& column, size_t keyAt) {
    if (keyAt > 0) {
      if (mKeyFilled.size() < keyAt) {
        mKeyFilled.resize(keyAt);
        mSchema.primaryKey.resize(keyAt);
      }
      if (mKeyFilled[keyAt - 1]) mKeysSound = false;
      mKeyFilled[keyAt - 1] = true;
      mSchema.primaryKey[keyAt - 1] = column.position;
    }
    mSchema.columns.push_back(column);
  }

  // Fills the field types; the schema's damage is set when the columns are not sound.
  void Finish() {
    const std::string& table = mSchema.name;
    if (mSchema.columns.empty()) return Damage(&mSchema, "the table " + table + " has no columns in the catalogue");
    std::vector<bool> taken(mSchema.columns.size());
    for (const DbColumn& column : mSchema.columns) {
      if (column.position >= taken.size() || taken[column.position])
        return Damage(&mSchema, "the columns of table " + table + " in the catalogue do not number its fields");
      taken[column.position] = true;
      mSchema.fieldTypes[column.position] = column.type;
    }
    for (bool filled : mKeyFilled) mKeysSound = mKeysSound && filled;
    if (!mKeysSound) Damage(&mSchema, "the primary key of table " + table + " in the catalogue has gaps");
  }

 private:
  DbTableSchema& mSchema;
  std::vector<bool> mKeyFilled;
  bool mKeysSound = true;
};

// Walks a catalogue tree's visible rows, checking that their keys rise.
class CatalogueWalk {
 public:
  explicit CatalogueWalk(std::unique_ptr<vndbTree> tree) : mTree(std::move(tree)) {}
  explicit operator bool() const { return mTree != nullptr; }
  vndbTree& Tree() { return *mTree; }

  // The next visible row; `ordered` false when its key is not above the one before.
  bool Next(bool* ordered) {
    while (mTree->Next()) {
      if (!mTree->IsCurrentVisible()) continue;
      mTree->CurrentKeyInto(mKey);
      *ordered = mPrevious.empty() || DbCompareKeys(mPrevious, mKey) < 0;
      mPrevious.swap(mKey);
      return true;
    }
    return false;
  }

 private:
  std::unique_ptr<vndbTree> mTree;
  Bytes mPrevious;
  Bytes mKey;
};

}  // namespace

bool vndbHandle::LoadSchemas() {
  mInsertTree.reset();
  vndbFile::Scope scope(*mFile);
  mSchemas.clear();
  ++mSchemaVersion;
  // Damage met while reading the catalogue fails the load; damage found before it (a reload
  // after a rollback) leaves what can be read readable.
  const bool damagedBefore = mFile->IsDamaged();
  const uint64_t troubles = mFile->Troubles();
  std::vector<std::string> trees;
  if (!vndbTree::ListTrees(*mFile, &trees)) return false;
  std::unordered_set<std::string> treeNames;
  std::string fault;  // damage of the whole catalogue rather than of one table
  for (const std::string& tree : trees)
    if (!treeNames.insert(DbFoldName(tree)).second && fault.empty()) fault = "two trees are named " + tree;

  CatalogueWalk tables(vndbTree::OpenNamedTree(*mFile, kDbTablesTree, {1}));
  if (!tables) {
    if (!mFile->IsDamaged()) mFile->ReportDamage("the catalogue of tables is missing");
    return false;
  }
  std::vector<std::shared_ptr<DbTableSchema>> loaded;  // in name order
  std::unordered_map<uint32_t, DbTableSchema*> byId;
  std::unordered_map<std::string, DbTableSchema*> byName;
  for (bool ordered = true; tables.Next(&ordered);) {
    DbFieldRef id = tables.Tree().GetField(0);
    DbFieldRef name = tables.Tree().GetField(1);
    if (id.type != kDbInteger || name.type != kDbVarchar) {
      mFile->ReportDamage("a row of the catalogue of tables is malformed");
      return false;
    }
    auto schema = std::make_shared<DbTableSchema>();
    schema->id = DbGet32(id.value);
    schema->name = DbDecodeField(name).Text();
    if (!ordered) {
      Damage(schema.get(), "the catalogue of tables is out of order at table " + schema->name);
      Damage(loaded.empty() ? nullptr : loaded.back().get(), schema->damage);
    }
    auto [sameId, freshId] = byId.emplace(schema->id, schema.get());
    if (!freshId) {
      const std::string shared = "the tables " + sameId->second->name + " and " + schema->name +
                                 " share one id in the catalogue";
      Damage(sameId->second, shared);
      Damage(schema.get(), shared);
    }
    auto [sameName, freshName] = byName.emplace(DbFoldName(schema->name), schema.get());
    if (!freshName) {
      const std::string twice = "two tables are named " + schema->name + " in the catalogue";
      Damage(sameName->second, twice);
      Damage(schema.get(), twice);
    }
    if (!treeNames.count(std::to_string(schema->id)))
      Damage(schema.get(), "the rows of table " + schema->name + " are missing");
    loaded.push_back(std::move(schema));
  }

  CatalogueWalk fields(vndbTree::OpenNamedTree(*mFile, kDbFieldsTree, {0, 2}));
  if (!fields) {
    if (!mFile->IsDamaged()) mFile->ReportDamage("the catalogue of columns is missing");
    return false;
  }
  std::unordered_map<uint32_t, ColumnSet> columns;
  for (const auto& schema : loaded) columns.try_emplace(schema->id, *schema);
  DbTableSchema* previous = nullptr;
  for (bool ordered = true; fields.Next(&ordered);) {
    uint32_t id = 0;
    DbColumn column;
    size_t keyAt = 0;
    if (!ReadColumnRow(fields.Tree(), &id, &column, &keyAt)) {
      mFile->ReportDamage("a row of the catalogue of columns is malformed");
      return false;
    }
    auto table = byId.find(id);
    DbTableSchema* schema = table == byId.end() ? nullptr : table->second;
    if (!ordered) {
      const std::string reason = "the catalogue of columns is out of order at table " +
                                 (schema ? schema->name : previous ? previous->name : std::to_string(id));
      Damage(schema, reason);
      Damage(previous, reason);
      if (!schema && !previous && fault.empty()) fault = reason;
    }
    previous = schema;
    if (!schema) {
      if (fault.empty()) fault = "the catalogue holds columns of no table";
      continue;
    }
    columns.at(id).Add(column, keyAt);
  }
  if (mFile->Troubles() != troubles) return false;
  for (auto& [id, set] : columns) set.Finish();

  // Newest first, as tables made later are added.
  mSchemas.assign(loaded.rbegin(), loaded.rend());
  for (const auto& schema : loaded)
    if (fault.empty()) fault = schema->damage;
  if (!fault.empty() && !mFile->IsDamaged()) mFile->ReportDamage(fault);
  return !damagedBefore;
}

std::shared_ptr<DbTableSchema> vndbHandle::LoadSchema(uint32_t id, const std::string& name) {
  auto schema = std::make_shared<DbTableSchema>();
  schema->id = id;
  schema->name = name;
  if (!ReadColumns(*schema)) return nullptr;
  mSchemas.insert(mSchemas.begin(), schema);
  ++mSchemaVersion;
  return schema;
}

bool vndbHandle::ReadColumns(DbTableSchema& schema) {
  std::unique_ptr<vndbTree> fields = vndbTree::OpenNamedTree(*mFile, kDbFieldsTree, {0, 2});
  if (!fields) {
    if (!mFile->IsDamaged()) mFile->ReportDamage("the catalogue of columns is missing");
    return false;
  }
  Bytes prefix = IntegerKey(schema.id);
  fields->SetFilter(prefix);
  bool found = false;
  if (!fields->Find(prefix, &found)) return false;
  ColumnSet columns(schema);
  while (fields->Next()) {
    size_t length = 0;
    const uint8_t* record = fields->CurrentRecord(&length);
    if (fields->EndsKeyWalk(record, length, prefix)) break;
    if (!fields->Visible(record, length)) continue;
    uint32_t id = 0;
    DbColumn column;
    size_t keyAt = 0;
    if (!ReadColumnRow(*fields, &id, &column, &keyAt)) {
      mFile->ReportDamage("a row of the catalogue of columns is malformed");
      return false;
    }
    columns.Add(column, keyAt);
  }
  columns.Finish();
  return !mFile->IsDamaged();
}

}  // namespace vorn
