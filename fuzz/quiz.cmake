brelo_fuzzer(lzw_decode_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/lzw_decode_fuzzer.cpp)
brelo_fuzzer(quiz_parse_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/quiz_parse_fuzzer.cpp)
brelo_fuzzer(quiz_load_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/quiz_load_fuzzer.cpp)
