// The held-key set and the key tables: classic Macintosh key codes to GDK key values and GDK
// key values to the runtime's character codes.
#include <algorithm>
#include <vector>

#include "windows/gtk_helper.h"
#include "vorn/window_api.h"

namespace vorn {

namespace {

struct HeldKey {
  uint32_t hardwareCode;
  uint32_t keyval;
};

std::vector<HeldKey>& HeldKeys() {
  static auto* keys = new std::vector<HeldKey>();
  return *keys;
}

// Latin letters are held under one value whatever the Shift state was.
uint32_t FoldLetterCase(uint32_t keyval) {
  return keyval >= 'a' && keyval <= 'z' ? keyval - 'a' + 'A' : keyval;
}

constexpr uint32_t kMacKeyTable[128] = {
    'A', 'S', 'D', 'F', 'H', 'G', 'Z', 'X',                                  // 0-7
    'C', 'V', 0, 'B', 'Q', 'W', 'E', 'R',                                    // 8-15
    'Y', 'T', '1', '2', '3', '4', '6', '5',                                  // 16-23
    187, '9', '7', 189, '8', '0', ']', 'O',                                  // 24-31
    'U', '[', 'I', 'P', 0xFF0D, 'L', 'J', '\'',                              // 32-39
    'K', ';', ',', ',', '/', 'N', 'M', '.',                                  // 40-47
    0xFF09, ' ', '`', 0xFF08, 0, 0xFF1B, 0, 0xFFEB,                          // 48-55
    0xFFE1, 0xFFE5, 0xFFE9, 0xFFE3, 0xFFE2, 0xFFEA, 0xFFE4, 0,               // 56-63
    0, 0xFFAE, 0, 0xFFAA, 0, 0xFFAB, 0, 0xFF7F,                              // 64-71
    0, 0, 0, 0xFFAF, 0xFF8D, 0, 0xFFAD, 0,                                   // 72-79
    0, 0xFFBD, 0xFFB0, 0xFFB1, 0xFFB2, 0xFFB3, 0xFFB4, 0xFFB5,               // 80-87
    0xFFB6, 0xFFB7, 0, 0xFFB8, 0xFFB9, 0, 0, 0,                              // 88-95
    0xFFC2, 0xFFC3, 0xFFC4, 0xFFC0, 0xFFC5, 0xFFC6, 0, 0xFFC8,               // 96-103
    0, 0xFF15, 0, 0xFF14, 0, 0xFFC7, 0, 0xFFC9,                              // 104-111
    0, 0xFF13, 0xFF63, 0xFF50, 0xFF55, 0xFFFF, 0xFFC1, 0xFF57,               // 112-119
    0xFFBF, 0xFF56, 0xFFBE, 0xFF51, 0xFF53, 0xFF54, 0xFF52, 0,               // 120-127
};

}  // namespace

void NoteKeyPressed(uint32_t hardwareCode, uint32_t keyval) {
  auto& keys = HeldKeys();
  // Auto-repeat presses of a held key add nothing.
  for (const HeldKey& k : keys) {
    if (k.hardwareCode == hardwareCode) return;
  }
  keys.push_back({hardwareCode, keyval});
}

void NoteKeyReleased(uint32_t hardwareCode) {
  auto& keys = HeldKeys();
  auto it = std::find_if(keys.begin(), keys.end(),
                         [&](const HeldKey& k) { return k.hardwareCode == hardwareCode; });
  if (it == keys.end()) return;
  keys.erase(it);
  if (keys.capacity() > 2 * std::max<size_t>(keys.size(), 16)) keys.shrink_to_fit();
}

void ClearHeldKeys() { HeldKeys().clear(); }

int32_t HeldKeyCount() { return static_cast<int32_t>(HeldKeys().size()); }

bool IsKeyValueHeld(uint32_t keyval) {
  uint32_t wanted = FoldLetterCase(keyval);
  for (const HeldKey& k : HeldKeys()) {
    if (FoldLetterCase(k.keyval) == wanted) return true;
  }
  return false;
}

uint32_t MacKeyCodeToKeyValue(int32_t code) {
  if (code < 0 || code >= 128) return 0;
  return kMacKeyTable[code];
}

bool IsMacKeyDown(int32_t code) {
  if (code < 0) return false;
  uint32_t keyval = code < 128 ? MacKeyCodeToKeyValue(code) : static_cast<uint32_t>(code);
  return keyval != 0 && IsKeyValueHeld(keyval);
}

uint8_t KeyValueToCharCode(uint32_t keyval) {
  switch (keyval) {
    case 0xFF0D: return 13;
    case 0xFF8D: return 3;
    case 0xFF08: return 8;
    case 0xFE20: return 9;
    case 0xFF50: case 0xFF58: case 0xFF95: case 0xFF9D: return 1;
    case 0xFF57: case 0xFF9C: return 4;
    case 0xFF55: case 0xFF9A: return 11;
    case 0xFF56: case 0xFF9B: return 12;
    case 0xFF51: case 0xFF96: return 28;
    case 0xFF53: case 0xFF98: return 29;
    case 0xFF52: case 0xFF97: return 30;
    case 0xFF54: case 0xFF99: return 31;
    case 0xFFFF: case 0xFF9F: return 127;
    case 0xFFAA: return '*';
    case 0xFFAB: return '+';
    case 0xFFAD: return '-';
    case 0xFFAE: return '.';
    case 0xFFAF: return '/';
    case 0xFFBD: return '=';
    default: return static_cast<uint8_t>(keyval & 0xFF);
  }
}

}  // namespace vorn

// The Keyboard object's AsyncKeyDown: whether the key is held at this moment.
extern "C" uint8_t keyboardAsyncKeyDown(VornRuntimeObject*, int32_t code) { return vorn::IsMacKeyDown(code) ? 1 : 0; }
