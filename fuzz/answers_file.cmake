brelo_fuzzer(answers_file_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/answers_file_fuzzer.cpp)
