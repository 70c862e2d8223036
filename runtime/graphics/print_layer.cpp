#include "graphics/print_layer.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/print_layer_model.h"
#include "strings/c_number_text.h"

namespace vorn {

namespace print_layer {

namespace {

template <typename T>
GQuark KindQuark();
template <>
GQuark KindQuark<Config>() { return g_quark_from_static_string("vorn-print-config"); }
template <>
GQuark KindQuark<Context>() { return g_quark_from_static_string("vorn-print-context"); }
template <>
GQuark KindQuark<Job>() { return g_quark_from_static_string("vorn-print-job"); }

template <typename T>
GObject* WrapAs(T* data) {
  GObject* object = G_OBJECT(g_object_new(G_TYPE_OBJECT, nullptr));
  g_object_set_qdata_full(object, KindQuark<T>(), data, [](gpointer p) { delete static_cast<T*>(p); });
  return object;
}

template <typename T>
T* Unwrap(const void* handle) {
  if (!handle || !G_IS_OBJECT(handle)) return nullptr;
  return static_cast<T*>(g_object_get_qdata(G_OBJECT(handle), KindQuark<T>()));
}

std::map<std::string, std::string>& Defaults() {
  static auto* defaults = new std::map<std::string, std::string>();
  return *defaults;
}

// Letter paper with half-inch margins, printed at 300 dots per inch.
const std::map<std::string, std::string>& LayerDefaults() {
  static const auto* defaults = new std::map<std::string, std::string>{
      {kPrintKeyDpiX, "300"},
      {kPrintKeyDpiY, "300"},
      {kPrintKeyCopies, "1"},
      {kPrintKeyPaperWidth, "612pt"},
      {kPrintKeyPaperHeight, "792pt"},
      {kPrintKeyMarginLeft, "36pt"},
      {kPrintKeyMarginTop, "36pt"},
      {kPrintKeyMarginRight, "36pt"},
      {kPrintKeyMarginBottom, "36pt"},
      // The user's own folder: a fixed name in the shared temporary one is anyone's to plant.
      {kPrintKeyOutputFile, std::string(g_get_home_dir()) + "/vorn-print.pdf"},
  };
  return *defaults;
}

constexpr PrintUnit kUnits[] = {{"pt", 1.0}, {"mm", 72.0 / 25.4}, {"cm", 72.0 / 2.54}, {"in", 72.0}};

std::string Key(PrintText key) { return key ? reinterpret_cast<const char*>(key) : ""; }

// A number, then blanks, then nothing else.
bool ParseNumber(const std::string& text, double* value, const char** rest) {
  if (text.empty()) return false;
  char* end = nullptr;
  *value = ReadCNumber(text.c_str(), &end);
  if (end == text.c_str()) return false;
  while (*end == ' ') ++end;
  *rest = end;
  return true;
}

Context* OpenPage(PrintContext* handle) {
  Context* context = ContextOf(handle);
  return context && context->pageOpen ? context : nullptr;
}

Mark NewMark(const Context& context, Mark::Kind kind) {
  Mark mark;
  mark.kind = kind;
  mark.transform = context.transform;
  return mark;
}

// --- the library's functions --------------------------------------------------------------

PrintJob* JobNew(PrintConfig* config) {
  auto* job = new Job();
  if (ConfigOf(config)) {
    job->config = G_OBJECT(g_object_ref(config));
  } else {
    job->config = Wrap(NewDefaultConfig());
  }
  job->context = Wrap(new Context());
  return reinterpret_cast<PrintJob*>(Wrap(job));
}

PrintContext* JobGetContext(PrintJob* handle) {
  Job* job = JobOf(handle);
  // The drawing begins: the job's printer is settled now.
  if (job) TakeDefaultPrinter(*job);
  return job ? reinterpret_cast<PrintContext*>(g_object_ref(job->context)) : nullptr;
}

PrintConfig* JobGetConfig(PrintJob* handle) {
  Job* job = JobOf(handle);
  return job ? reinterpret_cast<PrintConfig*>(g_object_ref(job->config)) : nullptr;
}

int BeginPage(PrintContext* handle, PrintText name) {
  Context* context = ContextOf(handle);
  if (!context || context->pageOpen) return -1;
  context->pages.push_back(Page{Key(name), {}});
  context->pageOpen = true;
  context->transform = kIdentity;
  context->saved.clear();
  return 0;
}

int ShowPage(PrintContext* handle) {
  Context* context = OpenPage(handle);
  if (!context) return -1;
  context->pageOpen = false;
  return 0;
}

int MoveTo(PrintContext* handle, double x, double y) {
  Context* context = OpenPage(handle);
  if (!context) return -1;
  context->penX = x;
  context->penY = y;
  return 0;
}

int Show(PrintContext* handle, PrintText text) {
  Context* context = OpenPage(handle);
  if (!context) return -1;
  Mark mark = NewMark(*context, Mark::kText);
  mark.x = context->penX;
  mark.y = context->penY;
  mark.text = Key(text);
  context->pages.back().marks.push_back(std::move(mark));
  return 0;
}

int RgbImage(PrintContext* handle, const unsigned char* pixels, int width, int height, int rowStride) {
  Context* context = OpenPage(handle);
  if (!context || !pixels || width < 1 || height < 1 || rowStride < 3 * width) return -1;
  Mark mark = NewMark(*context, Mark::kImage);
  mark.columns = width;
  mark.rows = height;
  mark.image = ImageFromRgb(pixels, width, height, rowStride);
  if (!mark.image) return -1;
  context->pages.back().marks.push_back(std::move(mark));
  return 0;
}

int SurfaceImage(PrintContext* handle, cairo_surface_t* image) {
  Context* context = OpenPage(handle);
  if (!context || !image || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(image) != CAIRO_FORMAT_RGB24) {
    return -1;
  }
  Mark mark = NewMark(*context, Mark::kImage);
  mark.columns = cairo_image_surface_get_width(image);
  mark.rows = cairo_image_surface_get_height(image);
  if (mark.columns < 1 || mark.rows < 1) return -1;
  mark.image = std::shared_ptr<cairo_surface_t>(cairo_surface_reference(image), &cairo_surface_destroy);
  context->pages.back().marks.push_back(std::move(mark));
  return 0;
}

int GSave(PrintContext* handle) {
  Context* context = OpenPage(handle);
  if (!context) return -1;
  context->saved.push_back(context->transform);
  return 0;
}

int GRestore(PrintContext* handle) {
  Context* context = OpenPage(handle);
  if (!context || context->saved.empty()) return -1;
  context->transform = context->saved.back();
  context->saved.pop_back();
  return 0;
}

int Concat(PrintContext* handle, const double m[6]) {
  Context* context = OpenPage(handle);
  if (!context || !m) return -1;
  const Matrix& t = context->transform;
  context->transform = {m[0] * t[0] + m[1] * t[2], m[0] * t[1] + m[1] * t[3],
                        m[2] * t[0] + m[3] * t[2], m[2] * t[1] + m[3] * t[3],
                        m[4] * t[0] + m[5] * t[2] + t[4], m[4] * t[1] + m[5] * t[3] + t[5]};
  return 0;
}

int Translate(PrintContext* handle, double x, double y) {
  const double m[6] = {1, 0, 0, 1, x, y};
  return Concat(handle, m);
}

int Stroked(PrintContext* handle, Mark::Kind kind, double x, double y, double width, double height) {
  Context* context = OpenPage(handle);
  if (!context) return -1;
  Mark mark = NewMark(*context, kind);
  mark.x = x;
  mark.y = y;
  mark.width = width;
  mark.height = height;
  context->pages.back().marks.push_back(std::move(mark));
  return 0;
}

int RectStroked(PrintContext* handle, double x, double y, double width, double height) {
  return Stroked(handle, Mark::kRect, x, y, width, height);
}

int LineStroked(PrintContext* handle, double x0, double y0, double x1, double y1) {
  return Stroked(handle, Mark::kLine, x0, y0, x1, y1);
}

int JobClose(PrintJob* handle) {
  Job* job = JobOf(handle);
  if (!job) return -1;
  // A page begun and never shown is still printed.
  if (Context* context = ContextOf(job->context)) context->pageOpen = false;
  job->closed = true;
  return 0;
}

int JobPrintToFile(PrintJob* handle, const char* output) {
  Job* job = JobOf(handle);
  Config* config = job ? ConfigOf(job->config) : nullptr;
  if (!config || !output || !*output) return -1;
  config->values[kPrintKeyOutputFile] = output;
  return 0;
}

std::string& LastError() {
  static auto* error = new std::string();
  return *error;
}

int JobPrint(PrintJob* handle) {
  Job* job = JobOf(handle);
  if (!job || !job->closed) return -1;
  std::string error;
  if (SendJob(*job, &error)) return 0;
  LastError() = error;
  return -1;
}

void ConfigDump(PrintConfig* handle) {
  const Config* config = ConfigOf(handle);
  if (!config) return;
  for (const auto& [key, value] : config->values) std::printf("%s = %s\n", key.c_str(), value.c_str());
}

int ConfigGetDouble(PrintConfig* handle, PrintText key, double* value) {
  const char* rest = nullptr;
  double number = 0;
  if (!value || !ParseNumber(Setting(ConfigOf(handle), Key(key)), &number, &rest) || *rest) return 0;
  *value = number;
  return 1;
}

int ConfigGetInt(PrintConfig* handle, PrintText key, int* value) {
  double number = 0;
  if (!value || !ConfigGetDouble(handle, key, &number) || number < INT32_MIN || number > INT32_MAX) return 0;
  *value = static_cast<int>(number);
  return 1;
}

unsigned char* ConfigGet(PrintConfig* handle, PrintText key) {
  const std::string value = Setting(ConfigOf(handle), Key(key));
  return value.empty() ? nullptr : reinterpret_cast<unsigned char*>(g_strdup(value.c_str()));
}

int ConfigGetLength(PrintConfig* handle, PrintText key, double* value, const PrintUnit** unit) {
  double number = 0;
  const PrintUnit* found = nullptr;
  if (!value || !ParseLength(Setting(ConfigOf(handle), Key(key)), &number, &found)) return 0;
  *value = number;
  if (unit) *unit = found;
  return 1;
}

struct Entry {
  const char* name;
  void* function;
};

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

const Entry kEntries[] = {
    {"gnome_print_job_new", Fn(&JobNew)},
    {"gnome_print_job_get_context", Fn(&JobGetContext)},
    {"gnome_print_beginpage", Fn(&BeginPage)},
    {"gnome_print_showpage", Fn(&ShowPage)},
    {"gnome_print_moveto", Fn(&MoveTo)},
    {"gnome_print_show", Fn(&Show)},
    {"gnome_print_job_close", Fn(&JobClose)},
    {"gnome_print_job_print_to_file", Fn(&JobPrintToFile)},
    {"gnome_print_dialog_new", Fn(&DialogNew)},
    {"gnome_print_job_get_config", Fn(&JobGetConfig)},
    {"gnome_print_config_dump", Fn(&ConfigDump)},
    {"gnome_print_config_get_double", Fn(&ConfigGetDouble)},
    {"gnome_print_config_get_int", Fn(&ConfigGetInt)},
    {"gnome_print_config_get", Fn(&ConfigGet)},
    {"gnome_print_dialog_construct_range_page", Fn(&DialogConstructRangePage)},
    {"gnome_print_dialog_get_type", Fn(&DialogGetType)},
    {"gnome_print_dialog_get_range_page", Fn(&DialogGetRangePage)},
    {"gnome_print_config_get_length", Fn(&ConfigGetLength)},
    {"gnome_print_job_print", Fn(&JobPrint)},
    {"gnome_print_rgbimage", Fn(&RgbImage)},
    {"gnome_print_dialog_construct", Fn(&DialogConstruct)},
    {"gnome_print_gsave", Fn(&GSave)},
    {"gnome_print_grestore", Fn(&GRestore)},
    {"gnome_print_concat", Fn(&Concat)},
    {"gnome_print_translate", Fn(&Translate)},
    {"gnome_print_rect_stroked", Fn(&RectStroked)},
    {"gnome_print_line_stroked", Fn(&LineStroked)},
};

class InProcessLoader : public LibraryLoader {
 public:
  void* Open(const char* file) override {
    // Any of the library's names: the layer is always there.
    for (const char* name : kPrintLibraryNames) {
      if (file && std::strcmp(file, name) == 0) return this;
    }
    return nullptr;
  }
  void* Find(void* library, const char* name) override {
    if (library != this || !name) return nullptr;
    for (const Entry& entry : kEntries) {
      if (std::strcmp(entry.name, name) == 0) return entry.function;
    }
    return nullptr;
  }
};

}  // namespace

Job::~Job() {
  if (context) g_object_unref(context);
  if (config) g_object_unref(config);
  if (printer) g_object_unref(printer);
  if (settings) g_object_unref(settings);
}

GObject* Wrap(Config* data) { return WrapAs(data); }
GObject* Wrap(Context* data) { return WrapAs(data); }
GObject* Wrap(Job* data) { return WrapAs(data); }
Config* ConfigOf(const void* handle) { return Unwrap<Config>(handle); }
Context* ContextOf(const void* handle) { return Unwrap<Context>(handle); }
Job* JobOf(const void* handle) { return Unwrap<Job>(handle); }

bool ParseLength(const std::string& text, double* value, const PrintUnit** unit) {
  const char* rest = nullptr;
  if (!ParseNumber(text, value, &rest)) return false;
  *unit = *rest ? nullptr : &kUnits[0];
  for (const PrintUnit& u : kUnits) {
    if (std::strcmp(rest, u.name) == 0) *unit = &u;
  }
  return *unit != nullptr;
}

std::string Setting(const Config* config, const std::string& key) {
  if (config) {
    auto found = config->values.find(key);
    return found == config->values.end() ? std::string() : found->second;
  }
  auto found = Defaults().find(key);
  if (found != Defaults().end()) return found->second;
  auto builtIn = LayerDefaults().find(key);
  return builtIn == LayerDefaults().end() ? std::string() : builtIn->second;
}

Config* NewDefaultConfig() {
  auto* config = new Config{LayerDefaults()};
  for (const auto& [key, value] : Defaults()) config->values[key] = value;
  return config;
}

}  // namespace print_layer

LibraryLoader* PrintLayerLoader() {
  static print_layer::InProcessLoader loader;
  return &loader;
}

int PrintLayerSurfaceImage(PrintContext* context, cairo_surface_t* image) {
  return print_layer::SurfaceImage(context, image);
}

std::string LastPrintError() { return print_layer::LastError(); }

void SetDefaultPrintSetting(const std::string& key, const std::string& value) {
  if (value.empty()) {
    print_layer::Defaults().erase(key);
  } else {
    print_layer::Defaults()[key] = value;
  }
}

}  // namespace vorn
