// The system calls a socket pass makes on every round trip: a send, the readiness call and a
// receive. On x86-64 they are made right here, in the caller's frame, instead of through the C
// library's wrappers: every return taken after a system call through a frame set up before it
// is mispredicted (the kernel's own calls have replaced the processor's record of where such
// frames return), and a round trip makes six of these calls. Their contract is the C
// library's: the result, or -1 with errno set. Non-blocking descriptors and a zero timeout
// make the wrappers' cancellation handling moot. Elsewhere, and in sanitizer builds (whose
// interceptors check the buffers handed to the kernel), the C library's functions serve.
#pragma once

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>

#if defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define VORN_DIRECT_SOCKET_CALLS 1
#endif

namespace vorn::socket_calls {

#if defined(VORN_DIRECT_SOCKET_CALLS)

[[gnu::always_inline]] inline long Call(long number, long a, long b, long c, long d) {
  long result;
  register long fourth __asm__("r10") = d;
  register long fifth __asm__("r8") = 0;
  register long sixth __asm__("r9") = 0;
  __asm__ volatile("syscall"
                   : "=a"(result)
                   : "a"(number), "D"(a), "S"(b), "d"(c), "r"(fourth), "r"(fifth), "r"(sixth)
                   : "rcx", "r11", "memory");
  // The kernel answers a failure as the negated error number, from -4095 to -1.
  if (result < 0 && result > -4096) {
    errno = static_cast<int>(-result);
    return -1;
  }
  return result;
}

[[gnu::always_inline]] inline ssize_t Send(int descriptor, const void* bytes, size_t count, int flags) {
  return Call(SYS_sendto, descriptor, reinterpret_cast<long>(bytes), static_cast<long>(count), flags);
}

[[gnu::always_inline]] inline ssize_t Receive(int descriptor, void* into, size_t count) {
  return Call(SYS_recvfrom, descriptor, reinterpret_cast<long>(into), static_cast<long>(count), 0);
}

// What is ready now, without waiting.
[[gnu::always_inline]] inline int ReadyNow(int epoll, epoll_event* reports, int most) {
  return static_cast<int>(Call(SYS_epoll_wait, epoll, reinterpret_cast<long>(reports), most, 0));
}

#else

inline ssize_t Send(int descriptor, const void* bytes, size_t count, int flags) {
  return send(descriptor, bytes, count, flags);
}

inline ssize_t Receive(int descriptor, void* into, size_t count) { return recv(descriptor, into, count, 0); }

inline int ReadyNow(int epoll, epoll_event* reports, int most) { return epoll_wait(epoll, reports, most, 0); }

#endif

}  // namespace vorn::socket_calls
