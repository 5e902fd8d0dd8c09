find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_library(DEFLATE_LIBRARY deflate REQUIRED)
brelo_benchmark(images_bench ${CMAKE_CURRENT_SOURCE_DIR}/images_bench.cpp
  LIBS ZLIB::ZLIB PNG::PNG ${DEFLATE_LIBRARY})
target_compile_definitions(images_bench PRIVATE
  BRELO_PNGSUITE_DIR="${CMAKE_SOURCE_DIR}/tests/images/pngsuite")
