// Database files for the tests: a fresh path in a private temporary folder, and the file's
// bytes read and written whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::dbtest {

// A path in a folder made for this test program; the file does not exist yet.
std::string TempPath(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The process's open descriptors of files whose path holds `part` (files unlinked since are
// named "... (deleted)").
std::vector<int> DescriptorsOfFiles(const std::string& part);

uint32_t Word(const std::vector<uint8_t>& bytes, size_t offset);
void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

}  // namespace vorn::dbtest
