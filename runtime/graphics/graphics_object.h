// The language's Graphics object: a language object wrapping one drawing port. Canvases,
// pictures and print jobs hand one to compiled code; the object owns its port and disposes
// of it when it dies.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/graphics.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct GraphicsObject {
  RuntimeObject header;
  Graphics* port;     // owned; nil while a control has taken it back
  int32_t copies;     // the three page fields are filled by printing
  int32_t firstPage;
  int32_t lastPage;
};

constexpr int32_t kGraphicsPortOffset = static_cast<int32_t>(offsetof(GraphicsObject, port));
constexpr int32_t kGraphicsCopiesOffset = static_cast<int32_t>(offsetof(GraphicsObject, copies));
constexpr int32_t kGraphicsFirstPageOffset = static_cast<int32_t>(offsetof(GraphicsObject, firstPage));
constexpr int32_t kGraphicsLastPageOffset = static_cast<int32_t>(offsetof(GraphicsObject, lastPage));

// Built once; the same definition on every call.
ObjectDefinition* GetGraphicsClassDefinition();
// Enters "Graphics" in the intrinsic class map and its members in the entry-point directory.
void RegisterGraphicsClass();

// A new Graphics object (one reference for the caller) that takes the port over; the port
// is disposed of at once when no object can be made. Nil then, with the exception pending.
RuntimeObject* NewGraphicsObject(Graphics* port);
// The same over a new port drawing into the target (a pane, an offscreen pixmap, a page);
// the target stays the caller's and must outlive the object's port.
RuntimeObject* NewGraphicsObjectForTarget(GraphicsTarget* target);

// The fields of a Graphics object; nil for nil or for an object of another class.
GraphicsObject* GraphicsObjectFields(RuntimeObject* object);
// The port of a Graphics object; nil for nil or for an object of another class.
Graphics* GraphicsObjectPort(RuntimeObject* object);
// Gives the object another port; the one it held is disposed of. Other classes are ignored.
void SetGraphicsObjectPort(RuntimeObject* object, Graphics* port);
// Takes the port back without disposing of it; the object then draws nothing.
Graphics* DetachGraphicsObjectPort(RuntimeObject* object);
// What a print job records for the Copies, FirstPage and LastPage properties.
void SetGraphicsPageRange(RuntimeObject* object, int32_t copies, int32_t firstPage, int32_t lastPage);

// Polygon drawing for the language's point arrays: point k (from 1) is (elements[2k - 1],
// elements[2k]); drawn only when upperBound >= 1, points as given (the port places them).
void DrawGraphicsPolygon(RuntimeObject* object, const int32_t* elements, int32_t upperBound, bool fill);

}  // namespace vorn
