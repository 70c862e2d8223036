// Databases and cursors still open at quit are closed by one shutdown task: cursors first,
// then databases, so that engines can flush and let their files go. The lists hold no
// references; an object leaves them when it is closed.
#pragma once

#include <list>
#include <vector>

#include "base/shutdown_task.h"
#include "objects/runtime_object.h"

namespace vorn {

class dbShutdownContext : public runShutdownTask {
 public:
  // The one context, made (and entered among the shutdown tasks) on first use.
  static dbShutdownContext* GetInstance();

  static void AddDatabase(dbShutdownContext* context, RuntimeObject* database);
  static void AddCursor(dbShutdownContext* context, RuntimeObject* cursor);
  // Unlist the object from whichever context lists it; nothing when none does.
  static void RemoveCursor(RuntimeObject* cursor);
  static void RemoveDatabase(RuntimeObject* database);
  // The listed cursors whose database is the given one, newest first.
  static std::vector<RuntimeObject*> CursorsOfDatabase(RuntimeObject* database);
  // Closes every listed cursor whose database is the given one.
  static void CloseCursorsOfDatabase(RuntimeObject* database);
  // Closes every listed cursor, then every listed database.
  static void CloseAll(dbShutdownContext* context);

  static bool ListsDatabase(RuntimeObject* database);
  static bool ListsCursor(RuntimeObject* cursor);

  ~dbShutdownContext() override;

 private:
  dbShutdownContext();

  dbShutdownContext* mNext = nullptr;
  std::list<RuntimeObject*> mDatabases;  // newest first
  std::list<RuntimeObject*> mCursors;    // newest first
};

}  // namespace vorn
