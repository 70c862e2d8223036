#include "database/db_shutdown_context.h"

#include <algorithm>
#include <vector>

#include "database/database_objects.h"

namespace vorn {
namespace {

dbShutdownContext* sContexts = nullptr;  // newest first
dbShutdownContext* sInstance = nullptr;

bool Unlink(std::list<RuntimeObject*>& list, RuntimeObject* object) {
  auto found = std::find(list.begin(), list.end(), object);
  if (found == list.end()) return false;
  list.erase(found);
  return true;
}

// Closing runs engine code and may release the last reference a cursor held to its database;
// the object is held so that it outlives its own close.
template <typename Close>
void CloseHeld(RuntimeObject* object, Close close) {
  RuntimeLockObject(object);
  close(object);
  RuntimeUnlockObject(object);
}

}  // namespace

dbShutdownContext::dbShutdownContext() : mNext(sContexts) { sContexts = this; }

dbShutdownContext::~dbShutdownContext() {
  CloseAll(this);
  if (sInstance == this) sInstance = nullptr;
  for (dbShutdownContext** link = &sContexts; *link; link = &(*link)->mNext) {
    if (*link == this) {
      *link = mNext;
      break;
    }
  }
}

dbShutdownContext* dbShutdownContext::GetInstance() {
  if (!sInstance) sInstance = new dbShutdownContext();
  return sInstance;
}

void dbShutdownContext::AddDatabase(dbShutdownContext* context, RuntimeObject* database) {
  if (context && database) context->mDatabases.push_front(database);
}

void dbShutdownContext::AddCursor(dbShutdownContext* context, RuntimeObject* cursor) {
  if (context && cursor) context->mCursors.push_front(cursor);
}

void dbShutdownContext::RemoveCursor(RuntimeObject* cursor) {
  for (dbShutdownContext* context = sContexts; context; context = context->mNext) {
    if (Unlink(context->mCursors, cursor)) return;
  }
}

void dbShutdownContext::RemoveDatabase(RuntimeObject* database) {
  for (dbShutdownContext* context = sContexts; context; context = context->mNext) {
    if (Unlink(context->mDatabases, database)) return;
  }
}

bool dbShutdownContext::ListsDatabase(RuntimeObject* database) {
  for (dbShutdownContext* context = sContexts; context; context = context->mNext) {
    if (std::ranges::count(context->mDatabases, database)) return true;
  }
  return false;
}

bool dbShutdownContext::ListsCursor(RuntimeObject* cursor) {
  for (dbShutdownContext* context = sContexts; context; context = context->mNext) {
    if (std::ranges::count(context->mCursors, cursor)) return true;
  }
  return false;
}

std::vector<RuntimeObject*> dbShutdownContext::CursorsOfDatabase(RuntimeObject* database) {
  std::vector<RuntimeObject*> cursors;
  for (dbShutdownContext* context = sContexts; context; context = context->mNext) {
    for (RuntimeObject* cursor : context->mCursors) {
      DatabaseCursorObject* fields = CursorFields(cursor);
      if (fields && fields->database == database) cursors.push_back(cursor);
    }
  }
  return cursors;
}

void dbShutdownContext::CloseCursorsOfDatabase(RuntimeObject* database) {
  // Collected first: each close unlinks its own node, and may close further cursors.
  std::vector<RuntimeObject*> doomed = CursorsOfDatabase(database);
  for (RuntimeObject* cursor : doomed) RuntimeLockObject(cursor);
  for (RuntimeObject* cursor : doomed) {
    cursorClose(cursor);
    RuntimeUnlockObject(cursor);
  }
}

void dbShutdownContext::CloseAll(dbShutdownContext* context) {
  if (!context) return;
  while (!context->mCursors.empty()) {
    RuntimeObject* cursor = context->mCursors.front();
    CloseHeld(cursor, cursorClose);
    // A close that left its node behind must not stop the walk.
    Unlink(context->mCursors, cursor);
  }
  while (!context->mDatabases.empty()) {
    RuntimeObject* database = context->mDatabases.front();
    CloseHeld(database, databaseClose);
    Unlink(context->mDatabases, database);
  }
}

}  // namespace vorn
