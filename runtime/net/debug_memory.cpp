#include "net/debug_memory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace vorn {
namespace {

// Where the kernel refuses the cross-memory calls (a filter, an old kernel), the process's
// own mapping table says whether every byte lies in a region with the access.
bool MappedWith(uint64_t address, size_t count, char access) {
  if (count == 0) return true;
  if (address + count < address) return false;
  FILE* maps = std::fopen("/proc/self/maps", "re");
  if (!maps) return false;
  uint64_t at = address, end = address + count;
  char line[512];
  // The table is sorted, so adjacent regions cover a range that spans them.
  while (at < end && std::fgets(line, sizeof line, maps)) {
    uint64_t from = 0, to = 0;
    char permissions[5] = {};
    if (std::sscanf(line, "%" SCNx64 "-%" SCNx64 " %4s", &from, &to, permissions) != 3) continue;
    if (at < from || at >= to) continue;
    if (permissions[access == 'r' ? 0 : 1] != access) break;
    at = to;
  }
  std::fclose(maps);
  return at >= end;
}

bool Refused(int error) { return error == ENOSYS || error == EPERM; }

}  // namespace

bool DebugReadMemory(uint64_t address, void* destination, size_t count) {
  if (count == 0) return true;
  iovec local{destination, count};
  iovec remote{reinterpret_cast<void*>(static_cast<uintptr_t>(address)), count};
  ssize_t done = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  if (done == static_cast<ssize_t>(count)) return true;
  if (done >= 0 || !Refused(errno) || !MappedWith(address, count, 'r')) return false;
  std::memcpy(destination, remote.iov_base, count);
  return true;
}

bool DebugWriteMemory(uint64_t address, const void* source, size_t count) {
  if (count == 0) return true;
  iovec local{const_cast<void*>(source), count};
  iovec remote{reinterpret_cast<void*>(static_cast<uintptr_t>(address)), count};
  ssize_t done = process_vm_writev(getpid(), &local, 1, &remote, 1, 0);
  if (done == static_cast<ssize_t>(count)) return true;
  if (done >= 0 || !Refused(errno) || !MappedWith(address, count, 'w')) return false;
  std::memcpy(remote.iov_base, source, count);
  return true;
}

}  // namespace vorn
