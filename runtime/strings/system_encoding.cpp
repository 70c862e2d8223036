#include "strings/system_encoding.h"

#include <glib.h>
#include <langinfo.h>

#include <string>

namespace vorn {

namespace {

struct CharsetAlias {
  const char* name;  // upper case, without "-" and "_"
  EncodingCode code;
};

constexpr CharsetAlias kCharsetAliases[] = {
    {"UTF8", kEncodingUTF8},
    {"ANSIX3.41968", kEncodingUTF8},  // the C locale
    {"ASCII", kEncodingUTF8},
    {"USASCII", kEncodingUTF8},
    {"ISO88591", 0x0201},
    {"ISO88592", 0x0202},
    {"ISO88593", 0x0203},
    {"ISO88594", 0x0204},
    {"ISO88595", 0x0205},
    {"ISO88596", 0x0206},
    {"ISO88597", 0x0207},
    {"ISO88598", 0x0208},
    {"ISO88599", 0x0209},
    {"ISO885915", 0x020F},
    {"CP1252", 0x0500},
    {"WINDOWS1252", 0x0500},
    {"CP1250", 0x0501},
    {"WINDOWS1250", 0x0501},
    {"CP1251", 0x0502},
    {"WINDOWS1251", 0x0502},
    {"SHIFTJIS", kEncodingShiftJIS},
    {"SJIS", kEncodingShiftJIS},
    {"EUCJP", kEncodingEUCJP},
    {"KOI8R", 0x0A05},
    {"MACINTOSH", kEncodingMacRoman},
};

std::string NormalisedCharsetName(const char* name) {
  std::string normalised;
  for (const char* p = name; *p; ++p) {
    if (*p == '-' || *p == '_') continue;
    normalised.push_back(g_ascii_toupper(*p));
  }
  return normalised;
}

}  // namespace

EncodingCode EncodingFromCharsetName(const char* name) {
  if (!name) return kEncodingUnknown;
  std::string normalised = NormalisedCharsetName(name);
  for (const CharsetAlias& alias : kCharsetAliases) {
    if (normalised == alias.name) return alias.code;
  }
  return kEncodingUnknown;
}

EncodingCode GetSystemTextEncoding() {
  EncodingCode code = EncodingFromCharsetName(nl_langinfo(CODESET));
  return code == kEncodingUnknown ? kEncodingUTF8 : code;
}

bool IsDoubleByteLeadByte(EncodingCode encoding, uint8_t byte) {
  if (encoding == kEncodingShiftJIS) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }
  if (encoding == kEncodingEUCJP) return byte == 0x8E || byte == 0x8F || (byte >= 0xA1 && byte <= 0xFE);
  return false;
}

bool IsSystemLeadByte(uint8_t byte) { return IsDoubleByteLeadByte(GetSystemTextEncoding(), byte); }

}  // namespace vorn
