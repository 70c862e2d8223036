// File times in the runtime's date scale: local time, seconds since the scale's epoch.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <ctime>

#include "files/folder_item_imp_unix.h"
#include "strings/date_imp.h"

namespace vorn {

namespace {

// The offset between the system clock and the date scale at this moment. Both sides come from
// the same instant, so a time converted there and back lands on the same second.
double ScaleOffsetNow() {
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  DateImp date;
  date.SetParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec);
  return date.GetTotalSeconds() - static_cast<double>(now);
}

}  // namespace

double FolderItemImpUnix::GetCreationDate() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) {
    StoreErrno();
    return 0.0;
  }
  // The file system keeps no creation time; the status change is the nearest it has.
  return static_cast<double>(info.st_ctime) + ScaleOffsetNow();
}

bool FolderItemImpUnix::SetCreationDate(double) { return false; }

double FolderItemImpUnix::GetModificationDate() {
  struct stat info;
  if (stat(SysPath().c_str(), &info) != 0) {
    StoreErrno();
    return 0.0;
  }
  return static_cast<double>(info.st_mtime) + ScaleOffsetNow();
}

bool FolderItemImpUnix::SetModificationDate(double seconds) {
  std::string path = SysPath();
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    StoreErrno();
    return false;
  }
  double fileTime = std::trunc(seconds - ScaleOffsetNow());
  // Not a time the system clock can hold.
  if (!std::isfinite(fileTime) || fileTime < -9.2e18 || fileTime > 9.2e18) {
    mLastError = EINVAL;
    return false;
  }
  struct timespec times[2];
  times[0] = info.st_atim;
  times[1].tv_sec = static_cast<time_t>(fileTime);
  times[1].tv_nsec = 0;
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    StoreErrno();
    return false;
  }
  return true;
}

}  // namespace vorn
