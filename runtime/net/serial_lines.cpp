// Modem lines of a Serial object: their levels, and watching them for changes.
#include <sys/ioctl.h>

#include <iterator>
#include <vector>

#include "net/serial_class.h"
#include "net/serial_control.h"
#include "net/serial_io.h"
#include "objects/arrays.h"
#include "strings/int_map.h"

namespace vorn {
namespace {

// The modem bit of each line index.
constexpr int kModemBits[] = {TIOCM_DTR, TIOCM_RTS, TIOCM_CTS, TIOCM_CAR, TIOCM_RNG, TIOCM_DSR};
constexpr int32_t kLineCount = static_cast<int32_t>(std::size(kModemBits));

IntMap<bool>* LineStates(VornSerialObject* serial) { return static_cast<IntMap<bool>*>(serial->lineStates); }

bool Watched(const VornSerialObject* serial, int32_t line) { return (serial->watchedLines >> line) & 1u; }

}  // namespace

bool SerialLineLevel(VornSerialObject* serial, int32_t line) {
  SerialIO* io = GetSerialIO();
  if (!io || !serial->isOpen || line < 0 || line >= kLineCount) return false;
  int bits = 0;
  // A port without modem lines reads as all lines low.
  if (io->GetModemBits(serial->descriptor, &bits) != 0) return false;
  return (bits & kModemBits[line]) != 0;
}

void WatchSerialLines(VornSerialObject* serial, VornArray* linesToWatch) {
  serial->watchedLines = 0;
  IntMap<bool>* states = LineStates(serial);
  if (states) states->Clear();
  if (!linesToWatch || linesToWatch->elementKind != kVornArrayInteger || linesToWatch->dimensions != 1) return;
  uint32_t mask = 0;
  int32_t upper = RuntimeUBound(linesToWatch);
  for (int32_t i = 0; i <= upper; ++i) {
    int32_t code = ArrayGetInteger(linesToWatch, i);
    if (code == -1) {
      mask = 0;
      break;
    }
    mask |= static_cast<uint32_t>(code);
  }
  serial->watchedLines = mask;
  for (int32_t line = 0; line < kLineCount && states; ++line)
    if (Watched(serial, line)) states->SetEntry(line, SerialLineLevel(serial, line));
}

void CheckSerialLines(VornSerialObject* serial) {
  IntMap<bool>* states = LineStates(serial);
  if (!states || (serial->watchedLines & ((1u << kLineCount) - 1)) == 0) return;
  std::vector<int32_t> changed;
  for (int32_t line = 0; line < kLineCount; ++line) {
    if (!Watched(serial, line)) continue;
    bool level = SerialLineLevel(serial, line);
    bool seen = false;
    states->GetEntry(line, &seen);
    if (level == seen) continue;
    states->SetEntry(line, level);
    changed.push_back(1 << line);
  }
  if (changed.empty()) return;
  VornArray* codes = CreateArray(kVornArrayInteger, 1, static_cast<int32_t>(changed.size()) - 1);
  if (!codes) return;
  for (size_t i = 0; i < changed.size(); ++i) ArraySetInteger(codes, static_cast<int32_t>(i), changed[i]);
  FireSerialLineStateChanged(serial, codes);
  RuntimeUnlockArray(codes);
}

}  // namespace vorn
