# Helpers to declare test programs the same way in every module.
#   brelo_native_test(name SOURCES...)  GoogleTest program of the pure core
#   brelo_win_test(name SOURCES...)     GoogleTest program run under wine
# Both link GoogleTest's main unless the sources define their own.

if(BRELO_TESTS)
  if(WIN32)
    # The cross build compiles GoogleTest from the Debian source package.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
  endif()
endif()

function(brelo_native_test name)
  if(NOT BRELO_TESTS)
    return()
  endif()
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE brelo_core GTest::gtest GTest::gtest_main)
  brelo_warnings(${name})
  if(WIN32)
    # The pure core also runs as a Windows program, which catches differences
    # of the Windows C++ runtime and of 32/64-bit integer sizes.
    brelo_add_wine_test(${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300)
  endif()
endfunction()

function(brelo_win_test name)
  if(NOT BRELO_TESTS OR NOT WIN32)
    return()
  endif()
  add_executable(${name} ${ARGN})
  # Test resource scripts include Brelo's own, which windres's dependency
  # file does not name: without this a changed dialog is not rebuilt.
  foreach(source ${ARGN})
    if(source MATCHES "\\.rc$")
      set_property(SOURCE ${source} APPEND PROPERTY OBJECT_DEPENDS ${BRELO_RESOURCE_SCRIPT})
    endif()
  endforeach()
  target_link_libraries(${name} PRIVATE brelo_win gtest gtest_main)
  brelo_warnings(${name})
  brelo_add_wine_test(${name})
  # Window tests share one display, whose focus and active window any of
  # them may take: they run one at a time (measured: focus checks failed in
  # 3 runs of 4 under -j 2).
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
endfunction()

# One ctest entry per program: every wine start costs time, so a program holds
# many cases and reports each of them in its own output.
function(brelo_add_wine_test name)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
endfunction()

# A resource script with Brelo's own resources and `file` as "IMG" under every
# identifier from `first` to `last`: the test quizzes' pictures or clips.
function(brelo_repeated_img_rc out first last file)
  set(rc_text "#include \"resources/brelo.rc\"\n")
  foreach(id RANGE ${first} ${last})
    string(APPEND rc_text "${id} IMG \"${file}\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${out} CONTENT "${rc_text}")
endfunction()
