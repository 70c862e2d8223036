#include "graphics/bmp_decoder.h"

#include <new>

#include "vorn/image_format.h"

namespace vorn {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kMaxPaletteEntries = 256;
// Compression codes whose rows are plain pixels: none, and channel masks (16 and 32 bits: three
// 32-bit masks, red, green, blue, right after a 40-byte header or inside a longer one).
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kMaskedHeaderSize = 52;

using image::ReadU16LE;
using image::ReadU32LE;

struct Header {
  uint32_t pixelOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored from the top
  int32_t bitsPerPixel = 0;
  uint32_t compression = kCompressionNone;
};

// One colour channel of a 16- or 32-bit pixel: where its bits are and how many levels it has.
struct Channel {
  uint32_t mask = 0;
  int32_t shift = 0;
  uint64_t levels = 0;  // largest value, mask >> shift

  uint8_t Of(uint32_t pixel) const {
    return static_cast<uint8_t>((((pixel & mask) >> shift) * 255 + levels / 2) / levels);
  }
};

struct Channels {
  Channel red, green, blue;
};

// False for a mask that is empty or has gaps.
bool MakeChannel(uint32_t mask, Channel* channel) {
  if (mask == 0) return false;
  channel->mask = mask;
  channel->shift = __builtin_ctz(mask);
  channel->levels = mask >> channel->shift;
  return (channel->levels & (channel->levels + 1)) == 0;
}

// The masks a file's pixels use: its own with the channel-mask code, else 5-5-5 for 16 bits and
// 8-8-8 for 32.
BmpError ReadChannels(const uint8_t* data, size_t length, const Header& h, Channels* channels) {
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (h.bitsPerPixel == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (h.compression == kCompressionBitFields) {
    if (h.bitsPerPixel != 16 && h.bitsPerPixel != 32) return BmpError::kBadMasks;
    const size_t at = kFileHeaderSize + kInfoHeaderSize;
    const size_t end = h.headerSize >= kMaskedHeaderSize ? kFileHeaderSize + h.headerSize : h.pixelOffset;
    if (at + 12 > end || at + 12 > length) return BmpError::kBadMasks;
    for (int i = 0; i < 3; ++i) masks[i] = ReadU32LE(data + at + 4 * i);
  }
  if (!MakeChannel(masks[0], &channels->red) || !MakeChannel(masks[1], &channels->green) ||
      !MakeChannel(masks[2], &channels->blue)) {
    return BmpError::kBadMasks;
  }
  return BmpError::kNone;
}

struct Palette {
  uint8_t rgb[kMaxPaletteEntries][3] = {};
  int32_t count = 0;
};

BmpError ReadHeader(const uint8_t* data, size_t length, Header* h) {
  if (!data || length < kFileHeaderSize + 4) return BmpError::kNoData;
  h->pixelOffset = ReadU32LE(data + 10);
  h->headerSize = ReadU32LE(data + 14);
  if (h->headerSize != kCoreHeaderSize && h->headerSize < kInfoHeaderSize) return BmpError::kBadHeaderSize;
  if (h->headerSize > length - kFileHeaderSize) return BmpError::kTruncatedHeader;
  const uint8_t* info = data + kFileHeaderSize;
  if (h->headerSize == kCoreHeaderSize) {
    h->width = static_cast<int16_t>(ReadU16LE(info + 4));
    h->height = static_cast<int16_t>(ReadU16LE(info + 6));
    h->bitsPerPixel = ReadU16LE(info + 10);
  } else {
    h->width = static_cast<int32_t>(ReadU32LE(info + 4));
    h->height = static_cast<int32_t>(ReadU32LE(info + 8));
    h->bitsPerPixel = ReadU16LE(info + 14);
    h->compression = ReadU32LE(info + 16);
  }
  return BmpError::kNone;
}

// Bytes one file row takes, padding included.
int64_t RowStride(int32_t bitsPerPixel, int64_t width) {
  int64_t bytes = 0;
  switch (bitsPerPixel) {
    case 1: bytes = (width + 7) / 8; break;
    case 4: bytes = (width + 1) / 2; break;
    case 8: bytes = width; break;
    case 16: bytes = 2 * width; break;
    case 24: bytes = 3 * width; break;
    case 32: return 4 * width;  // never padded
    default: return 0;
  }
  return (bytes + 3) & ~int64_t{3};
}

// The palette between the headers and the rows: 4-byte entries after an info header, 3-byte
// entries after a core header, at most 256; bytes blue, green, red.
void ReadPalette(const uint8_t* data, const Header& h, Palette* palette) {
  const size_t start = kFileHeaderSize + h.headerSize;
  const size_t entrySize = h.headerSize == kCoreHeaderSize ? 3 : 4;
  const size_t available = (h.pixelOffset - start) / entrySize;
  palette->count = static_cast<int32_t>(available < kMaxPaletteEntries ? available : kMaxPaletteEntries);
  for (int32_t i = 0; i < palette->count; ++i) {
    const uint8_t* entry = data + start + static_cast<size_t>(i) * entrySize;
    palette->rgb[i][0] = entry[2];
    palette->rgb[i][1] = entry[1];
    palette->rgb[i][2] = entry[0];
  }
}

void Put(uint8_t* out, uint8_t red, uint8_t green, uint8_t blue) {
  out[0] = red;
  out[1] = green;
  out[2] = blue;
}

// An index past the palette read gives black.
void PutIndexed(uint8_t* out, const Palette& palette, int32_t index) {
  if (index < palette.count) {
    Put(out, palette.rgb[index][0], palette.rgb[index][1], palette.rgb[index][2]);
  } else {
    Put(out, 0, 0, 0);
  }
}

void PutMasked(uint8_t* out, const Channels& channels, uint32_t pixel) {
  Put(out, channels.red.Of(pixel), channels.green.Of(pixel), channels.blue.Of(pixel));
}

void DecodeRow(const uint8_t* row, int32_t bitsPerPixel, int32_t width, const Palette& palette,
               const Channels& channels, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x, out += 3) {
    switch (bitsPerPixel) {
      case 1: {
        // Black and white whatever the palette says.
        const uint8_t value = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
        Put(out, value, value, value);
        break;
      }
      case 4: {
        const uint8_t byte = row[x / 2];
        PutIndexed(out, palette, (x % 2) ? (byte & 0x0F) : (byte >> 4));
        break;
      }
      case 8: PutIndexed(out, palette, row[x]); break;
      case 16: PutMasked(out, channels, ReadU16LE(row + 2 * x)); break;
      case 24: Put(out, row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
      case 32: PutMasked(out, channels, ReadU32LE(row + 4 * x)); break;
      default: break;
    }
  }
}

}  // namespace

BmpError DecodeBMP(const uint8_t* data, size_t length, BmpImage* out) {
  *out = BmpImage();
  Header h;
  if (BmpError error = ReadHeader(data, length, &h); error != BmpError::kNone) return error;

  const int64_t width = h.width;
  const int64_t height = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
  if (width < 1 || height < 1) return BmpError::kBadDimensions;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels) {
    return BmpError::kTooLarge;
  }
  const int64_t stride = RowStride(h.bitsPerPixel, width);
  if (stride == 0) return BmpError::kUnsupportedDepth;
  if (h.compression != kCompressionNone && h.compression != kCompressionBitFields) return BmpError::kCompressed;
  if (h.pixelOffset < kFileHeaderSize + h.headerSize || h.pixelOffset > length) return BmpError::kBadPixelOffset;
  if (stride * height > static_cast<int64_t>(length - h.pixelOffset)) return BmpError::kTruncatedRows;

  Palette palette;
  if (h.bitsPerPixel < 16) ReadPalette(data, h, &palette);
  Channels channels;
  if (h.bitsPerPixel == 16 || h.bitsPerPixel == 32 || h.compression == kCompressionBitFields) {
    if (BmpError error = ReadChannels(data, length, h, &channels); error != BmpError::kNone) return error;
  }

  try {
    out->rgb.resize(static_cast<size_t>(width * height * 3));
  } catch (const std::bad_alloc&) {
    out->rgb = {};
    return BmpError::kTooLarge;
  }
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  const bool topDown = h.height < 0;
  for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
    const int64_t imageRow = topDown ? fileRow : height - 1 - fileRow;
    DecodeRow(data + h.pixelOffset + fileRow * stride, h.bitsPerPixel, out->width, palette, channels,
              out->rgb.data() + imageRow * width * 3);
  }
  return BmpError::kNone;
}

const char* BmpErrorText(BmpError error) {
  switch (error) {
    case BmpError::kNone: return "no error";
    case BmpError::kNoData: return "the data is too short for a bitmap file";
    case BmpError::kBadHeaderSize: return "the bitmap header size is neither 12 nor at least 40";
    case BmpError::kTruncatedHeader: return "the bitmap header runs past the end of the data";
    case BmpError::kBadDimensions: return "the bitmap has no pixels or a negative width";
    case BmpError::kTooLarge: return "the bitmap is too large";
    case BmpError::kUnsupportedDepth: return "the bitmap's bits per pixel are not 1, 4, 8, 16, 24 or 32";
    case BmpError::kBadMasks: return "the bitmap's channel masks are missing, empty or not contiguous";
    case BmpError::kCompressed: return "the bitmap's rows are compressed";
    case BmpError::kBadPixelOffset: return "the bitmap's pixel data offset lies outside the data";
    case BmpError::kTruncatedRows: return "the bitmap's rows run past the end of the data";
  }
  return "unknown bitmap error";
}

}  // namespace vorn
