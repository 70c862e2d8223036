#include "graphics/support/pdf_reader.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

namespace vorn::testing {

namespace {

// The number after `key` in the dictionary text; -1 when missing.
int32_t NumberAfter(const std::string& dictionary, const std::string& key) {
  const size_t at = dictionary.find(key + " ");
  return at == std::string::npos ? -1 : std::atoi(dictionary.c_str() + at + key.size() + 1);
}

std::vector<uint8_t> Inflate(const std::string& pdf, size_t from) {
  std::vector<uint8_t> out;
  z_stream stream = {};
  if (inflateInit(&stream) != Z_OK) return out;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pdf.data() + from));
  stream.avail_in = static_cast<uInt>(pdf.size() - from);
  uint8_t buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = buffer;
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    out.insert(out.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END) out.clear();
  return out;
}

}  // namespace

uint32_t PdfImage::PixelAt(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  if (at + 2 >= rgb.size()) return 0xFFFFFFFF;
  return (uint32_t{rgb[at]} << 16) | (uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int32_t CountPdfPages(const std::string& pdf) {
  static const std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
  return static_cast<int32_t>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

std::vector<PdfImage> PdfRgbImages(const std::string& pdf) {
  std::vector<PdfImage> images;
  for (size_t at = pdf.find("/Subtype /Image"); at != std::string::npos; at = pdf.find("/Subtype /Image", at + 1)) {
    const size_t open = pdf.rfind("<<", at);
    const size_t streamAt = pdf.find("stream", at);
    if (open == std::string::npos || streamAt == std::string::npos) break;
    const std::string dictionary = pdf.substr(open, streamAt - open);
    // The PDF writer stores a page without colour as grey; it reads back as RGB all the same.
    const bool grey = dictionary.find("/DeviceGray") != std::string::npos;
    if ((!grey && dictionary.find("/DeviceRGB") == std::string::npos) ||
        dictionary.find("/FlateDecode") == std::string::npos) {
      continue;
    }
    size_t data = streamAt + 6;
    if (pdf.compare(data, 2, "\r\n") == 0) data += 2;
    else if (pdf[data] == '\n') data += 1;
    PdfImage image;
    image.width = NumberAfter(dictionary, "/Width");
    image.height = NumberAfter(dictionary, "/Height");
    image.rgb = Inflate(pdf, data);
    if (grey) {
      std::vector<uint8_t> rgb;
      rgb.reserve(image.rgb.size() * 3);
      for (uint8_t level : image.rgb) rgb.insert(rgb.end(), 3, level);
      image.rgb = std::move(rgb);
    }
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace vorn::testing
