#include "database/support/db_test_files.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace vorn::dbtest {

std::string TempPath(const std::string& name) {
  static std::string folder = [] {
    char pattern[] = "/tmp/vorn-dbtest-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  static int counter = 0;
  std::string path = folder + "/" + std::to_string(++counter) + "-" + name;
  unlink(path.c_str());
  return path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t Word(const std::vector<uint8_t>& bytes, size_t offset) {
  return uint32_t(bytes.at(offset)) << 24 | uint32_t(bytes.at(offset + 1)) << 16 |
         uint32_t(bytes.at(offset + 2)) << 8 | bytes.at(offset + 3);
}

void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + size_t(i)) = uint8_t(value >> (24 - 8 * i));
}

std::vector<int> DescriptorsOfFiles(const std::string& part) {
  std::vector<int> found;
  DIR* fds = opendir("/proc/self/fd");
  while (dirent* entry = fds ? readdir(fds) : nullptr) {
    char target[4096];
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length > 0 && std::string(target, static_cast<size_t>(length)).find(part) != std::string::npos)
      found.push_back(std::atoi(entry->d_name));
  }
  if (fds) closedir(fds);
  return found;
}

}  // namespace vorn::dbtest
