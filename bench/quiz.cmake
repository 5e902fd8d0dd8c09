brelo_benchmark(quiz_bench ${CMAKE_CURRENT_SOURCE_DIR}/quiz_bench.cpp LIBS z)
