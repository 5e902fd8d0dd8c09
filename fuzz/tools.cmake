# brelo-make reads whatever program or quiz source the user names: its PE
# resource reader, the quiz unpacking behind it, and the JSON reader take
# arbitrary bytes.
brelo_fuzzer(pe_resources_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/pe_resources_fuzzer.cpp)
target_link_libraries(pe_resources_fuzzer PRIVATE brelo_authoring)
brelo_fuzzer(quiz_json_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/quiz_json_fuzzer.cpp)
target_link_libraries(quiz_json_fuzzer PRIVATE brelo_authoring)
# The Studio imports spreadsheets and opens damaged quiz sources as far as they go.
brelo_fuzzer(quiz_document_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/quiz_document_fuzzer.cpp)
target_link_libraries(quiz_document_fuzzer PRIVATE brelo_authoring)
target_compile_options(brelo_authoring PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
