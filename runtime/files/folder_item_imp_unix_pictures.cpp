// Pictures read from and written to files: the format is told by the file's extension (and a
// BMP by its first bytes); reading goes through gdk-pixbuf or the runtime's own BMP decoder,
// writing always makes a 24-bit BMP. The Picture objects come from the graphics room's hooks.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/data_file.h"
#include "files/folder_item_hooks.h"
#include "files/folder_item_imp_unix.h"
#include "files/program_runner.h"
#include "files/temporary_items.h"
#include "files/random_access_mechanism.h"
#include "objects/exceptions.h"
#include "objects/object_definition.h"

namespace vorn {

namespace {

constexpr int32_t kBMPHeaderSize = 54;
constexpr double kInchesPerMetre = 39.37007874015748;

bool EndsWith(std::string_view path, std::string_view suffix) {
  return path.size() >= suffix.size() && SameName(path.substr(path.size() - suffix.size()), suffix);
}

// The whole store's bytes; empty when it has none or cannot be read.
std::vector<uint8_t> ReadAll(RandomAccessMechanism* store) {
  std::vector<uint8_t> bytes;
  const int32_t length = store->GetLength();
  if (length <= 0) return bytes;
  bytes.resize(static_cast<size_t>(length));
  int32_t got = 0;
  if (!store->Read(bytes.data(), length, &got)) got = 0;
  bytes.resize(static_cast<size_t>(got));
  return bytes;
}

// The Picture objects are the graphics room's, reached through its hooks.
RuntimeObject* PictureFromPixbufFile(const std::string& path) {
  auto hook = GetPictureFileHooks().fromPixbufFile;
  return hook ? hook(path) : nullptr;
}

int32_t sConverterTimeLimit = kPictureConverterTimeLimit;

// The converter writes into a folder only this user can reach, so no one else can read the
// pixels or put a file of their own in the output's place; both go when the picture is read,
// or with this process should it exit first.
// The input is named as PICT, so the converter reads nothing else whatever the file holds.
RuntimeObject* PictureFromPICTFile(const std::string& path, int32_t* error) {
  const ScratchFolder folder(std::string(kTemporaryFolderPath) + "vorn-pict-");
  if (folder.Path().empty()) {
    *error = folder.Error();
    return nullptr;
  }
  const std::string output = folder.Path() + "/converted.bmp";
  const ProgramResult run = RunProgramAndWait({"convert", "PICT:" + path, "BMP3:" + output}, true, sConverterTimeLimit,
                                              nullptr, ProgramLocale::kC);
  RuntimeObject* picture = nullptr;
  if (!run.started) {
    *error = run.error;  // ENOENT: no converter installed
  } else if (run.timedOut) {
    *error = ETIMEDOUT;  // killed, with whatever it had started
  } else if (run.exitStatus != 0 || !(picture = PictureFromPixbufFile(output))) {
    *error = EINVAL;  // not a picture the converter could read
  }
  return picture;
}

void RaiseUnsupported(const char* what, int32_t format, const char* tail) {
  RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(),
                                   string(std::string(what) + std::to_string(format) + tail, kEncodingUTF8));
}

void PutLE(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The picture's pixels as an RGB pixbuf (one reference) and its resolution; null for a
// picture without any.
GdkPixbuf* PixbufOfPicture(VornRuntimeObject* picture, int32_t* hRes = nullptr, int32_t* vRes = nullptr) {
  int32_t h = 0, v = 0;
  auto hook = GetPictureFileHooks().pixels;
  GdkPixbuf* pixels = hook ? hook(picture, &h, &v) : nullptr;
  if (hRes) *hRes = h;
  if (vRes) *vRes = v;
  return pixels;
}

}  // namespace

void SetPictureConverterTimeLimit(int32_t milliseconds) {
  sConverterTimeLimit = milliseconds > 0 ? milliseconds : kPictureConverterTimeLimit;
}

int32_t PictureFormatOfFile(FolderItemImpUnix* item) {
  if (!item) return kPictureFormatNone;
  const string path = item->GetAbsolutePath();
  const std::string_view p = path.View();
  if (EndsWith(p, ".xpm")) return kPictureFormatXPM;
  if (EndsWith(p, ".xbm")) return kPictureFormatXBM;
  if (EndsWith(p, ".jpg") || EndsWith(p, ".jpeg")) return kPictureFormatJPEG;
  if (EndsWith(p, ".png")) return kPictureFormatPNG;
  if (EndsWith(p, ".tif") || EndsWith(p, ".tiff")) return kPictureFormatTIFF;
  if (EndsWith(p, ".gif")) return kPictureFormatGIF;
  if (EndsWith(p, ".pict") || EndsWith(p, ".pct")) return kPictureFormatPICT;
  std::unique_ptr<RandomAccessMechanism> store(item->OpenStream(false, false));
  uint8_t magic[2] = {0, 0};
  int32_t got = 0;
  if (store && store->Read(magic, 2, &got) && got == 2 && magic[0] == 'B' && magic[1] == 'M') {
    return kPictureFormatBMP;
  }
  return kPictureFormatNone;
}

std::vector<uint8_t> EncodeBMP24(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride, int32_t channels,
                                 int32_t hRes, int32_t vRes) {
  std::vector<uint8_t> out;
  if (width <= 0 || height <= 0 || !rgb) return out;
  const uint32_t rowLength = (3u * static_cast<uint32_t>(width) + 3u) & ~3u;
  const uint32_t size = rowLength * static_cast<uint32_t>(height) + kBMPHeaderSize;
  out.reserve(size);
  out.push_back('B');
  out.push_back('M');
  PutLE(&out, size, 4);
  PutLE(&out, 0, 4);
  PutLE(&out, kBMPHeaderSize, 4);
  PutLE(&out, 40, 4);
  PutLE(&out, static_cast<uint32_t>(width), 4);
  PutLE(&out, static_cast<uint32_t>(height), 4);
  PutLE(&out, 1, 2);
  PutLE(&out, 24, 2);
  PutLE(&out, 0, 4);
  PutLE(&out, 0, 4);
  PutLE(&out, static_cast<uint32_t>(static_cast<int32_t>(hRes * kInchesPerMetre)), 4);
  PutLE(&out, static_cast<uint32_t>(static_cast<int32_t>(vRes * kInchesPerMetre)), 4);
  PutLE(&out, 0, 4);
  PutLE(&out, 0, 4);
  for (int32_t y = height - 1; y >= 0; --y) {
    const uint8_t* row = rgb + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* px = row + static_cast<size_t>(x) * static_cast<size_t>(channels);
      out.push_back(px[2]);
      out.push_back(px[1]);
      out.push_back(px[0]);
    }
    for (uint32_t pad = 3u * static_cast<uint32_t>(width); pad < rowLength; ++pad) out.push_back(0);
  }
  return out;
}

VornRuntimeObject* FolderItemImpUnix::OpenAsPicture(bool vector) {
  if (vector) {
    RaiseUnsupported("OpenAsPicture doesn't support format ", 1, " in Linux");
    return nullptr;
  }
  if (!IsReadableFile()) return nullptr;
  switch (PictureFormatOfFile(this)) {
    case kPictureFormatBMP: {
      std::unique_ptr<RandomAccessMechanism> store(OpenStream(false, false));
      if (!store) return nullptr;
      std::vector<uint8_t> bytes = ReadAll(store.get());
      store.reset();
      if (bytes.empty()) return nullptr;
      auto fromBMP = GetPictureFileHooks().fromBMP;
      return fromBMP ? fromBMP(bytes.data(), bytes.size()) : nullptr;
    }
    case kPictureFormatPNG:
    case kPictureFormatJPEG:
    case kPictureFormatXBM:
    case kPictureFormatGIF:
    case kPictureFormatTIFF:
    case kPictureFormatXPM:
      return PictureFromPixbufFile(std::string(GetAbsolutePath().View()));
    case kPictureFormatPICT: {
      int32_t error = 0;
      RuntimeObject* picture = PictureFromPICTFile(std::string(GetAbsolutePath().View()), &error);
      if (!picture) mLastError = error;
      return picture;
    }
    default:
      return nullptr;
  }
}

bool FolderItemImpUnix::SaveAsPicture(VornRuntimeObject* picture, int32_t format) {
  if (format != kSaveAsMostCompatible && format != kSaveAsDefaultRaster && format != kPictureFormatBMP) {
    RaiseUnsupported("SaveAsPicture doesn't support format ", format, " in Linux.");
    return false;
  }
  // The pixels come first: a picture that yields none must not cost the file its contents or
  // leave an empty file that claims to be a picture.
  int32_t hRes = 0, vRes = 0;
  GdkPixbuf* pixels = PixbufOfPicture(picture, &hRes, &vRes);
  if (!pixels) return false;
  std::vector<uint8_t> file =
      EncodeBMP24(gdk_pixbuf_get_pixels(pixels), gdk_pixbuf_get_width(pixels), gdk_pixbuf_get_height(pixels),
                  gdk_pixbuf_get_rowstride(pixels), gdk_pixbuf_get_n_channels(pixels), hRes, vRes);
  g_object_unref(pixels);
  if (file.empty()) return false;
  return WriteWholeFile(file);
}

void FolderItemImpUnix::SaveAsJPEG(VornRuntimeObject* picture) {
  GdkPixbuf* pixels = PixbufOfPicture(picture);
  if (!pixels) {
    mLastError = EINVAL;
    return;
  }
  gchar* buffer = nullptr;
  gsize size = 0;
  bool encoded = gdk_pixbuf_save_to_buffer(pixels, &buffer, &size, "jpeg", nullptr, "quality", "90", nullptr);
  g_object_unref(pixels);
  if (!encoded || !buffer) {
    mLastError = EIO;
    return;
  }
  std::vector<uint8_t> file(buffer, buffer + size);
  g_free(buffer);
  WriteWholeFile(file);
}

void FolderItemImpUnix::OpenAsIcons(std::vector<VornRuntimeObject*>& pictures) {
  if (IsReadableFile())
    if (RuntimeObject* picture = PictureFromPixbufFile(std::string(GetAbsolutePath().View())))
      pictures.push_back(picture);
}

void* FolderItemImpUnix::OpenAsCursor() {
  if (!IsReadableFile()) return nullptr;
  GdkPixbuf* image = gdk_pixbuf_new_from_file(std::string(GetAbsolutePath().View()).c_str(), nullptr);
  if (!image) return nullptr;
  GdkCursor* cursor = gdk_cursor_new_from_pixbuf(gdk_display_get_default(), image, 0, 0);
  g_object_unref(image);
  return cursor;
}

bool FolderItemImpUnix::IsReadableFile() {
  // The image readers open the file themselves, and would wait for ever on a pipe.
  if (int32_t error = RegularFileError(SysPath().c_str())) {
    mLastError = error;
    return false;
  }
  return true;
}

bool FolderItemImpUnix::WriteWholeFile(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<RandomAccessMechanism> store(CreateStream(string("image/bitmap")));
  if (!store) return false;
  bool written = store->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  written = store->Close() && written;
  store.reset();
  if (!written) {
    // Half a file is worse than none.
    int error = mLastError;
    Delete();
    mLastError = error ? error : EIO;
  }
  return written;
}

}  // namespace vorn
