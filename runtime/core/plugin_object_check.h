// What the dynamic loader reads of a plug-in library before any of its code runs: the dynamic
// section, its string, symbol, hash and version tables and every relocation table. A damaged copy
// would make the loader write or read through wild addresses, so each table is checked
// against the file and each relocation against the writable segments first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorn {

// For bytes whose ELF header and program-header table were checked already (class, byte
// order, every table and loadable segment inside the bytes). False with the reason in `why`.
bool CheckPluginDynamicSection(const uint8_t* bytes, size_t length, std::string& why);

}  // namespace vorn
