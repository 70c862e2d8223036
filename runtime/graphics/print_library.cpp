#include "graphics/print_library.h"

#include "graphics/print_layer.h"

namespace vorn {

namespace {

LibraryLoader* sLoader = nullptr;
bool sFirstCall = true;
bool sAvailable = false;
PrintFunctions sFunctions = {};

LibraryLoader* Loader() { return sLoader ? sLoader : PrintLayerLoader(); }

template <typename Function>
void Look(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(Loader()->Find(library, name));
  if (!*function) sAvailable = false;
}

}  // namespace

bool LoadGnomePrint() {
  if (!sFirstCall) return sAvailable;
  sFirstCall = false;
  void* library = nullptr;
  for (const char* name : kPrintLibraryNames) {
    library = Loader()->Open(name);
    if (library) break;
  }
  if (!library) return false;
  sAvailable = true;
  PrintFunctions& f = sFunctions;
  Look(library, "gnome_print_job_new", &f.job_new);
  Look(library, "gnome_print_job_get_context", &f.job_get_context);
  Look(library, "gnome_print_beginpage", &f.beginpage);
  Look(library, "gnome_print_showpage", &f.showpage);
  Look(library, "gnome_print_moveto", &f.moveto);
  Look(library, "gnome_print_show", &f.show);
  Look(library, "gnome_print_job_close", &f.job_close);
  Look(library, "gnome_print_job_print_to_file", &f.job_print_to_file);
  Look(library, "gnome_print_dialog_new", &f.dialog_new);
  Look(library, "gnome_print_job_get_config", &f.job_get_config);
  Look(library, "gnome_print_config_dump", &f.config_dump);
  Look(library, "gnome_print_config_get_double", &f.config_get_double);
  Look(library, "gnome_print_config_get_int", &f.config_get_int);
  Look(library, "gnome_print_config_get", &f.config_get);
  Look(library, "gnome_print_dialog_construct_range_page", &f.dialog_construct_range_page);
  Look(library, "gnome_print_dialog_get_type", &f.dialog_get_type);
  Look(library, "gnome_print_dialog_get_range_page", &f.dialog_get_range_page);
  Look(library, "gnome_print_config_get_length", &f.config_get_length);
  Look(library, "gnome_print_job_print", &f.job_print);
  Look(library, "gnome_print_rgbimage", &f.rgbimage);
  Look(library, "gnome_print_dialog_construct", &f.dialog_construct);
  Look(library, "gnome_print_gsave", &f.gsave);
  Look(library, "gnome_print_grestore", &f.grestore);
  Look(library, "gnome_print_concat", &f.concat);
  Look(library, "gnome_print_translate", &f.translate);
  Look(library, "gnome_print_rect_stroked", &f.rect_stroked);
  Look(library, "gnome_print_line_stroked", &f.line_stroked);
  // A loader that watches or replaces the images is handed RGB bytes, as the library would be.
  LibraryLoader* layer = PrintLayerLoader();
  const void* layerImage = layer->Find(layer->Open(kPrintLibraryNames[0]), "gnome_print_rgbimage");
  f.rgb24surface = reinterpret_cast<const void*>(f.rgbimage) == layerImage ? &PrintLayerSurfaceImage : nullptr;
  return sAvailable;
}

const PrintFunctions& PrintLibrary() { return sFunctions; }

LibraryLoader* SetPrintLibraryLoader(LibraryLoader* loader) {
  LibraryLoader* previous = sLoader;
  sLoader = loader;
  sFirstCall = true;
  sAvailable = false;
  sFunctions = {};
  return previous;
}

}  // namespace vorn
