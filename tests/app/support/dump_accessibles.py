#!/usr/bin/python3
"""Prints the labels, sliders, combo boxes with their entries and list items of one running application, as its accessibility
tree reports them: role, name, screen x, y, width, height, current value and, for a label, the screen x and width of its
drawn text, tab-separated."""
import sys

import pyatspi

WANTED = {"label", "slider", "combo box", "frame", "list item", "text"}


def extents(accessible):
    try:
        box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height
    except Exception:
        return -1, -1, 0, 0


def value(accessible):
    """A slider's position, or the text of an entry (the shown row of a popup menu)."""
    try:
        return accessible.queryValue().currentValue
    except Exception:
        pass
    try:
        text = accessible.queryText()
        return text.getText(0, text.characterCount)
    except Exception:
        return ""


def text_extents(accessible):
    """Where a label's text is drawn, which its alignment moves within the label's box."""
    try:
        text = accessible.queryText()
        x, _, width, _ = text.getRangeExtents(0, text.characterCount, pyatspi.DESKTOP_COORDS)
        return x, width
    except Exception:
        return -1, 0


def walk(accessible, depth=0):
    if depth > 40:
        return
    try:
        role = accessible.getRoleName()
        name = accessible.name or ""
    except Exception:
        return
    if role in WANTED:
        x, y, w, h = extents(accessible)
        text_x, text_width = text_extents(accessible) if role == "label" else (-1, 0)
        print("\t".join([role, name.replace("\t", " ").replace("\n", " "), str(x), str(y), str(w), str(h),
                         str(value(accessible)).replace("\t", " ").replace("\n", " "), str(text_x), str(text_width)]))
    for i in range(accessible.childCount):
        try:
            child = accessible.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            walk(child, depth + 1)


def main():
    wanted = sys.argv[1] if len(sys.argv) > 1 else ""
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and (not wanted or app.name == wanted):
            walk(app)


main()
