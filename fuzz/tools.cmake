# brelo-make reads whatever program the user names: its PE resource reader,
# and the quiz unpacking behind it, take arbitrary bytes.
brelo_fuzzer(pe_resources_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/pe_resources_fuzzer.cpp)
target_link_libraries(pe_resources_fuzzer PRIVATE brelo_authoring)
target_compile_options(brelo_authoring PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
