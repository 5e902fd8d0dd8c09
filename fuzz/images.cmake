brelo_fuzzer(inflate_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/inflate_fuzzer.cpp)
brelo_fuzzer(png_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/png_fuzzer.cpp)
