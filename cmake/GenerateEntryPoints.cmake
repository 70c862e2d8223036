# Writes the fixed rows of the entry-point directory as a C table from the name list.
#   cmake -DLIST=<entry_points.list> -DOUTPUT=<file.c> -P GenerateEntryPoints.cmake
#
# Each row refers to its function by a weak reference, so a function that is not built yet
# leaves its row unbound (code nil) instead of breaking the link. The table is C so that it is
# plain initialised data, complete before any constructor of the program runs; it includes no
# header that declares the real prototypes, which differ from the uniform one used here.

if(NOT LIST OR NOT OUTPUT)
  message(FATAL_ERROR "GenerateEntryPoints: LIST and OUTPUT are required")
endif()

set(expected_count 2154)
file(STRINGS "${LIST}" names)
list(LENGTH names count)
if(NOT count EQUAL expected_count)
  message(FATAL_ERROR "${LIST}: ${count} names, expected ${expected_count}")
endif()
foreach(name IN LISTS names)
  if(NOT name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "${LIST}: not a function name: '${name}'")
  endif()
endforeach()

set(declarations "")
set(declared ${names})
list(REMOVE_DUPLICATES declared)
foreach(name IN LISTS declared)
  string(APPEND declarations "void ${name}(void) __attribute__((weak));\n")
endforeach()

set(rows "")
foreach(name IN LISTS names)
  string(APPEND rows "  {\"${name}\", (void*)&${name}, 0, 0},\n")
endforeach()

set(text "/* Generated from entry_points.list by GenerateEntryPoints.cmake; do not edit. */
#include <stddef.h>
#include <stdint.h>

struct VornFixedRelocRow {
  const char* name;
  void* code;
  uint32_t reserved1;
  uint32_t reserved2;
};

${declarations}
/* Must match vorn::RelocEntry, which checks the same. */
_Static_assert(sizeof(struct VornFixedRelocRow) == 2 * sizeof(void*) + 8, \"row layout\");
_Static_assert(offsetof(struct VornFixedRelocRow, code) == sizeof(void*), \"row layout\");

struct VornFixedRelocRow gVornFixedRelocRows[${expected_count}] = {
${rows}};
")

file(WRITE "${OUTPUT}" "${text}")
