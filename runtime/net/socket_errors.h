// The runtime's socket error codes and their translation from errno. TCP and UDP sockets
// translate slightly differently; both leave codes without a row unchanged.
#pragma once

#include <cstdint>

namespace vorn {

enum SocketErrorCode : int32_t {
  kSocketNoError = 0,
  kSocketOpenDriverError = 100,
  kSocketLostConnection = 102,
  kSocketNameResolutionError = 103,
  kSocketAddressInUseError = 105,
  kSocketInvalidStateError = 106,
  kSocketInvalidPortError = 107,
  kSocketOutOfMemoryError = 108,
};

int32_t TranslateTCPError(int32_t raw);
int32_t TranslateUDPError(int32_t raw);

// EAGAIN, EALREADY and EINPROGRESS: the call will complete later.
bool IsWouldBlock(int32_t err);

}  // namespace vorn
