#include <errno.h>
#include <glib.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "strings/char_reader.h"
#include "strings/iso2022jp_codec.h"
#include "strings/system_encoding.h"
#include "strings/vstring.h"

namespace vorn {

namespace {

struct EncodingName {
  EncodingCode code;
  const char* iconvName;
};

// UTF-16 and UTF-32 strings hold the machine's own byte order, without a byte-order mark.
constexpr EncodingName kEncodingNames[] = {
    {kEncodingMacRoman, "MACINTOSH"},
    {kEncodingUTF16, "UTF-16LE"},
    {0x0201, "ISO-8859-1"},
    {0x0202, "ISO-8859-2"},
    {0x0203, "ISO-8859-3"},
    {0x0204, "ISO-8859-4"},
    {0x0205, "ISO-8859-5"},
    {0x0206, "ISO-8859-6"},
    {0x0207, "ISO-8859-7"},
    {0x0208, "ISO-8859-8"},
    {0x0209, "ISO-8859-9"},
    {0x020F, "ISO-8859-15"},
    {0x0500, "WINDOWS-1252"},
    {0x0501, "WINDOWS-1250"},
    {0x0502, "WINDOWS-1251"},
    {kEncodingASCII, "US-ASCII"},
    {0x0A01, "SHIFT_JIS"},
    {0x0920, "EUC-JP"},
    {0x0820, "ISO-2022-JP"},
    {0x0A05, "KOI8-R"},
    {kEncodingUTF8, "UTF-8"},
    {kEncodingUTF32, "UTF-32LE"},
};

class Converter {
 public:
  Converter(const char* to, const char* from) : mHandle(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(mHandle);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return mHandle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Handle() const { return mHandle; }

 private:
  iconv_t mHandle;
};

Converter& ConverterFor(const char* to, const char* from) {
  // A converter keeps state between calls, so each thread has its own.
  static thread_local std::map<std::pair<const char*, const char*>, Converter> cache;
  auto key = std::make_pair(to, from);
  auto found = cache.find(key);
  if (found == cache.end()) {
    found = cache.emplace(std::piecewise_construct, std::forward_as_tuple(key),
                          std::forward_as_tuple(to, from))
                .first;
  }
  return found->second;
}

// The replacement written for a character that can't be represented, in the target encoding.
std::vector<char> ReplacementFor(EncodingCode target) {
  switch (target) {
    case kEncodingUTF8: return {'\xEF', '\xBF', '\xBD'};
    case kEncodingUTF16: return {'\xFD', '\xFF'};
    case kEncodingUTF32: return {'\xFD', '\xFF', '\0', '\0'};
    default: return {'?'};
  }
}

// Length of the source unit to skip after an invalid sequence.
size_t SourceUnit(EncodingCode source) {
  if (source == kEncodingUTF16) return 2;
  if (source == kEncodingUTF32) return 4;
  return 1;
}

}  // namespace

const char* IconvNameForEncoding(EncodingCode encoding) {
  for (const EncodingName& entry : kEncodingNames) {
    if (entry.code == encoding) return entry.iconvName;
  }
  return nullptr;
}

EncodingCode EncodingForName(std::string_view name) {
  std::string text(name);
  // The runtime's UTF-16 and UTF-32 are little-endian; the Internet names leave the order open.
  if (g_ascii_strcasecmp(text.c_str(), "UTF-16") == 0) return kEncodingUTF16;
  if (g_ascii_strcasecmp(text.c_str(), "UTF-32") == 0) return kEncodingUTF32;
  for (const EncodingName& entry : kEncodingNames) {
    if (g_ascii_strcasecmp(entry.iconvName, text.c_str()) == 0) return entry.code;
  }
  return kEncodingUnknown;
}

bool ConvertsExactly(const string& text, string* utf8) {
  if (!IconvNameForEncoding(text.Encoding())) return false;
  int32_t replaced = 0;
  *utf8 = ConvertTextEncoding(text, kEncodingUTF8, &replaced);
  if (utf8->Encoding() != kEncodingUTF8) return false;
  // Every character the converter reads from ISO-2022-JP without a fault converts back to
  // itself (ASCII, JIS-Roman and JIS X 0208 alike), so reading it once tells.
  if (HasShiftStates(text.Encoding())) return replaced == 0;
  const string back = ConvertTextEncoding(*utf8, text.Encoding());
  // Text with shift states has more than one spelling of the same characters (ESC $ @ or ESC $ B
  // before kanji, an escape repeated): what counts is that the characters come back.
  if (HasShiftStates(text.Encoding())) return ConvertTextEncoding(back, kEncodingUTF8).View() == utf8->View();
  return back.View() == text.View();
}

namespace {

// The system converter reads Shift_JIS bytes 0x5C and 0x7E as JIS X 0201 (yen sign, overline);
// the runtime reads them as ASCII, as Windows text and file paths mean them and as every other
// text function and key does. No double-byte character converts to either of the two, so in
// UTF-8 they stand for those two bytes alone. Converting to Shift_JIS is left as the converter
// does it: a yen sign or overline still becomes 0x5C or 0x7E, as peers expect.
string ReadShiftJISBytesAsASCII(string utf8) {
  std::string_view view = utf8.View();
  if (view.find("\xC2\xA5") == std::string_view::npos && view.find("\xE2\x80\xBE") == std::string_view::npos) return utf8;
  std::string fixed;
  fixed.reserve(view.size());
  for (size_t i = 0; i < view.size();) {
    if (view.compare(i, 2, "\xC2\xA5") == 0) {
      fixed += '\\';
      i += 2;
    } else if (view.compare(i, 3, "\xE2\x80\xBE") == 0) {
      fixed += '~';
      i += 3;
    } else {
      fixed += view[i++];
    }
  }
  return string(fixed, kEncodingUTF8);
}

// Room for a conversion's output, which is sized for the worst case (four bytes a byte): left
// unwritten until the converter writes it, as clearing megabytes costs more than converting.
class OutputRoom {
 public:
  explicit OutputRoom(size_t size) : mBytes(new char[size]), mSize(size) {}
  char* data() { return mBytes.get(); }
  size_t size() const { return mSize; }
  void resize(size_t size) {
    std::unique_ptr<char[]> grown(new char[size]);
    std::memcpy(grown.get(), mBytes.get(), std::min(size, mSize));
    mBytes = std::move(grown);
    mSize = size;
  }

 private:
  std::unique_ptr<char[]> mBytes;
  size_t mSize;
};

// Read into UTF-8, then written from it. A fault read becomes U+FFFD there, which every target
// but UTF-16 and UTF-32 lacks and so writes as its own replacement: counted once either way.
string ThroughUTF8(const string& text, EncodingCode target, int32_t* replaced) {
  int32_t read = 0, written = 0;
  const string utf8 = ConvertTextEncoding(text, kEncodingUTF8, &read);
  if (utf8.Encoding() != kEncodingUTF8) return text;  // the source can't be read at all
  const string converted = ConvertTextEncoding(utf8, target, &written);
  if (converted.Encoding() != target) return text;  // nor written
  *replaced += target == kEncodingUTF16 || target == kEncodingUTF32 ? read : written;
  return converted;
}

// ISO-2022-JP is read and written by the runtime's own codec alone, to and from UTF-8, whatever
// the other encoding: the system converter, going on after a character its target lacks, writes
// the replacement inside a two-byte set, and reading, steps back into ASCII inside a pair.
string ByISO2022JPCodec(const string& text, EncodingCode target, int32_t* replaced) {
  const EncodingCode source = text.Encoding();
  if (source != kEncodingUTF8 && target != kEncodingUTF8) return ThroughUTF8(text, target, replaced);
  string converted;
  const bool done = source == kEncodingUTF8 ? EncodeISO2022JP(text.CString(), text.Length(), &converted, replaced)
                                            : DecodeISO2022JP(text.CString(), text.Length(), &converted, replaced);
  return done ? converted : text;
}

}  // namespace

string ConvertTextEncoding(const string& text, EncodingCode target) { return ConvertTextEncoding(text, target, nullptr); }

string ConvertTextEncoding(const string& text, EncodingCode target, int32_t* replaced) {
  int32_t ignored = 0;
  if (!replaced) replaced = &ignored;
  EncodingCode source = text.Encoding();
  if (source == kEncodingUnknown || target == kEncodingUnknown || source == target) return text;
  if (text.IsEmpty()) return string();
  if (target != kEncodingUTF16 && target != kEncodingUTF32 && IsASCIICompatible(source) &&
      IsAllASCII(text.CString(), text.Length())) {
    string retagged = text;
    retagged.SetEncoding(target);
    return retagged;
  }
  // The system converter below goes on after a fault from its initial state, which is only
  // sound for encodings without shift states.
  if (HasShiftStates(source) || HasShiftStates(target)) return ByISO2022JPCodec(text, target, replaced);
  // It also goes on one source unit on (UTF-8 it skips whole): a character of a single-byte
  // source, or a broken unit where the target holds every character; but after a character of
  // several units that the target lacks, its later units would be read as characters of their
  // own. Shift_JIS reads its backslash and tilde bytes only on the way to UTF-8.
  const bool holdsAll = target == kEncodingUTF8 || target == kEncodingUTF16 || target == kEncodingUTF32;
  const bool severalUnits = source == kEncodingUTF16 || source == kEncodingUTF32 || source == kEncodingEUCJP ||
                            source == kEncodingShiftJIS;
  if ((severalUnits && !holdsAll) || (source == kEncodingShiftJIS && target != kEncodingUTF8)) {
    return ThroughUTF8(text, target, replaced);
  }
  const char* from = IconvNameForEncoding(source);
  const char* to = IconvNameForEncoding(target);
  if (!from || !to) return text;
  Converter& converter = ConverterFor(to, from);
  if (!converter.Valid()) return text;
  iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);

  const std::vector<char> replacement = ReplacementFor(target);
  OutputRoom out(static_cast<size_t>(text.Length()) * 4 + 16);
  size_t used = 0;
  auto* in = const_cast<char*>(text.CString());
  size_t inLeft = static_cast<size_t>(text.Length());
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t result = iconv(converter.Handle(), &in, &inLeft, &outPtr, &outLeft);
    used = static_cast<size_t>(outPtr - out.data());
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: an invalid or unrepresentable character, or a sequence cut off at the
    // end. Write the replacement and go on after it.
    if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
    std::memcpy(out.data() + used, replacement.data(), replacement.size());
    used += replacement.size();
    ++*replaced;
    size_t skip = std::min(SourceUnit(source), inLeft);
    if (source == kEncodingUTF8) {
      // A valid character the target lacks is replaced whole; a broken sequence byte by byte.
      skip = static_cast<size_t>(UTF8FaultSize(in, static_cast<int32_t>(inLeft)));
    }
    in += skip;
    inLeft -= skip;
    iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
  }
  string converted(out.data(), RecordLength(static_cast<int64_t>(used)), target);
  return source == kEncodingShiftJIS ? ReadShiftJISBytesAsASCII(converted) : converted;
}

string string::ToUTF8() const {
  if (IsEmpty() || Encoding() == kEncodingUTF8) return *this;
  return ConvertTextEncoding(*this, kEncodingUTF8);
}

}  // namespace vorn
