# Building application images from C sources.
#
#   vorn_add_image(TARGET name SOURCES a.c b.c
#                  [RESOURCES TYPE:ID:FILE ...] [OPTIONS CODE:FILE ...] [MANIFEST file]
#                  [VERSION n.n.n.n.n.n] [VERSION_TEXT short long copyright]
#                  [PROJECT_OBJECTS "picture ID" "object CLASS" ...]
#                  [ENTRY symbol] [PENDING_WORD symbol] [INCLUDE_DIRECTORIES dir ...]
#                  [HOST executable-target | NO_HOST] [OUTPUT path] [DAT_DIR dir])
#
# compiles the sources as freestanding position-independent C, links them into one
# relocatable object, and runs mkimage on it. The result is a copy of the host executable
# (the `vorn` runtime unless HOST names another) with the image appended, written to OUTPUT
# (default: <build>/<name>); NO_HOST writes the bare image. DAT_DIR also writes the six .dat
# files there. Relative resource files are taken from the calling folder.

set(VORN_IMAGE_C_FLAGS
  -std=c11 -O2 -fpie -ffreestanding -fno-builtin -fno-common
  -fno-asynchronous-unwind-tables -fno-stack-protector -fno-omit-frame-pointer
  -fno-exceptions -fcf-protection=none)

# Images are compiled by gcc whatever compiles the rest of the tree (the sanitizer tree uses
# clang): the image tool and its tests expect gcc's sections and relocations.
find_program(VORN_IMAGE_CC NAMES gcc REQUIRED)

# Compiles C sources for an image and links them into one relocatable object; sets
# <outVar> to its path.
function(_vorn_image_object target outVar)
  cmake_parse_arguments(OBJ "" "" "SOURCES;INCLUDE_DIRECTORIES" ${ARGN})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}.image)
  file(MAKE_DIRECTORY ${work})
  set(includes -I${PROJECT_SOURCE_DIR}/include)
  foreach(dir ${OBJ_INCLUDE_DIRECTORIES})
    get_filename_component(dir ${dir} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND includes -I${dir})
  endforeach()
  set(objects "")
  foreach(source ${OBJ_SOURCES})
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(stem ${source} NAME_WE)
    set(object ${work}/${stem}.o)
    add_custom_command(OUTPUT ${object}
      COMMAND ${VORN_IMAGE_CC} ${VORN_IMAGE_C_FLAGS} ${includes}
              -MD -MF ${object}.d -c ${source} -o ${object}
      DEPENDS ${source}
      DEPFILE ${object}.d
      COMMENT "Compiling ${stem}.c for image ${target}"
      VERBATIM)
    list(APPEND objects ${object})
  endforeach()
  set(relocatable ${work}/${target}.o)
  find_program(VORN_LD NAMES ld REQUIRED)
  add_custom_command(OUTPUT ${relocatable}
    COMMAND ${VORN_LD} -r -o ${relocatable} ${objects}
    DEPENDS ${objects}
    COMMENT "Linking the object of image ${target}"
    VERBATIM)
  set(${outVar} ${relocatable} PARENT_SCOPE)
endfunction()

# Only the relocatable object, for tools and tests that run mkimage themselves:
#   vorn_add_image_object(TARGET name SOURCES a.c ... [INCLUDE_DIRECTORIES dir ...])
function(vorn_add_image_object)
  cmake_parse_arguments(IMG "" "TARGET" "SOURCES;INCLUDE_DIRECTORIES" ${ARGN})
  _vorn_image_object(${IMG_TARGET} relocatable SOURCES ${IMG_SOURCES}
    INCLUDE_DIRECTORIES ${IMG_INCLUDE_DIRECTORIES})
  add_custom_target(${IMG_TARGET} ALL DEPENDS ${relocatable})
endfunction()

# Makes `dependent` (a target that may be defined later, anywhere) depend on `dependency`.
function(vorn_image_late_dependency dependent dependency)
  # Deferred arguments are expanded when the call runs, so the names go in as literals.
  cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _vorn_image_add_dependency [[${dependent}]] [[${dependency}]])")
endfunction()
function(_vorn_image_add_dependency dependent dependency)
  if(TARGET ${dependent})
    add_dependencies(${dependent} ${dependency})
  endif()
endfunction()

function(vorn_add_image)
  cmake_parse_arguments(IMG "NO_HOST" "TARGET;ENTRY;HOST;OUTPUT;MANIFEST;PENDING_WORD;DAT_DIR;VERSION"
    "SOURCES;RESOURCES;OPTIONS;VERSION_TEXT;INCLUDE_DIRECTORIES;PROJECT_OBJECTS" ${ARGN})
  if(NOT IMG_TARGET OR NOT IMG_SOURCES)
    message(FATAL_ERROR "vorn_add_image needs TARGET and SOURCES")
  endif()
  _vorn_image_object(${IMG_TARGET} relocatable SOURCES ${IMG_SOURCES}
    INCLUDE_DIRECTORIES ${IMG_INCLUDE_DIRECTORIES})

  set(args ${relocatable})
  set(depends ${relocatable} mkimage)
  if(IMG_ENTRY)
    list(APPEND args --entry ${IMG_ENTRY})
  endif()
  if(IMG_PENDING_WORD)
    list(APPEND args --pending-word ${IMG_PENDING_WORD})
  endif()
  foreach(spec ${IMG_RESOURCES})
    string(REGEX REPLACE "^[^:]*:[^:]*:" "" file "${spec}")
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    string(REGEX MATCH "^[^:]*:[^:]*:" head "${spec}")
    list(APPEND args --resource "${head}${file}")
    list(APPEND depends "${file}")
  endforeach()
  foreach(spec ${IMG_OPTIONS})
    string(REGEX REPLACE "^[^:]*:" "" file "${spec}")
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    string(REGEX MATCH "^[^:]*:" head "${spec}")
    list(APPEND args --option "${head}${file}")
    list(APPEND depends "${file}")
  endforeach()
  if(IMG_MANIFEST)
    get_filename_component(manifest ${IMG_MANIFEST} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND args --manifest ${manifest})
    list(APPEND depends ${manifest})
  endif()
  if(IMG_VERSION)
    list(APPEND args --version ${IMG_VERSION})
  endif()
  foreach(text ${IMG_VERSION_TEXT})
    list(APPEND args --version-text "${text}")
  endforeach()
  foreach(entry ${IMG_PROJECT_OBJECTS})
    list(APPEND args --project-object "${entry}")
  endforeach()

  if(IMG_OUTPUT)
    get_filename_component(output ${IMG_OUTPUT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
  else()
    set(output ${PROJECT_BINARY_DIR}/${IMG_TARGET})
  endif()
  list(APPEND args -o ${output})
  set(outputs ${output})
  if(NOT IMG_NO_HOST)
    if(NOT IMG_HOST)
      set(IMG_HOST vorn)
    endif()
    if(NOT TARGET ${IMG_HOST})
      message(FATAL_ERROR "vorn_add_image(${IMG_TARGET}): no executable target '${IMG_HOST}' to append the image to")
    endif()
    list(APPEND args --runtime $<TARGET_FILE:${IMG_HOST}>)
    list(APPEND depends ${IMG_HOST})
  endif()
  if(IMG_DAT_DIR)
    get_filename_component(datDir ${IMG_DAT_DIR} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
    file(MAKE_DIRECTORY ${datDir})
    list(APPEND args --dat ${datDir})
    list(APPEND outputs ${datDir}/code.dat)
  endif()

  add_custom_command(OUTPUT ${outputs}
    COMMAND mkimage ${args}
    DEPENDS ${depends}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Building image ${IMG_TARGET}"
    VERBATIM)
  add_custom_target(${IMG_TARGET} ALL DEPENDS ${outputs})
endfunction()
