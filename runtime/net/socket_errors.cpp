#include "net/socket_errors.h"

#include <cerrno>

namespace vorn {

int32_t TranslateTCPError(int32_t raw) {
  switch (raw) {
    case EPERM:
    case EACCES:
      return kSocketInvalidPortError;
    case ENOENT:
    case ENETUNREACH:
    case ENOTCONN:
    case ETIMEDOUT:
    case ECONNREFUSED:
      return kSocketNameResolutionError;
    case ENOMEM:
    case ENFILE:
    case ENOBUFS:
      return kSocketOutOfMemoryError;
    case EPIPE:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
      return kSocketLostConnection;
    case EADDRINUSE:
      return kSocketAddressInUseError;
    default:
      return raw;
  }
}

int32_t TranslateUDPError(int32_t raw) {
  switch (raw) {
    case EPERM:
    case EACCES:
    case EADDRNOTAVAIL:
      return kSocketInvalidPortError;
    case ENOMEM:
    case ENFILE:
    case ENOBUFS:
      return kSocketOutOfMemoryError;
    case EPIPE:
    case ECONNABORTED:
      return kSocketLostConnection;
    case EADDRINUSE:
      return kSocketAddressInUseError;
    case ENETUNREACH:
    case ENOTCONN:
    case ETIMEDOUT:
    case ECONNREFUSED:
      return kSocketNameResolutionError;
    default:
      return raw;
  }
}

bool IsWouldBlock(int32_t err) { return err == EAGAIN || err == EALREADY || err == EINPROGRESS; }

}  // namespace vorn
