#include "graphics/movie_layer.h"

namespace vorn {

namespace {

// One open movie: the pane or player it belongs to is the key, the native movie and its
// controller are the payload.
struct OpenMovie {
  OpenMovie* next;
  NativeMovie* movie;
  int32_t controller;
  SubPane* pane;
  RuntimeObject* player;
};

// Nothing opens a movie without a library, so the table stays empty.
OpenMovie* sOpenMovies = nullptr;
bool sInitialized = false;

}  // namespace

bool QuickTimeIsAvailable(bool) { return false; }

bool EnsureQuickTimeInitialized() {
  if (!sInitialized) sInitialized = QuickTimeIsAvailable(true);
  return sInitialized;
}

void QuickTimeReleasePane(SubPane*) {}
void QuickTimeWindowClosed(Window*) {}
void QuickTimeLoadHandle(SubPane*, RuntimeObject*, NativeMovie**) {}
void QuickTimePreparePane(SubPane*) {}
void QuickTimePlay(RuntimeObject*) {}
void QuickTimeStop(RuntimeObject*) {}
void QuickTimeDraw(SubPane*) {}
void QuickTimeShow(SubPane*) {}
void QuickTimeHide(SubPane*) {}
void QuickTimeResize(SubPane*) {}
void QuickTimeIdle() {}

NativeMovie* QuickTimeMovieForPane(SubPane* pane) {
  for (OpenMovie* entry = sOpenMovies; entry; entry = entry->next) {
    if (pane && entry->pane == pane) return entry->movie;
  }
  return nullptr;
}

int32_t QuickTimeControllerForPlayer(RuntimeObject* player) {
  for (OpenMovie* entry = sOpenMovies; entry; entry = entry->next) {
    if (player && entry->player == player) return entry->controller;
  }
  return 0;
}

}  // namespace vorn
