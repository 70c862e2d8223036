// The language's MoviePlayer control, its MoviePlayerAction binding part and the Movie class,
// over the movie layer.
#pragma once

#include <cstdint>

#include "graphics/movie_layer.h"
#include "objects/object_definition.h"
#include "strings/vstring.h"
#include "windows/control.h"

namespace vorn {

struct MoviePlayerObject {
  VornControlObject base;
  int32_t controller;
  int32_t playerType;
  uint8_t border;
  uint8_t hasStep;
  uint8_t speaker;
  uint8_t autoResize;
  uint8_t looping;
  uint8_t palindrome;
  uint8_t autoPlay;
  RuntimeObject* movie;  // held
};

struct MovieObject {
  VornRuntimeObject header;
  NativeMovie* native;  // owned
  StringRep* source;    // held
};

enum MoviePlayerActionKind : int32_t { kMoviePlayerPlay = 1, kMoviePlayerStop = 2 };

struct MoviePlayerActionObject {
  VornRuntimeObject header;
  RuntimeObject* target;  // held
  int32_t kind;
};

ObjectDefinition* GetMoviePlayerClassDefinition();
ObjectDefinition* GetMoviePlayerActionClassDefinition();
ObjectDefinition* GetMovieClassDefinition();

// The object as a MoviePlayer; nil for nil and for anything else.
MoviePlayerObject* AsMoviePlayerObject(RuntimeObject* object);

}  // namespace vorn
