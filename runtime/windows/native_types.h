// Forward declarations of the toolkit types that pane headers mention only by pointer. The
// toolkit's own headers stay inside the .cpp files.
#pragma once

struct _GtkWidget;
struct _GdkGC;
struct _GdkDrawable;
struct _PangoFontDescription;
struct _GtkClipboard;

namespace vorn {

using NativeWidget = struct _GtkWidget*;
using NativeGC = struct _GdkGC*;
using NativeDrawable = struct _GdkDrawable*;

class Graphics;      // the drawing port
class DragItem;      // the language's drag object
struct MouseCursor;  // a cursor record of the cursor layer

}  // namespace vorn
