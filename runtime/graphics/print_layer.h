// The runtime's own print layer: it stands where the desktop's print library is missing and
// answers the library's names with its own functions. A job's pages are recorded as they are
// drawn and written as one PDF file when the job is printed, to the file its configuration
// names ("Settings.Output.Job.FileName", by default "vorn-print.pdf" in the user's home
// folder).
#pragma once

#include <string>

#include "graphics/library_loader.h"
#include "graphics/print_library.h"

namespace vorn {

inline constexpr const char kPrintKeyOutputFile[] = "Settings.Output.Job.FileName";

// The loader that answers the print library's file names and function names in-process.
LibraryLoader* PrintLayerLoader();

// Sets a value of the configuration every new job starts from (lengths as a number with an
// optional unit: "pt", "mm", "cm", "in"); an empty value restores the layer's default.
void SetDefaultPrintSetting(const std::string& key, const std::string& value);

}  // namespace vorn
