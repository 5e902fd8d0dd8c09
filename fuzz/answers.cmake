brelo_fuzzer(answer_rules_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/answer_rules_fuzzer.cpp)
