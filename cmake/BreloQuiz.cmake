# brelo_quiz_player(<target> JSON <quiz.json>)
#
# A player program carrying the quiz of <quiz.json> (Windows builds only; does
# nothing natively): the player's own sources and resource script, plus the
# quiz's resources, which the build machine's brelo-make writes at build time
# (brelo_quiz_resources, resources/CMakeLists.txt). The media files named in
# the JSON are tracked as dependencies through brelo-make's depfile.
#
#   brelo_quiz_player(brelo-capitals JSON ${CMAKE_CURRENT_SOURCE_DIR}/capitals.json)
#
# Call it from folders added after resources/.
function(brelo_quiz_player target)
  cmake_parse_arguments(QUIZ "" "JSON" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(NOT QUIZ_JSON)
    message(FATAL_ERROR "brelo_quiz_player(${target}): JSON <quiz.json> is required")
  endif()
  if(NOT COMMAND brelo_quiz_resources)
    message(FATAL_ERROR "brelo_quiz_player(${target}): call it after resources/ is added")
  endif()
  get_filename_component(json ${QUIZ_JSON} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  brelo_quiz_resources(${target}_quiz ${json})
  brelo_player(${target} ${${target}_quiz_RC})
endfunction()

# brelo_player(<target> [EXCLUDE_FROM_ALL] [resource script...])
#
# A player program as shipped: the entry point, Brelo's own resources and the
# given quiz resources. Pupils download it, so it is linked small: without
# the library's exception reporting (shell/player_runtime.cpp), unused
# sections dropped and, in Release, without symbols.
function(brelo_player target)
  cmake_parse_arguments(PLAYER "EXCLUDE_FROM_ALL" "" "" ${ARGN})
  set(exclude "")
  if(PLAYER_EXCLUDE_FROM_ALL)
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  add_executable(${target} WIN32 ${exclude} ${CMAKE_SOURCE_DIR}/shell/main_win.cpp
                 ${CMAKE_SOURCE_DIR}/shell/player_runtime.cpp ${BRELO_RESOURCE_SCRIPT}
                 ${PLAYER_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE brelo_win)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os>)
  target_link_options(${target} PRIVATE -Wl,--gc-sections $<$<CONFIG:Release>:-s>)
  brelo_warnings(${target})
endfunction()
