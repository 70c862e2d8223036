// The movie layer: what the MoviePlayer control and the Movie class ask of a platform movie
// library. This desktop has none, so every operation does nothing or answers that there is no
// movie; callers stay written against the layer so that a library could stand behind it.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"

namespace vorn {

class SubPane;
class Window;

// What a Movie object holds of an opened movie; deleted through the base.
class NativeMovie {
 public:
  virtual ~NativeMovie() = default;
};

// Whether a movie library can be used; `initialise` asks the library to start up too.
bool QuickTimeIsAvailable(bool initialise);
// True once a start-up succeeded; otherwise tries it (and remembers a success).
bool EnsureQuickTimeInitialized();

void QuickTimeReleasePane(SubPane* pane);
void QuickTimeWindowClosed(Window* window);
// Loads the movie into the pane; `handle` (optional) would receive the native movie and is
// left as it is when nothing was loaded.
void QuickTimeLoadHandle(SubPane* pane, RuntimeObject* movie, NativeMovie** handle);

void QuickTimePreparePane(SubPane* pane);
void QuickTimePlay(RuntimeObject* player);
void QuickTimeStop(RuntimeObject* player);
void QuickTimeDraw(SubPane* pane);
void QuickTimeShow(SubPane* pane);
void QuickTimeHide(SubPane* pane);
void QuickTimeResize(SubPane* pane);
void QuickTimeIdle();

// Lookups in the table of open movies: the movie shown in a pane, the controller of a player.
NativeMovie* QuickTimeMovieForPane(SubPane* pane);
int32_t QuickTimeControllerForPlayer(RuntimeObject* player);

}  // namespace vorn
