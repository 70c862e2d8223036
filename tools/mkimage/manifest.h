// Resources and options for an image, from command-line flags or a manifest file. A manifest
// holds one setting a line, the flag's name without dashes and its value:
//
//   # the calculator
//   entry ImageEntry
//   resource TEXT:128:notes.txt
//   option ICON:icon.bmp
//   version 1.2.0.3.0.7
//   version-text 1.2
//   project-object picture 128
//   project-object object Dictionary
//
// File names are relative to the manifest's folder.
#pragma once

#include <string>

#include "image_builder.h"

namespace vorn::mkimage {

struct ManifestState {
  BuildSettings settings;
  bool hasVersion = false;
  uint32_t versionWords[6] = {};
  std::vector<std::string> versionTexts;
  uint32_t projectObjectCount = 0;
  std::vector<uint8_t> projectObjects;  // the entries of the project-object table
};

// Applies one setting: resource, option, version, version-text, project-object, entry,
// pending-word, manifest.
bool ApplySetting(const std::string& key, const std::string& value, const std::string& baseDirectory,
                  ManifestState& state, std::string& error);
bool ReadManifest(const std::string& path, ManifestState& state, std::string& error);
// Adds the version and project-object options once all settings are in.
bool FinishSettings(ManifestState& state, std::string& error);

// A four-character code from up to four printable characters, padded with blanks.
bool ParseFourCharCode(const std::string& text, uint32_t& code);

}  // namespace vorn::mkimage
