#include "manifest.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vorn::mkimage {

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes.size() > 0x7FFFFFFFu) {
    error = path + " is too large for an image";
    return false;
  }
  return true;
}

std::string Resolve(const std::string& baseDirectory, const std::string& path) {
  if (path.empty() || path[0] == '/' || baseDirectory.empty() || baseDirectory == ".") return path;
  return baseDirectory + "/" + path;
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != 0 || parsed > limit || text[0] == '-') return false;
  value = parsed;
  return true;
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

bool ParseFourCharCode(const std::string& text, uint32_t& code) {
  if (text.empty() || text.size() > 4) return false;
  code = 0;
  for (size_t i = 0; i < 4; ++i) {
    unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : ' ';
    if (c < 0x20 || c > 0x7E) return false;
    code = (code << 8) | c;
  }
  return true;
}

bool ApplySetting(const std::string& key, const std::string& value, const std::string& baseDirectory,
                  ManifestState& state, std::string& error) {
  if (key == "entry") {
    state.settings.entry = value;
  } else if (key == "pending-word") {
    state.settings.pendingWord = value;
  } else if (key == "manifest") {
    return ReadManifest(Resolve(baseDirectory, value), state, error);
  } else if (key == "resource") {
    size_t first = value.find(':');
    size_t second = first == std::string::npos ? first : value.find(':', first + 1);
    ResourceInput resource;
    uint64_t id = 0;
    if (second == std::string::npos || !ParseFourCharCode(value.substr(0, first), resource.type) ||
        !ParseNumber(value.substr(first + 1, second - first - 1), 0xFFFF, id)) {
      error = "resource '" + value + "' is not TYPE:ID:FILE (a type of up to four characters, an id 0-65535)";
      return false;
    }
    resource.id = static_cast<uint16_t>(id);
    if (!ReadWholeFile(Resolve(baseDirectory, value.substr(second + 1)), resource.data, error)) return false;
    state.settings.resources.push_back(std::move(resource));
  } else if (key == "option") {
    size_t colon = value.find(':');
    OptionInput option;
    if (colon == std::string::npos || !ParseFourCharCode(value.substr(0, colon), option.code)) {
      error = "option '" + value + "' is not CODE:FILE";
      return false;
    }
    if (option.code == image::kOptionChecksum || option.code == image::kOptionProjectObjects) {
      error = option.code == image::kOptionChecksum
                  ? "option 'CSUM' is the checksum the tool writes itself"
                  : "option 'POBJ' is written from the project-object settings";
      return false;
    }
    if (!ReadWholeFile(Resolve(baseDirectory, value.substr(colon + 1)), option.data, error)) return false;
    state.settings.options.push_back(std::move(option));
  } else if (key == "version") {
    size_t start = 0;
    for (int i = 0; i < 6; ++i) {
      size_t dot = value.find('.', start);
      bool last = i == 5;
      if ((dot == std::string::npos) != last) {
        error = "version '" + value + "' is not six numbers separated by dots";
        return false;
      }
      uint64_t number = 0;
      if (!ParseNumber(value.substr(start, last ? std::string::npos : dot - start), 0xFFFFFFFFu, number)) {
        error = "version '" + value + "' is not six numbers separated by dots";
        return false;
      }
      state.versionWords[i] = static_cast<uint32_t>(number);
      start = dot + 1;
    }
    state.hasVersion = true;
  } else if (key == "project-object") {
    size_t space = value.find(' ');
    std::string kind = value.substr(0, space);
    std::string what = space == std::string::npos ? std::string() : Trim(value.substr(space));
    uint64_t id = 0;
    bool printable = !what.empty() && what.size() <= 255 &&
                     std::all_of(what.begin(), what.end(), [](char c) { return c > 0x20 && c < 0x7F; });
    if (kind == "picture" && ParseNumber(what, 0xFFFF, id)) {
      state.projectObjects.push_back(image::kProjectPicture);
      image::AppendU16LE(state.projectObjects, static_cast<uint16_t>(id));
    } else if (kind == "object" && printable) {
      state.projectObjects.push_back(image::kProjectObject);
      state.projectObjects.push_back(static_cast<uint8_t>(what.size()));
      image::AppendBytes(state.projectObjects, what.data(), what.size());
    } else {
      error = "project object '" + value + "' is not 'picture ID' (a 'BMP ' resource id 0-65535) or "
              "'object CLASS' (a class name of 1-255 printable characters)";
      return false;
    }
    ++state.projectObjectCount;
  } else if (key == "version-text") {
    if (value.size() > 255) {
      error = "version text '" + value.substr(0, 40) + "...' is longer than 255 bytes";
      return false;
    }
    if (state.versionTexts.size() == 3) {
      error = "a version record holds three texts, not more";
      return false;
    }
    state.versionTexts.push_back(value);
  } else {
    error = "unknown setting '" + key + "'";
    return false;
  }
  return true;
}

bool ReadManifest(const std::string& path, ManifestState& state, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read the manifest " + path;
    return false;
  }
  size_t slash = path.rfind('/');
  std::string base = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    size_t space = line.find_first_of(" \t");
    std::string key = line.substr(0, space);
    std::string value = space == std::string::npos ? std::string() : Trim(line.substr(space));
    if (key == "manifest") {
      error = "manifests do not include other manifests";
    } else if (ApplySetting(key, value, base, state, error)) {
      continue;
    }
    error = path + ":" + std::to_string(number) + ": " + error;
    return false;
  }
  return true;
}

bool FinishSettings(ManifestState& state, std::string& error) {
  if (state.projectObjectCount > 0) {
    OptionInput table{image::kOptionProjectObjects, {}};
    image::AppendU32LE(table.data, state.projectObjectCount);
    image::AppendBytes(table.data, state.projectObjects.data(), state.projectObjects.size());
    state.settings.options.push_back(std::move(table));
  }
  if (!state.hasVersion) {
    if (!state.versionTexts.empty()) {
      error = "version texts need the version numbers too (--version)";
      return false;
    }
    return true;
  }
  OptionInput option{image::kOptionVersion, {}};
  for (uint32_t word : state.versionWords) image::AppendU32LE(option.data, word);
  for (size_t i = 0; i < 3; ++i) {
    const std::string text = i < state.versionTexts.size() ? state.versionTexts[i] : std::string();
    option.data.push_back(static_cast<uint8_t>(text.size()));
    image::AppendBytes(option.data, text.data(), text.size());
  }
  state.settings.options.push_back(std::move(option));
  return true;
}

}  // namespace vorn::mkimage
