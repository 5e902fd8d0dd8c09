# Small programs for the build machine itself, usable in every preset: in the
# cross builds add_executable makes Windows programs, so these are compiled
# with the build machine's own C++ compiler through a custom command.
#
#   brelo_host_program(name SOURCES file... [DEPENDS file...])
#
# Relative sources are taken from the current source directory; headers under
# the source tree are found from its root (#include "quiz/lzw.h"). The program
# is ${CMAKE_CURRENT_BINARY_DIR}/host/<name>, named by the variable
# <name>_PROGRAM in the caller's scope (and the target property HOST_PROGRAM);
# a target <name> builds it. Commands that run it depend on both. Rebuilt when
# a source, a listed dependency or a header of a source's folder changes.
include_guard(GLOBAL)

find_program(BRELO_HOST_CXX NAMES c++ g++ clang++ REQUIRED)

function(brelo_host_program name)
  cmake_parse_arguments(H "" "" "SOURCES;DEPENDS" ${ARGN})
  set(sources "")
  set(headers "")
  foreach(source ${H_SOURCES})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND sources ${path})
    get_filename_component(folder ${path} DIRECTORY)
    file(GLOB folder_headers CONFIGURE_DEPENDS ${folder}/*.h)
    list(APPEND headers ${folder_headers})
  endforeach()
  list(REMOVE_DUPLICATES headers)
  set(program ${CMAKE_CURRENT_BINARY_DIR}/host/${name})
  add_custom_command(OUTPUT ${program}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/host
    COMMAND ${BRELO_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -I${CMAKE_SOURCE_DIR} ${sources} -o ${program}
    DEPENDS ${sources} ${headers} ${H_DEPENDS}
    COMMENT "Building host program ${name}"
    VERBATIM)
  add_custom_target(${name} DEPENDS ${program})
  set_target_properties(${name} PROPERTIES HOST_PROGRAM ${program})
  set(${name}_PROGRAM ${program} PARENT_SCOPE)
endfunction()
