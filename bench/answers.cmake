brelo_benchmark(answer_rules_bench ${CMAKE_CURRENT_SOURCE_DIR}/answer_rules_bench.cpp)
