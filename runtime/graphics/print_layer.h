// The runtime's own print layer: it stands where the desktop's print library is missing and
// answers the library's names with its own functions, on GTK's print system. A job's pages are
// recorded as they are drawn and sent to the printer chosen in GTK's print dialog (or the
// default printer) when the job is printed. "Print to File", and a machine without any print
// system, write a PDF file: the configuration's "Settings.Output.Job.FileName" (by default
// "vorn-print.pdf" in the user's home folder), or a new name beside it when that one is taken.
#pragma once

#include <string>

#include "graphics/library_loader.h"
#include "graphics/print_library.h"

namespace vorn {

inline constexpr const char kPrintKeyOutputFile[] = "Settings.Output.Job.FileName";
// The page setup beyond its lengths: the paper's name and "R90" for landscape.
inline constexpr const char kPrintKeyPaperName[] = "Settings.Output.Media.PhysicalSize.Name";
inline constexpr const char kPrintKeyOrientation[] = "Settings.Document.Page.LogicalOrientation";

// The layer's way to take a page without its pixels converted: an RGB24 image surface placed
// as gnome_print_rgbimage places its pixels; the page keeps a reference. Below 0 on failure.
int PrintLayerSurfaceImage(PrintContext* context, _cairo_surface* image);

// The loader that answers the print library's file names and function names in-process.
LibraryLoader* PrintLayerLoader();

// Sets a value of the configuration every new job starts from (lengths as a number with an
// optional unit: "pt", "mm", "cm", "in"); an empty value restores the layer's default.
void SetDefaultPrintSetting(const std::string& key, const std::string& value);

// Why the last job that failed to print failed; empty when none did.
std::string LastPrintError();

// GTK's page setup dialog for the configuration's paper, orientation and margins; true, with
// the configuration changed, when the user accepts it.
bool RunPageSetupDialog(PrintConfig* config);

}  // namespace vorn
