// Printing and sound start-up. A job of one A4 page at 300 dots per inch: drawn through the
// language's Graphics into the page bitmap, recorded, drawn on the surface of a GtkPrintJob and
// handed to GTK's "Print to File" backend (and the same with the page handed over as RGB bytes,
// as a print library of its own would take it); beside it GTK's own print operation exporting
// the same page drawn with cairo. And the time from Play to the first samples handed to ALSA's
// stream (a private configuration whose default PCM is the null device).
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "files/folder_item_imp_unix.h"
#include "files/unix_path_text.h"
#include "graphics/alsa_output.h"
#include "graphics/audio_device.h"
#include "graphics/print_layer.h"
#include "graphics/gtk_print_helper.h"
#include "graphics/library_loader.h"
#include "graphics/print_library.h"
#include "graphics/printer_setup_class.h"
#include "graphics/sndfile_loader.h"
#include "graphics/sound_class.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "startup/class_registration.h"
#include "vorn/graphics_api.h"
#include "vorn/printer_api.h"
#include "vorn/sound_api.h"

namespace {

constexpr double kA4Width = 595.0;
constexpr double kA4Height = 842.0;
constexpr int kDpi = 300;

bool Ready() {
  static int state = -1;
  if (state < 0) {
    state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
    // "Print to File" only: no print server is asked.
    if (state) g_object_set(gtk_settings_get_default(), "gtk-print-backends", "file", nullptr);
    vorn::RegisterIntrinsicClasses();
  }
  return state == 1;
}

std::string Output() { return "/tmp/vorn-bench-print-" + std::to_string(getpid()) + ".pdf"; }

// What is drawn on the page: a frame, a grid of 40 lines and 20 filled squares, in dots.
template <typename Rect, typename Line>
void DrawPage(int width, int height, Rect rect, Line line) {
  rect(0, 0, width, height, false);
  for (int i = 1; i <= 20; ++i) {
    line(0, height * i / 21, width, height * i / 21);
    line(width * i / 21, 0, width * i / 21, height);
    rect(width * i / 21 - 30, height * i / 21 - 30, 60, 60, true);
  }
}

void PrintOneA4PageAt300Dpi(benchmark::State& state) {
  if (!Ready()) {
    state.SkipWithError("no display");
    return;
  }
  vorn::SetDefaultPrintSetting(vorn::kPrintKeyPaperWidth, std::to_string(kA4Width) + "pt");
  vorn::SetDefaultPrintSetting(vorn::kPrintKeyPaperHeight, std::to_string(kA4Height) + "pt");
  vorn::SetDefaultPrintSetting(vorn::kPrintKeyOutputFile, Output());
  vorn::RuntimeObject* setup = vorn::CreateInstanceFromDefinition(vorn::GetPrinterSetupClassDefinition());
  vorn::PrinterSetupFields(setup)->horizontalResolution = kDpi;
  vorn::PrinterSetupFields(setup)->verticalResolution = kDpi;
  printerSetupMaxResSetter(setup, vorn::kPageMaxHorizontalResolution, -1);
  printerSetupMaxResSetter(setup, vorn::kPageMaxVerticalResolution, -1);
  for (auto _ : state) {
    vorn::RuntimeObject* graphics = RuntimeOpenPrinter(setup);
    if (!graphics) {
      state.SkipWithError("no job");
      break;
    }
    const int width = graphicsWidthGetter(graphics, 0), height = graphicsHeightGetter(graphics, 0);
    DrawPage(
        width, height,
        [&](int x, int y, int w, int h, bool fill) {
          if (fill) {
            RuntimeGraphicsFillRect(graphics, x, y, w, h);
          } else {
            RuntimeGraphicsDrawRect(graphics, x, y, w, h);
          }
        },
        [&](int x0, int y0, int x1, int y1) { RuntimeGraphicsDrawLine(graphics, x0, y0, x1, y1); });
    RuntimeUnlockObject(graphics);
    state.PauseTiming();
    std::remove(Output().c_str());
    state.ResumeTiming();
  }
  RuntimeUnlockObject(setup);
  vorn::SetDefaultPrintSetting(vorn::kPrintKeyOutputFile, "");
}

void BM_PrintOneA4PageAt300Dpi(benchmark::State& state) { PrintOneA4PageAt300Dpi(state); }
BENCHMARK(BM_PrintOneA4PageAt300Dpi)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The runtime's layer as a print library of its own would be used: each page reaches it as RGB
// bytes read back from the server into a pixbuf and converted into the layer's image.
int ForwardRgbImage(vorn::PrintContext* context, const unsigned char* pixels, int width, int height, int stride) {
  vorn::LibraryLoader* layer = vorn::PrintLayerLoader();
  static auto* own = reinterpret_cast<decltype(&ForwardRgbImage)>(
      layer->Find(layer->Open(vorn::kPrintLibraryNames[0]), "gnome_print_rgbimage"));
  return own(context, pixels, width, height, stride);
}

class RgbBytesLayer : public vorn::LibraryLoader {
 public:
  void* Open(const char* file) override { return vorn::PrintLayerLoader()->Open(file); }
  void* Find(void* library, const char* name) override {
    if (std::string(name) == "gnome_print_rgbimage") return reinterpret_cast<void*>(&ForwardRgbImage);
    return vorn::PrintLayerLoader()->Find(library, name);
  }
};

void BM_PrintOneA4PageAt300DpiAsRgbBytes(benchmark::State& state) {
  RgbBytesLayer layer;
  vorn::SetPrintLibraryLoader(&layer);
  PrintOneA4PageAt300Dpi(state);
  vorn::SetPrintLibraryLoader(nullptr);
}
BENCHMARK(BM_PrintOneA4PageAt300DpiAsRgbBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void DrawWithCairo(GtkPrintOperation*, GtkPrintContext* context, gint, gpointer) {
  cairo_t* cr = gtk_print_context_get_cairo_context(context);
  const double scale = 72.0 / kDpi;
  cairo_scale(cr, scale, scale);
  cairo_set_line_width(cr, 1);
  const int width = static_cast<int>((kA4Width - 72) * kDpi / 72);
  const int height = static_cast<int>((kA4Height - 72) * kDpi / 72);
  DrawPage(
      width, height,
      [&](int x, int y, int w, int h, bool fill) {
        cairo_rectangle(cr, x, y, w, h);
        if (fill) {
          cairo_fill(cr);
        } else {
          cairo_stroke(cr);
        }
      },
      [&](int x0, int y0, int x1, int y1) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
      });
}

void BM_GtkPrintOperationSamePage(benchmark::State& state) {
  if (!Ready()) {
    state.SkipWithError("no display");
    return;
  }
  GtkPageSetup* page = gtk_page_setup_new();
  GtkPaperSize* a4 = gtk_paper_size_new(GTK_PAPER_NAME_A4);
  gtk_page_setup_set_paper_size_and_default_margins(page, a4);
  gtk_paper_size_free(a4);
  for (auto _ : state) {
    GtkPrintOperation* operation = gtk_print_operation_new();
    gtk_print_operation_set_default_page_setup(operation, page);
    gtk_print_operation_set_n_pages(operation, 1);
    gtk_print_operation_set_export_filename(operation, Output().c_str());
    g_signal_connect(operation, "draw-page", G_CALLBACK(DrawWithCairo), nullptr);
    gtk_print_operation_run(operation, GTK_PRINT_OPERATION_ACTION_EXPORT, nullptr, nullptr);
    g_object_unref(operation);
    state.PauseTiming();
    std::remove(Output().c_str());
    state.ResumeTiming();
  }
  g_object_unref(page);
}
BENCHMARK(BM_GtkPrintOperationSamePage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A WAVE file of one second of 16-bit stereo at 44100 frames a second.
std::string SoundFile() {
  const std::string path = "/tmp/vorn-bench-sound-" + std::to_string(getpid()) + ".wav";
  const uint32_t frames = 44100, bytes = frames * 4;
  std::vector<unsigned char> out;
  const auto put = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  };
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  put(36 + bytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put(16, 4);
  put(1, 2);
  put(2, 2);
  put(44100, 4);
  put(44100 * 4, 4);
  put(4, 2);
  put(16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  put(bytes, 4);
  for (uint32_t i = 0; i < frames * 2; ++i) put(static_cast<uint16_t>((i * 37) & 0x3FFF), 2);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                              static_cast<std::streamsize>(out.size()));
  return path;
}

void BM_PlayToFirstSamplesThroughAlsa(benchmark::State& state) {
  const std::string config = "/tmp/vorn-bench-alsa-" + std::to_string(getpid()) + ".conf";
  std::ofstream(config) << "pcm.!default { type null }\n";
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  vorn::RegisterIntrinsicClasses();
  if (!vorn::LoadSndfile() || !vorn::LoadAlsa()) {
    state.SkipWithError("libsndfile or libasound is missing");
    return;
  }
  const std::string path = SoundFile();
  vorn::RuntimeObject* sound = vorn::CreateInstanceFromDefinition(vorn::GetSoundClassDefinition());
  SoundSetData(sound, vorn::NewFolderItemImpFromPath(vorn::PathString(path, vorn::kFileSystemEncoding)), 0);
  for (auto _ : state) {
    // Play hands the first tenth of a second to the stream before it returns.
    soundPlay(sound);
    state.PauseTiming();
    if (!soundIsPlaying(sound) || vorn::AlsaSourceCount() != 1) state.SkipWithError("the sound did not start");
    soundStop(sound);
    state.ResumeTiming();
  }
  RuntimeUnlockObject(sound);
  std::remove(path.c_str());
  std::remove(config.c_str());
}
BENCHMARK(BM_PlayToFirstSamplesThroughAlsa)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
