#pragma once

// The sanitizer tree runs every test again, several times slower, to look for memory faults;
// the plain tree looks for wrong answers. Tests whose rounds are many and alike run a few of
// them there. GCC names the sanitizer by a macro, Clang through __has_feature.
namespace vorn::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizerBuild = true;
#else
inline constexpr bool kSanitizerBuild = false;
#endif
#else
inline constexpr bool kSanitizerBuild = false;
#endif

// `plain` rounds in the plain tree, `sanitized` under the sanitizers.
template <typename T>
constexpr T Rounds(T plain, T sanitized) {
  return kSanitizerBuild ? sanitized : plain;
}

}  // namespace vorn::test
