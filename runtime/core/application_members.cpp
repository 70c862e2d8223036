#include "core/application_members.h"

#include <fcntl.h>
#include <glib.h>
#include <libintl.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "core/application.h"
#include "base/background_task.h"
#include "core/pollable.h"
#include "base/resource_manager.h"
#include "core/run_loop.h"
#include "objects/runtime_object.h"
#include "strings/system_encoding.h"
#include "vorn/application_abi.h"

namespace vorn {

namespace {

// A language object polled through its _Pollable interface; holds the object while listed.
class RuntimeObjectPoll final : public Pollable {
 public:
  explicit RuntimeObjectPoll(RuntimeObject* object) : mObject(object) { RuntimeLockObject(object); }
  ~RuntimeObjectPoll() { RuntimeUnlockObject(mObject); }
  RuntimeObjectPoll(const RuntimeObjectPoll&) = delete;
  RuntimeObjectPoll& operator=(const RuntimeObjectPoll&) = delete;

  RuntimeObject* Object() const { return mObject; }

  // The handler may remove this very poller: nothing of it is touched after the call.
  void Poll() override {
    RuntimeObject* object = mObject;
    auto poll = reinterpret_cast<void (*)(RuntimeObject*)>(
        LookupInterfaceMethod(object, GetPollableInterfaceDefinition(), string("Poll")));
    if (!poll) return;
    RuntimeLockObject(object);
    poll(object);
    RuntimeUnlockObject(object);
  }

 private:
  RuntimeObject* mObject;
};

std::vector<std::unique_ptr<RuntimeObjectPoll>>& Pollers() {
  static auto* pollers = new std::vector<std::unique_ptr<RuntimeObjectPoll>>();
  return *pollers;
}

const MethodRow kPollableRows[] = {{"Poll", "", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0}};

gboolean EndWait(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return FALSE;
}

}  // namespace

ObjectDefinition* GetPollableInterfaceDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("_Pollable");
    d->mFlags = kDefinitionInterface;
    SetMethodList(d, kPollableRows, RowCount(kPollableRows));
    return d;
  }();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* getAppObject(void) {
  RuntimeObject* app = GetApplicationObject() ? GetApplicationObject() : GetConsoleApplicationObject();
  RuntimeLockObject(app);
  return app;
}

int32_t AppIntegerVersionStuffGetter(VornRuntimeObject*, int32_t index) {
  const VersionRecord* record = GetResourceManager().GetVersionResource();
  return record ? static_cast<int32_t>(record->Number(index)) : -1;
}

VornStringRecord* AppStringVersionStuffGetter(VornRuntimeObject*, int32_t index) {
  const VersionRecord* record = GetResourceManager().GetVersionResource();
  if (!record) return nullptr;
  return string(std::string_view(record->String(index)), kEncodingUTF8).GetRetainedRep();
}

void ApplicationOpenDocument(VornRuntimeObject* app, VornRuntimeObject* item) {
  FireOpenDocument(app ? app : GetApplicationObject(), item);
}

void ApplicationDoSingleEvent(VornRuntimeObject*, int32_t milliseconds) {
  if (milliseconds <= 0) {
    RunMainLoopOnce(false);
    return;
  }
  bool over = false;
  guint timeout = g_timeout_add(static_cast<guint>(milliseconds), &EndWait, &over);
  while (!over && !GetQuitFlag()) RunMainLoopOnce(true);
  if (!over) g_source_remove(timeout);
}

void ApplicationAddPollableObject(VornRuntimeObject*, VornRuntimeObject* object) {
  if (!LookupInterfaceMethod(object, GetPollableInterfaceDefinition(), string("Poll"))) return;
  Pollers().push_back(std::make_unique<RuntimeObjectPoll>(object));
  AddPollable(Pollers().back().get());
}

// The most recent registration of the object goes, as the pollable list removes its pointer.
void ApplicationRemovePollableObject(VornRuntimeObject*, VornRuntimeObject* object) {
  auto& pollers = Pollers();
  for (auto it = pollers.rbegin(); it != pollers.rend(); ++it) {
    if ((*it)->Object() != object) continue;
    std::unique_ptr<RuntimeObjectPoll> poller = std::move(*it);
    pollers.erase(std::next(it).base());
    RemovePollable(poller.get());
    return;
  }
}

uint8_t DaemonizeApp(VornRuntimeObject*) {
  pid_t child = fork();
  if (child < 0) return 0;
  // The parent leaves at once and without its exit-time work: the temporary files and
  // shutdown tasks belong to the program that goes on.
  if (child > 0) _exit(0);
  setsid();
  int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) dup2(null, descriptor);
    if (null > 2) close(null);
  }
  return 1;
}

uint8_t getUserCancelled(void) { return UserCancelFlag() ? 1 : 0; }

double RuntimeMicroseconds(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

VornStringRecord* RuntimeGetTextFileFromResourceManager(int32_t id) {
  return GetResourceManager().GetTextResource(static_cast<uint16_t>(id), GetSystemTextEncoding()).GetRetainedRep();
}

void VN_ApplicationQuit(void) { ApplicationQuit(nullptr, 0, 0); }

// The translation in the program's message catalogue (text domain: the executable's name), the
// text itself when there is none. Catalogues hold UTF-8; the key is looked up as UTF-8 too.
VornStringRecord* ApplicationGetLocalizedString(VornRuntimeObject*, VornStringRecord* text, VornStringRecord*) {
  string key = string::Share(text).ToUTF8();
  if (key.IsEmpty()) return string().GetRetainedRep();
  const char* name = g_get_prgname();
  const char* found = name ? dgettext(name, key.CString()) : key.CString();
  if (found == key.CString()) return string::Share(text).GetRetainedRep();
  return string(std::string_view(found), kEncodingUTF8).GetRetainedRep();
}

void RuntimeScriptExecute(VornStringRecord*) {}
intptr_t RuntimeScriptFunction(VornStringRecord*) { return 0; }
void RuntimeStartParamScript(VornStringRecord*) {}
void RuntimeAddStringScriptParam(VornStringRecord*) {}
void RuntimeAddIntegerScriptParam(int32_t) {}
void RuntimeCompleteParamScriptExecute(void) {}
intptr_t RuntimeCompleteParamScriptFunction(void) { return 0; }

}  // extern "C"
