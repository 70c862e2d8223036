// The pictures of the runtime's own bitmap cursors. Each is drawn as 16 rows of pixel art so
// that what the user sees can be read off the source.
#include "windows/cursor_record.h"

namespace vorn {

namespace {

const CursorArt kHandOpen = {{
    ".......XX.......",
    "...XX.XooXXX....",
    "..XooXXooXooX...",
    "..XooXXooXooX.X.",
    "...XooXooXooXXoX",
    "...XooXooXooXooX",
    ".XX.XooooooooooX",
    "XooXXoooooooooX.",
    "XoooXoooooooooX.",
    ".XooooooooooooX.",
    "..XoooooooooooX.",
    "..XooooooooooX..",
    "...XoooooooooX..",
    "....XoooooooX...",
    ".....XoooooX....",
    ".....XoooooX....",
}, 8, 9};

const CursorArt kHandClosed = {{
    "................",
    "................",
    "................",
    "................",
    "....XX.XX.XX....",
    "...XooXooXooXX..",
    "...XooooooooXoX.",
    "....XoooooooooX.",
    "...XXoooooooooX.",
    "..XoooooooooooX.",
    "..XooooooooooX..",
    "...XoooooooooX..",
    "....XoooooooX...",
    ".....XoooooX....",
    ".....XoooooX....",
    "................",
}, 8, 9};

const CursorArt kEastWest = {{
    "................",
    "................",
    "................",
    "................",
    "....oo....oo....",
    "...oXo....oXo...",
    "..oXXooooooXXo..",
    ".oXXXXXXXXXXXXo.",
    "..oXXooooooXXo..",
    "...oXo....oXo...",
    "....oo....oo....",
    "................",
    "................",
    "................",
    "................",
    "................",
}, 7, 7};

const CursorArt kNorthSouth = {{
    "................",
    ".......o........",
    "......oXo.......",
    ".....oXXXo......",
    "....oXXXXXo.....",
    "....oooXooo.....",
    "......oXo.......",
    "......oXo.......",
    "......oXo.......",
    "......oXo.......",
    "....oooXooo.....",
    "....oXXXXXo.....",
    ".....oXXXo......",
    "......oXo.......",
    ".......o........",
    "................",
}, 7, 7};

const CursorArt kNortheastSouthwest = {{
    "................",
    ".........ooooo..",
    ".........oXXXo..",
    "..........oXXo..",
    ".........oXoXo..",
    "........oXo.oo..",
    ".......oXo......",
    "......oXo.......",
    ".....oXo........",
    "....oXo.........",
    "oo.oXo..........",
    "oXoXo...........",
    "oXXo............",
    "oXXXo...........",
    "ooooo...........",
    "................",
}, 7, 7};

const CursorArt kNorthwestSoutheast = {{
    "................",
    ".ooooo..........",
    ".oXXXo..........",
    ".oXXo...........",
    ".oXoXo..........",
    ".oo.oXo.........",
    ".....oXo........",
    "......oXo.......",
    ".......oXo......",
    "........oXo.....",
    ".........oXo.oo.",
    "..........oXoXo.",
    "...........oXXo.",
    "..........oXXXo.",
    "..........ooooo.",
    "................",
}, 7, 7};

const CursorArt kSplitterEastWest = {{
    "................",
    "................",
    ".......ooo......",
    ".......oXo......",
    ".......oXo......",
    ".......oXo......",
    "...oo..oXo..oo..",
    "..oXo..oXo..oXo.",
    ".oXXXXXXXXXXXXXo",
    "..oXo..oXo..oXo.",
    "...oo..oXo..oo..",
    ".......oXo......",
    ".......oXo......",
    ".......oXo......",
    ".......ooo......",
    "................",
}, 8, 8};

const CursorArt kSplitterNorthSouth = {{
    "................",
    "........o.......",
    ".......oXo......",
    "......oXXXo.....",
    "......ooXoo.....",
    "........X.......",
    "........X.......",
    "..ooooooXoooooo.",
    "..oXXXXXXXXXXXo.",
    "..ooooooXoooooo.",
    "........X.......",
    "........X.......",
    "......ooXoo.....",
    "......oXXXo.....",
    ".......oXo......",
    "........o.......",
}, 8, 8};

const CursorArt kFingerPointer = {{
    ".......X........",
    "......XoX.......",
    "......XoX.......",
    "......XoX.......",
    "......XoXXX.....",
    "......XoXoXXX...",
    "...XX.XoXoXoXX..",
    "..XoXXXoooooXoX.",
    "..XooXoooooooooX",
    "...XoooooooooooX",
    "....XooooooooooX",
    "....XoooooooooX.",
    ".....XoooooooX..",
    "......XooooooX..",
    "......XooooooX..",
    "......XXXXXXXX..",
}, 7, 0};

}  // namespace

const CursorArt* BuiltInCursorArt(int32_t index) {
  switch (index) {
    case 0: return &kHandOpen;
    case 1: return &kHandClosed;
    case 2: return &kEastWest;
    case 3: return &kNorthSouth;
    case 4: return &kNortheastSouthwest;
    case 5: return &kNorthwestSoutheast;
    case 10: return &kSplitterEastWest;
    case 11: return &kSplitterNorthSouth;
    case 12: return &kFingerPointer;
    default: return nullptr;
  }
}

CursorRecord CursorBitsFromArt(const CursorArt& art) {
  CursorRecord bits = {};
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const char pixel = art.rows[row][column];
      // GDK bitmaps keep the leftmost pixel of each byte in its least significant bit.
      const int byte = row * 2 + column / 8;
      const auto bit = static_cast<uint8_t>(1u << (column % 8));
      if (pixel == 'X' || pixel == 'o') bits.mask[byte] |= bit;
      if (pixel == 'X') bits.image[byte] |= bit;
    }
  }
  bits.hotSpotH = art.hotSpotX;
  bits.hotSpotV = art.hotSpotY;
  return bits;
}

}  // namespace vorn
