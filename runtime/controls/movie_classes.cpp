#include "controls/movie_classes.h"

#include <cstddef>

#include "controls/binding_interfaces.h"
#include "controls/control_support.h"
#include "controls/movie_player_pane.h"
#include "files/folder_item_hooks.h"
#include "objects/runtime_object.h"
#include "strings/c_text.h"
#include "strings/runtime_error.h"
#include "vorn/movie_api.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

constexpr const char* kMovieSource = "../Common/RuntimeMovie";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define PLAYER_ROW(Name, type, getter, setter, member)                                             \
  PropertyRow {                                                                                    \
    0, Name, type, Fn(&getter), #getter, Fn(&setter), #setter,                                     \
        FieldOffset(offsetof(MoviePlayerObject, member)), 0                                        \
  }
#define READ_ONLY_ROW(Name, getter) PropertyRow{0, Name, "i4", Fn(&getter), #getter, nullptr, nullptr, 0, 0}

const PropertyRow kPlayerRows[] = {
    PLAYER_ROW("AutoPlay", "b", boolGetter, boolSetter, autoPlay),
    PLAYER_ROW("PlayerType", "i4", intGetter, intSetter, playerType),
    PLAYER_ROW("Controller", "i4", intGetter, MediaControllerSetter, controller),
    PLAYER_ROW("Looping", "b", boolGetter, mediaControllerLoopingSetter, looping),
    PLAYER_ROW("Palindrome", "b", boolGetter, mediaControllerPalindromeSetter, palindrome),
    PLAYER_ROW("AutoResize", "b", boolGetter, boolSetter, autoResize),
    PLAYER_ROW("Border", "b", boolGetter, boolSetter, border),
    PLAYER_ROW("Speaker", "b", boolGetter, boolSetter, speaker),
    PLAYER_ROW("HasStep", "b", boolGetter, boolSetter, hasStep),
    PLAYER_ROW("Movie", "o<Movie>", objGetter, mediaMovieSetter, movie),
    READ_ONLY_ROW("ControllerWidth", mediaControllerWidthGetter),
    READ_ONLY_ROW("ControllerHeight", mediaControllerHeightGetter),
    READ_ONLY_ROW("QTMovieController", mediaMovieControllerGetter),
};

const PropertyRow kMovieRows[] = {
    READ_ONLY_ROW("MovieWidth", movieWidthGetter),
    READ_ONLY_ROW("MovieHeight", movieHeightGetter),
    READ_ONLY_ROW("BaseMovieWidth", movieBaseWidthGetter),
    READ_ONLY_ROW("BaseMovieHeight", movieBaseHeightGetter),
    READ_ONLY_ROW("Handle", movieHandleGetter),
};

#undef PLAYER_ROW
#undef READ_ONLY_ROW

const ParamRow kPartParam[] = {{"v", "s", 0, 0}};
const MethodRow kPlayerMethods[] = {
    {"Play", "", nullptr, 0, Fn(&RuntimeMediaPlay), "RuntimeMediaPlay", nullptr, nullptr, 0, 0},
    {"Stop", "", nullptr, 0, Fn(&RuntimeMediaStop), "RuntimeMediaStop", nullptr, nullptr, 0, 0},
    {"getBoundPart", "o<Object>", kPartParam, 1, Fn(&mediaGetBoundPart), "mediaGetBoundPart", nullptr, nullptr, 0, 0},
};
const MethodRow kActionMethods[] = {
    {"PerformAction", "", nullptr, 0, Fn(&mediaActionPerformAction), "mediaActionPerformAction", nullptr, nullptr, 0,
     0},
};

EventRow sPlayerEvents[] = {
    {0, "Play", "", "", nullptr, 0},
    {0, "Stop", "", "", nullptr, 0},
    {0, "ControllerSizeChanged", "", "", nullptr, 0},
};

const EventImplRow kPlayerImpl[] = {{"CreatePane", Fn(&MediaCreatePane), "MediaCreatePane"}};

ObjectDefinition* BuildPlayerDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("MoviePlayer");
  definition->mSuper = GetRectControlClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(MoviePlayerObject));
  definition->mFinalizer = {Fn(&RuntimeMediaDestructor), "RuntimeMediaDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kPlayerRows, RowCount(kPlayerRows)));
  SetEventList(definition, sPlayerEvents, RowCount(sPlayerEvents));
  SetMethodList(definition, kPlayerMethods, RowCount(kPlayerMethods));
  AddEventImplementations(definition, kPlayerImpl, RowCount(kPlayerImpl));
  definition->AddInterface(GetBindingPartInterfaceDefinition());
  return definition;
}

ObjectDefinition* BuildActionDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("MoviePlayerAction");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(MoviePlayerActionObject));
  definition->mFinalizer = {Fn(&mediaActionDestructor), "mediaActionDestructor"};
  SetMethodList(definition, kActionMethods, RowCount(kActionMethods));
  definition->AddInterface(GetActionNotificationReceiverInterfaceDefinition());
  return definition;
}

ObjectDefinition* BuildMovieDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Movie");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(MovieObject));
  definition->mFinalizer = {Fn(&RuntimeMovieDestructor), "RuntimeMovieDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kMovieRows, RowCount(kMovieRows)));
  return definition;
}

RuntimeMedia* PaneOf(MoviePlayerObject* player) {
  return player ? dynamic_cast<RuntimeMedia*>(ControlPane(&player->base)) : nullptr;
}

// Looping and Palindrome: only a change reaches the player's movie controller.
void SetControllerFlag(RuntimeObject* object, uint8_t MoviePlayerObject::*field, uint8_t value) {
  MoviePlayerObject* player = AsMoviePlayerObject(object);
  const uint8_t flag = value ? 1 : 0;
  if (!player || player->*field == flag) return;
  player->*field = flag;
  QuickTimeControllerForPlayer(object);
}

MoviePlayerActionObject* AsAction(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetMoviePlayerActionClassDefinition())
             ? reinterpret_cast<MoviePlayerActionObject*>(object)
             : nullptr;
}

MovieObject* AsMovie(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetMovieClassDefinition())
             ? reinterpret_cast<MovieObject*>(object)
             : nullptr;
}

RuntimeObject* NewAction(RuntimeObject* player, MoviePlayerActionKind kind) {
  RuntimeObject* action = CreateInstanceFromDefinition(GetMoviePlayerActionClassDefinition());
  MoviePlayerActionObject* self = AsAction(action);
  if (!self) return action;
  RuntimeLockObject(player);
  self->target = player;
  self->kind = kind;
  return action;
}

}  // namespace

ObjectDefinition* GetMoviePlayerClassDefinition() {
  static ObjectDefinition* definition = BuildPlayerDefinition();
  return definition;
}

ObjectDefinition* GetMoviePlayerActionClassDefinition() {
  static ObjectDefinition* definition = BuildActionDefinition();
  return definition;
}

ObjectDefinition* GetMovieClassDefinition() {
  static ObjectDefinition* definition = [] {
    // FolderItem.OpenAsMovie: a Movie naming the file, for whatever library plays it.
    SetMovieFromFileHook([](const string& path) -> VornRuntimeObject* {
      RuntimeObject* object = CreateInstanceFromDefinition(GetMovieClassDefinition());
      if (MovieObject* movie = AsMovie(object)) movie->source = path.GetRetainedRep();
      return object;
    });
    return BuildMovieDefinition();
  }();
  return definition;
}

MoviePlayerObject* AsMoviePlayerObject(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetMoviePlayerClassDefinition())
             ? reinterpret_cast<MoviePlayerObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void MediaCreatePane(VornRuntimeObject* object) {
  MoviePlayerObject* player = AsMoviePlayerObject(object);
  if (!player) return;
  ControlObject* c = &player->base;
  if (c->pane) {
    ReportControlAssertion(__LINE__, "ctl->m_view == nil");
    return;
  }
  SubPane* parent = ControlParentPane(c);
  if (!parent) return;
  auto* pane = new RuntimeMedia(parent, c->tabPanelIndex, GetControlBounds(c), object, c->visible != 0);
  AttachControlPane(c, pane);
  SetControlBounds(c, pane->Bounds());
  QuickTimePreparePane(pane);
  JoinInitialParentPane(c, pane);
}

void RuntimeMediaDestructor(VornRuntimeObject* object) {
  MoviePlayerObject* player = AsMoviePlayerObject(object);
  if (!player) return;
  if (RuntimeMedia* pane = PaneOf(player)) pane->ForgetPlayer();
  RuntimeObject* movie = player->movie;
  player->movie = nullptr;
  RuntimeUnlockObject(movie);
}

void RuntimeMediaPlay(VornRuntimeObject* player) {
  if (AsMoviePlayerObject(player)) QuickTimePlay(player);
}

void RuntimeMediaStop(VornRuntimeObject* player) {
  if (AsMoviePlayerObject(player)) QuickTimeStop(player);
}

void MediaControllerSetter(VornRuntimeObject* object, int32_t, int32_t value) {
  if (MoviePlayerObject* player = AsMoviePlayerObject(object)) player->controller = value;
}

void mediaControllerLoopingSetter(VornRuntimeObject* player, int32_t, uint8_t value) {
  SetControllerFlag(player, &MoviePlayerObject::looping, value);
}

void mediaControllerPalindromeSetter(VornRuntimeObject* player, int32_t, uint8_t value) {
  SetControllerFlag(player, &MoviePlayerObject::palindrome, value);
}

void mediaMovieSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject* movie) {
  MoviePlayerObject* player = AsMoviePlayerObject(object);
  if (!player) return;
  RuntimeMedia* pane = PaneOf(player);
  if (pane) QuickTimeReleasePane(pane);
  // Held before the old one goes: setting the movie the player has already must not free it.
  RuntimeLockObject(movie);
  RuntimeObject* old = player->movie;
  player->movie = movie;
  RuntimeUnlockObject(old);
  if (pane) QuickTimeLoadHandle(pane, movie, nullptr);
}

int32_t mediaControllerWidthGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t mediaControllerHeightGetter(VornRuntimeObject*, int32_t) { return 0; }

int32_t mediaMovieControllerGetter(VornRuntimeObject* player, int32_t) {
  return AsMoviePlayerObject(player) ? QuickTimeControllerForPlayer(player) : 0;
}

int32_t WMPMovieControllerGetter(VornRuntimeObject*, int32_t) { return 0; }

VornRuntimeObject* mediaGetBoundPart(VornRuntimeObject* player, VornStringRecord* name) {
  if (!AsMoviePlayerObject(player)) return nullptr;
  const string text = string::Share(name);
  if (CStringCompareNoCase(text.CString(), "getPlayAction") == 0) return NewAction(player, kMoviePlayerPlay);
  if (CStringCompareNoCase(text.CString(), "getStopAction") == 0) return NewAction(player, kMoviePlayerStop);
  return nullptr;
}

void mediaActionPerformAction(VornRuntimeObject* action) {
  MoviePlayerActionObject* self = AsAction(action);
  if (!self) return;
  if (self->kind == kMoviePlayerPlay) {
    RuntimeMediaPlay(self->target);
  } else if (self->kind == kMoviePlayerStop) {
    RuntimeMediaStop(self->target);
  }
}

void mediaActionDestructor(VornRuntimeObject* action) {
  MoviePlayerActionObject* self = AsAction(action);
  if (!self) return;
  RuntimeObject* target = self->target;
  self->target = nullptr;
  RuntimeUnlockObject(target);
}

void RuntimeMovieDestructor(VornRuntimeObject* object) {
  MovieObject* movie = AsMovie(object);
  if (!movie) return;
  delete movie->native;
  movie->native = nullptr;
  ReleaseStringRep(movie->source);
  movie->source = nullptr;
}

int32_t movieWidthGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t movieHeightGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t movieBaseWidthGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t movieBaseHeightGetter(VornRuntimeObject*, int32_t) { return 0; }
int32_t movieHandleGetter(VornRuntimeObject*, int32_t) { return 0; }

VornRuntimeObject* openURLMovie(VornStringRecord*) { return nullptr; }

VornRuntimeObject* RuntimeGetMovieFromResource(int32_t) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kMovieSource, __LINE__, "0", "");
  return nullptr;
}

}  // extern "C"
